#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace orsa::app {

class DialogService;

// The access window in front of the service window: a two-digit code, checked on "Вход" or Enter.
// A tool window of the main window, so it stays above its owner.
class TForm4 : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kWidth = 290;
  static constexpr int kHeight = 152;

  TForm4(DialogService& dialogs, QWidget* owner);

  // What the main window's entry button does: the window comes up (centred on its owner when it
  // was hidden) with an empty code field that has the keyboard focus.
  void open();
  // Compares the field with the code; a wrong one is refused with a box and emptied.
  void checkCode();

 signals:
  // The right code was given and this window has hidden itself.
  void codeAccepted();

 private:
  DialogService& dialogs_;
  QLabel* prompt_;
  QLineEdit* code_;
  QPushButton* enter_;
  QPushButton* cancel_;
};

}  // namespace orsa::app
