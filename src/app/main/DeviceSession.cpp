#include "DeviceSession.h"

#include "link/SerialPortMap.h"
#include "link/DeviceConnection.h"
#include "link/PortList.h"

namespace orsa::app {

DeviceSession::DeviceSession(std::unique_ptr<link::SerialPortMap> portMap)
    : portMap_(portMap ? std::move(portMap) : link::makeSystemSerialPortMap()) {}

link::DeviceLink DeviceSession::linkForOperation() {
  if (relayStopper_) relayStopper_();
  return deviceLink();
}

QStringList DeviceSession::openablePorts() const {
  QStringList ports;
  for (const std::string& port : link::listOpenablePorts(*portMap_, link::portOpens)) {
    ports << QString::fromStdString(port);
  }
  return ports;
}

QString DeviceSession::automaticPort() const {
  const auto port = link::automaticPort(*portMap_);
  return port ? QString::fromStdString(*port) : QString();
}

}  // namespace orsa::app
