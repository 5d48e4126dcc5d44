#pragma once

#include "QtWorkerHost.h"
#include "link/ChannelGate.h"
#include "link/SerialChannel.h"
#include "link/SerialPortMap.h"
#include "link/Worker.h"
#include "settings/SettingsRecord.h"

#include <QStringList>

#include <functional>
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
  // The link for a new operation. A running NMEA relay is stopped first: it would keep the
  // channel from the operation, and the operation's replies would end up in the relay's log.
  link::DeviceLink linkForOperation();
  // How the service window stops its relay; empty when there is no relay to stop.
  void setRelayStopper(std::function<void()> stop) { relayStopper_ = std::move(stop); }
  // Ports of the map that open right now, for the manual port list.
  QStringList openablePorts() const;
  // The port the automatic choice takes now; empty when it finds none or several.
  QString automaticPort() const;

  link::SerialChannel channel;
  link::ChannelGate gate;
  QtWorkerHost host;
  std::mutex replyLock;
  settings::SettingsRecord record;

 private:
  std::unique_ptr<link::SerialPortMap> portMap_;
  std::function<void()> relayStopper_;
};

}  // namespace orsa::app
