#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace orsa::link {

struct PortHolder {
  pid_t pid = 0;
  std::string name;  // the program's name as the system shows it (/proc/PID/comm)
};

// Processes that have the serial device at `devicePath` open, found through their /proc/PID/fd
// links. Exclusive locks only keep out programs that open the port after us; this finds the
// ones that were there first (a terminal program, ModemManager's probe). The far end of a
// pseudo-terminal is the device itself, not a rival: a process that holds the pty's master is
// left out even when it also keeps the slave open. Processes whose descriptors we may not read
// are not seen. `ownDescriptor`, when given, is our own opening of the device and is not counted.
std::vector<PortHolder> findPortHolders(const std::string& devicePath, int ownDescriptor = -1);

}  // namespace orsa::link
