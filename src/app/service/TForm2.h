#pragma once

#include <QWidget>

#include <cstdint>

class QComboBox;

namespace orsa::app {

class DialogService;
class PictureButton;

// The server command window: writes the 3-byte file that switches a beacon's operating mode
// through the Wialon server. It talks to no beacon and no server.
class TForm2 : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kWidth = 385;
  static constexpr int kHeight = 137;

  // `owner` is the main window: this window stays above it and comes up centred on it.
  TForm2(DialogService& dialogs, QWidget* owner);

  // What the main window's entry button does: shows the window, centred on its owner when hidden.
  void open();
  // Asks for a file name and writes the command for the mode in the list's field; hides the
  // window once the file is written.
  void saveCommand();
  // 1 to 3 for the list entry the field shows, 0 when the field holds text of the user's own.
  std::uint8_t modeCode() const;

 private:
  DialogService& dialogs_;
  QComboBox* modes_;
  PictureButton* save_;
};

}  // namespace orsa::app
