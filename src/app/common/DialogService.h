#pragma once

#include <QString>

#include <optional>

namespace orsa::app {

// Every message box and file dialog of the program goes through here, so the
// windows can be driven without a modal loop.
class DialogService {
 public:
  enum class Icon { None, Information, Warning, Question, Critical };
  enum class Buttons { Ok, YesNo };
  enum class Answer { Ok, Yes, No };

  virtual ~DialogService() = default;

  // Message box without an owner window.
  virtual Answer message(const QString& text, const QString& title, Icon icon, Buttons buttons) = 0;
  // `filter` uses the "Description|*.ext" form; nullopt when cancelled.
  virtual std::optional<QString> openFileName(const QString& filter) = 0;
  virtual std::optional<QString> saveFileName(const QString& initialName, const QString& filter) = 0;
  // An existing folder, chosen in a dialog titled `title`; nullopt when cancelled.
  virtual std::optional<QString> folderName(const QString& title) = 0;
};

}  // namespace orsa::app
