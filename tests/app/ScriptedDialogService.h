#pragma once

#include "DialogService.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <ostream>
#include <vector>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace orsa::app::test {

// Stands in for message boxes and file dialogs: remembers what would have
// been shown and answers from a script, so no test ever enters a modal loop.
class ScriptedDialogService : public DialogService {
 public:
  struct Shown {
    QString text;
    QString title;
    Icon icon;
    Buttons buttons;
    QString details;
    Answer preferred;
  };
  struct FileAsk {
    bool save;
    QString initialName;
    QString filter;
  };

  Answer show(const Box& box) override {
    shown.push_back({box.text, box.title, box.icon, box.buttons, box.details, box.preferred});
    if (onShow) {
      onShow(shown.back());
    }
    if (box.buttons == Buttons::Ok) {
      return Answer::Ok;
    }
    if (answers.empty()) {
      return Answer::No;  // an unscripted question is declined
    }
    const Answer next = answers.front();
    answers.pop_front();
    return next;
  }

  std::optional<QString> openFileName(const QString& filter) override {
    fileAsks.push_back({false, QString(), filter});
    return nextOf(files);
  }

  std::optional<QString> saveFileName(const QString& initialName, const QString& filter) override {
    fileAsks.push_back({true, initialName, filter});
    return nextOf(files);
  }

  std::optional<QString> folderName(const QString& title) override {
    folderTitles.push_back(title);
    return nextOf(folders);
  }

  // Runs while the box would be up, to look at the windows behind it.
  std::function<void(const Shown&)> onShow;
  std::deque<Answer> answers;
  std::deque<std::optional<QString>> files;
  std::deque<std::optional<QString>> folders;
  std::vector<QString> folderTitles;
  std::vector<Shown> shown;
  std::vector<FileAsk> fileAsks;

 private:
  static std::optional<QString> nextOf(std::deque<std::optional<QString>>& script) {
    if (script.empty()) {
      return std::nullopt;
    }
    // Built in place rather than copied: GCC 12 takes a copied optional<QString> for uninitialised.
    std::optional<QString> next(std::in_place, script.front().value_or(QString()));
    const bool cancelled = !script.front().has_value();
    script.pop_front();
    if (cancelled) return std::nullopt;
    return next;
  }
};

}  // namespace orsa::app::test
