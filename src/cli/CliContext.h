#pragma once

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "link/ChannelGate.h"
#include "link/SerialChannel.h"
#include "link/SerialPortMap.h"
#include "link/SessionRecorder.h"
#include "link/Worker.h"
#include "link/WorkerHost.h"

namespace orsa::cli {

struct GlobalOptions {
  std::optional<std::string> port;  // a manual port, like clearing "Определить порт автоматически"
  bool trace = false;               // every frame and reply as hex on standard error
  link::SessionRecorder* recorder = nullptr;  // keeps the session in a file; must outlive the context
  bool json = false;                          // the global --json: results as JSON, for scripts
};

// What every command works with: the channel, the port map, the host and the output streams.
class CliContext {
 public:
  // `interactive`: progress may redraw lines on `err` although it is not the terminal itself (the
  // production line draws each port's line from it).
  CliContext(GlobalOptions options, std::ostream& out, std::ostream& err,
             std::unique_ptr<link::SerialPortMap> portMap = nullptr, bool interactive = false);

  link::DeviceLink deviceLink() { return {channel, *portMap_, gate, host}; }
  const link::SerialPortMap& portMap() const { return *portMap_; }
  // What the command line chose before the command: the port, --trace, --json.
  const GlobalOptions& options() const { return options_; }
  // True when standard error is a terminal, so progress bars may redraw a line.
  bool interactive() const { return interactive_; }
  // "orsactl: Устройство не подключено" and, on the same line, why the port did not open.
  void reportNotConnected();
  // How a command ends when its operation was refused or failed: the message after "orsactl: " on standard error and
  // status 1, or status 3 with the port's reason when the message is "Устройство не подключено".
  int failed(const std::string& message);

  std::ostream& out;
  std::ostream& err;
  link::SerialChannel channel;
  link::ChannelGate gate;
  link::DirectWorkerHost host;
  std::string imei;  // the beacon's IMEI once its settings were read

 private:
  GlobalOptions options_;
  std::unique_ptr<link::SerialPortMap> portMap_;
  bool interactive_;
};

// "01 c0 02 08"
std::string hexBytes(const std::uint8_t* bytes, std::size_t count);

}  // namespace orsa::cli
