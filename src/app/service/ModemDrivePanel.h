#pragma once

#include <QObject>

#include <cstdint>
#include <optional>

#include "ServiceCommands.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QWidget;

namespace orsa::app {

class DialogService;

// The modem's drive "C:" on the GSM tab: its files with their sizes and its free space, as the
// last listing found them, and the removal of the file chosen in the list. The list shows only
// what the modem has just said: it is emptied when a listing starts, so one that fails leaves
// nothing stale behind.
class ModemDrivePanel : public QObject {
  Q_OBJECT
 public:
  // `page` holds ListModemFiles, ButtonModemFiles, ButtonModemFileRemove and LabelModemFree.
  ModemDrivePanel(QWidget& page, ServiceCommands& commands, DialogService& dialogs);

 private:
  void clear();
  void show(const ServiceCommands::ModemFiles& files, std::optional<std::int32_t> freeBytes);
  void removeChosen();
  void operationFinished(std::int32_t mode, bool reachedAim);

  ServiceCommands& commands_;
  DialogService& dialogs_;
  QTreeWidget* list_;
  QPushButton* listButton_;
  QPushButton* removeButton_;
  QLabel* free_;
};

}  // namespace orsa::app
