#pragma once

#include <QWidget>

namespace orsa::app {

class PictureButton;

// The white strip of command buttons above the pages.
class CommandBar : public QWidget {
  Q_OBJECT
 public:
  explicit CommandBar(QWidget* form);

  PictureButton* writeButton() const { return write_; }        // SpeedButton3
  PictureButton* readButton() const { return read_; }          // SpeedButton4
  PictureButton* defaultsButton() const { return defaults_; }  // SpeedButton5
  PictureButton* loadButton() const { return load_; }          // SpeedButton1
  PictureButton* saveButton() const { return save_; }          // SpeedButton2
  PictureButton* commandButton() const { return command_; }    // SpeedButton7
  PictureButton* serviceButton() const { return service_; }    // SpeedButton8

  // Shows the file, server-command and engineering entries.
  void revealServiceEntries();

 private:
  PictureButton* read_;
  PictureButton* write_;
  PictureButton* defaults_;
  PictureButton* load_;
  PictureButton* save_;
  PictureButton* command_;
  PictureButton* service_;
};

}  // namespace orsa::app
