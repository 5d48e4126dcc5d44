#pragma once

#include "QtWorkerHost.h"
#include "link/ChannelGate.h"
#include "link/SerialChannel.h"
#include "link/SerialPortMap.h"
#include "link/Worker.h"
#include "settings/SettingsRecord.h"

#include <QStringList>

#include <memory>
#include <mutex>

namespace orsa::app {

// What the main window shares with the operations it starts: the one channel,
// the port map, the gate that keeps operations apart, the window-thread host,
// the reply lock and the settings record.
class DeviceSession {
 public:
  explicit DeviceSession(std::unique_ptr<link::SerialPortMap> portMap = nullptr);

  link::DeviceLink deviceLink() { return {channel, *portMap_, gate, host}; }
  // Ports of the map that open right now, for the manual port list.
  QStringList openablePorts() const;

  link::SerialChannel channel;
  link::ChannelGate gate;
  QtWorkerHost host;
  std::mutex replyLock;
  settings::SettingsRecord record;

 private:
  std::unique_ptr<link::SerialPortMap> portMap_;
};

}  // namespace orsa::app
