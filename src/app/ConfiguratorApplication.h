#pragma once

#include "QtDialogService.h"

#include <QApplication>

namespace orsa::app {

// The program's application object, shared with the window tests so they see what users see:
// Qt's own texts (standard buttons, edit menus, file dialogs) in Russian, one font for windows,
// tool tips, menus and message boxes alike, and an error that escapes an event handler shown in
// a message box instead of ending the program.
class ConfiguratorApplication : public QApplication {
  Q_OBJECT
 public:
  ConfiguratorApplication(int& argc, char** argv);

  // Where escaped errors are shown; nullptr goes back to real message boxes.
  void setErrorDialogs(DialogService* dialogs);
  DialogService* errorDialogs() const { return errorDialogs_; }
  // Shows `text` the way every error that escapes a command is shown.
  void showError(const QString& text);

  bool notify(QObject* receiver, QEvent* event) override;

 private:
  void installQtTranslations();

  QtDialogService messageBoxes_;
  DialogService* errorDialogs_ = &messageBoxes_;
};

}  // namespace orsa::app
