#pragma once

#include "DialogService.h"

#include <QString>
#include <QStringList>

#include <deque>
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
  };
  struct FileAsk {
    bool save;
    QString initialName;
    QString filter;
  };

  Answer message(const QString& text, const QString& title, Icon icon, Buttons buttons) override {
    shown.push_back({text, title, icon, buttons});
    if (buttons == Buttons::Ok) {
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
    return nextFile();
  }

  std::optional<QString> saveFileName(const QString& initialName, const QString& filter) override {
    fileAsks.push_back({true, initialName, filter});
    return nextFile();
  }

  std::deque<Answer> answers;
  std::deque<std::optional<QString>> files;
  std::vector<Shown> shown;
  std::vector<FileAsk> fileAsks;

 private:
  std::optional<QString> nextFile() {
    if (files.empty()) {
      return std::nullopt;
    }
    // Built in place rather than copied: GCC 12 takes a copied optional<QString> for uninitialised.
    std::optional<QString> next(std::in_place, files.front().value_or(QString()));
    const bool cancelled = !files.front().has_value();
    files.pop_front();
    if (cancelled) return std::nullopt;
    return next;
  }
};

}  // namespace orsa::app::test
