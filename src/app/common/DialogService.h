#pragma once

#include <QString>

#include <optional>
#include <utility>

namespace orsa::app {

// Every message box and file dialog of the program goes through here, so the
// windows can be driven without a modal loop.
class DialogService {
 public:
  enum class Icon { None, Information, Warning, Question, Critical };
  enum class Buttons { Ok, YesNo };
  enum class Answer { Ok, Yes, No };

  // One message box without an owner window.
  struct Box {
    Box(QString shownText, QString shownTitle, Icon shownIcon = Icon::None, Buttons offered = Buttons::Ok)
        : text(std::move(shownText)), title(std::move(shownTitle)), icon(shownIcon), buttons(offered) {}

    QString text;
    QString title;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    // Shown under the text in smaller print: why it happened and what to do. Empty: nothing.
    QString details;
    // The button Enter presses; a question whose "Yes" loses work is asked with "No" here.
    Answer preferred = Answer::Yes;
  };

  virtual ~DialogService() = default;

  virtual Answer show(const Box& box) = 0;
  Answer message(const QString& text, const QString& title, Icon icon, Buttons buttons) {
    return show({text, title, icon, buttons});
  }
  // `filter` uses the "Description|*.ext" form; nullopt when cancelled.
  virtual std::optional<QString> openFileName(const QString& filter) = 0;
  virtual std::optional<QString> saveFileName(const QString& initialName, const QString& filter) = 0;
  // An existing folder, chosen in a dialog titled `title`; nullopt when cancelled.
  virtual std::optional<QString> folderName(const QString& title) = 0;
};

}  // namespace orsa::app
