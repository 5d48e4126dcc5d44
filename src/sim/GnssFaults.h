#pragma once

#include <optional>

namespace orsa::sim {

// The steps of a flash run as the GNSS module sees them: the boot ROM's handshake and commands,
// then its loader's. Each names the input the module answers.
enum class GnssStage {
  Sync,             // A0 → 5F
  Handshake0A,      // 0A → F5
  Handshake50,      // 50 → AF
  Handshake05,      // 05 → FA
  WriteCommand,     // A1 → A1
  WriteAddress,     // the loader's address, echoed
  WriteLength,      // the loader's length in words, echoed
  WriteData,        // the loader's bytes, each echoed
  ChecksumCommand,  // A4 → A4
  ChecksumStep,     // address and length echoed, then the checksum
  JumpCommand,      // A8 → A8
  JumpAddress,      // the loader's address, echoed with the loader's greeting
  Range,            // the loader's D3 01 start end → two bytes
  PacketSize,       // the loader's D5 size → two bytes
  PacketAck,        // each firmware packet → one byte
};

// Ways the GNSS module can let a flash run down. Like ModemFaults these change what the module
// does, so its state stays what a real module's would be.
struct GnssFaults {
  // From this stage on the module answers nothing until its power is cycled (it takes the stage's
  // input and hangs, as a module with a corrupt boot ROM or loader would).
  std::optional<GnssStage> silentFrom;
  // The first A0 answered is the Nth one the boot ROM hears since power-on (1: the first).
  unsigned syncAnsweredFrom = 1;
  // The Nth firmware packet (from 1) is stored but not acknowledged.
  std::optional<unsigned> unacknowledgedPacket;
  // The Nth firmware packet of the image (from 1) is answered 0xEE and dropped even when its sum is
  // right: on its first arrival only, or every time.
  std::optional<unsigned> rejectedPacket;
  bool rejectsAlways = false;

  bool operator==(const GnssFaults&) const = default;
};

}  // namespace orsa::sim
