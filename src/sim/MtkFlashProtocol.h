#pragma once

#include "sim/GnssFaults.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace orsa::sim {

// The flash side of a MediaTek GNSS module once it has left its NMEA mode: the boot ROM, then the
// loader the boot ROM was given. Input is a byte stream; how it was cut into frames does not matter.
//
// Boot ROM: a handshake A0 0A 50 05, answered 5F F5 AF FA byte by byte (a wrong byte restarts it;
// a repeated A0 is answered again), then commands, each answered with its own byte:
//   A1 address(4) words(4) data(2*words): write; every byte echoed. Words come high byte first.
//   A4 address(4) words(4): checksum; the eight bytes echoed, then the XOR of the 16-bit words
//      (as sent, high byte first) of that memory, high byte first. Memory never written reads 0.
//   A8 address(4): jump; the four bytes echoed, then the loader's 20-byte greeting. The loader runs
//      if the address is where it was written; a jump anywhere else hangs the module.
// Loader: D3 01 start(4) end(4): the range of firmware byte offsets, answered D3 5A (D3 A5 when end
// is below start or the range is over maxFirmware bytes). D5 size(4): the packet size, answered
// D5 5A (D5 A5 unless 1 to 65536). Once both are known the firmware follows in packets of
// min(size, bytes left) data bytes and a 16-bit big-endian wrapping sum of them; each answered 5A
// and kept, or A5 and dropped when the sum is wrong (the loader then waits for it again). D9 ends
// programming: the module answers nothing more until it is powered again.
// All fields are big-endian. Bytes that fit no step are ignored.
class MtkFlashProtocol {
 public:
  static constexpr std::uint8_t packetAck = 0x5A;
  static constexpr std::uint8_t packetNak = 0xA5;
  static constexpr std::size_t maxLoader = 64 * 1024;
  static constexpr std::size_t maxFirmware = 1024 * 1024;
  static constexpr std::array<std::uint8_t, 20> loaderGreeting = {'M', 'T', 'K', '_', 'L', 'O', 'A', 'D', 'E', 'R',
                                                                  '_', '3', '3', '3', '9', '_', 'V', '1', 0,   0};

  enum class Phase { BootRom, Loader, Done };

  // Back to the boot ROM's first handshake byte, as after power-on. What was received is kept.
  void restart();
  void applyFaults(const GnssFaults& faults) { faults_ = faults; }
  std::vector<std::uint8_t> onBytes(std::span<const std::uint8_t> bytes);

  Phase phase() const { return phase_; }
  bool hung() const { return step_ == Step::Hung; }
  // The last loader written, in the byte order of its file (each word low byte first).
  const std::vector<std::uint8_t>& loader() const { return loader_; }
  std::uint32_t loaderAddress() const { return loaderAddress_; }
  const std::vector<std::uint8_t>& firmware() const { return firmware_; }  // data of the packets kept
  std::size_t packetsReceived() const { return packets_; }
  std::size_t badPackets() const { return badPackets_; }

 private:
  enum class Step {
    Sync,
    Handshake0A,
    Handshake50,
    Handshake05,
    Command,
    WriteAddress,
    WriteLength,
    WriteData,
    ChecksumAddress,
    ChecksumLength,
    JumpAddress,
    LoaderCommand,
    RangeKind,
    RangeStart,
    RangeEnd,
    PacketSize,
    Packet,
    Hung,
  };

  void take(std::uint8_t byte, std::vector<std::uint8_t>& out);
  void takeBootRom(std::uint8_t byte, std::vector<std::uint8_t>& out);
  void takeLoader(std::uint8_t byte, std::vector<std::uint8_t>& out);
  void sync(std::uint8_t byte, std::vector<std::uint8_t>& out);
  // Answers at `stage` unless the plan makes the module go silent there.
  bool answers(GnssStage stage);
  // Collects a 4-byte field; true once it is complete (its value in field_).
  bool collect(std::uint8_t byte);
  std::uint16_t checksum(std::uint32_t address, std::uint32_t words) const;
  void afterLoaderSetting();
  void takePacketByte(std::uint8_t byte, std::vector<std::uint8_t>& out);

  GnssFaults faults_;
  Phase phase_ = Phase::BootRom;
  Step step_ = Step::Sync;
  unsigned syncsHeard_ = 0;
  std::uint32_t field_ = 0;
  unsigned fieldBytes_ = 0;
  std::uint32_t checksumAddress_ = 0;

  std::uint32_t loaderAddress_ = 0;
  std::size_t loaderExpected_ = 0;
  std::vector<std::uint8_t> loader_;
  bool loaderInRam_ = false;  // lost at power-off, unlike what the tests look at
  std::uint8_t highByte_ = 0;

  std::uint32_t rangeStart_ = 0;
  std::size_t firmwareLeft_ = 0;
  std::size_t packetSize_ = 0;
  std::vector<std::uint8_t> packet_;
  std::vector<std::uint8_t> firmware_;
  std::size_t packets_ = 0;
  std::size_t badPackets_ = 0;
};

}  // namespace orsa::sim
