#pragma once

#include "sim/GnssFaults.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace orsa::sim {

// The flash side of a MediaTek GNSS module once it has left its NMEA mode and its UART runs at
// 115200: the boot ROM, then the loader the boot ROM was given. Input is a byte stream with the time
// it arrived; how it was cut into frames does not matter, but when it came does.
//
// Boot ROM: a handshake A0 0A 50 05, answered 5F F5 AF FA byte by byte (a wrong byte restarts it;
// a repeated A0 is answered again), then commands, each answered with its own byte:
//   A1 address(4) words(4) data(2*words): write; every byte echoed. Words come high byte first.
//      The boot ROM runs programs only from its loader RAM at loaderRam and writes nowhere else: to
//      any other address it echoes the address, then reads the length and that many words without
//      echoing or keeping any, and waits for the next command.
//   A4 address(4) words(4): checksum; the eight bytes echoed, then the XOR of the 16-bit words
//      (as sent, high byte first) of that memory, high byte first. Memory never written reads 0.
//      For loaderSettle after the last byte of a loader the boot ROM is still putting it in place:
//      the A4 itself is echoed, but an address byte that comes before then hangs the module.
//   A8 address(4): jump; the four bytes echoed, then the loader's 20-byte greeting. The loader runs
//      if it was written and the address is loaderRam; a jump anywhere else hangs the module.
// Loader: D3 01 start(4) end(4): the range of firmware byte offsets, answered D3 5A (D3 A5 when end
// is below start or the range is over maxFirmware bytes). D5 size(4): the packet size, answered
// D5 5A (D5 A5 unless 1 to 65536). The loader reads these settings part by part (the command byte;
// then the 01, start and end of D3, or the size of D5) and looks at its UART again only
// loaderPartGap after the last byte of the part before: a part's first byte that comes earlier is
// lost, and so is each byte after it until one comes in time, which is then taken as that part's
// first. Once range and size are known the firmware follows in packets of min(size, bytes left)
// data bytes and a 16-bit big-endian wrapping sum of them; each answered 5A and kept, or EE and
// dropped when the sum is wrong or the plan rejects it (the loader then waits for that packet
// again). D9 ends programming: the module answers nothing more until it is powered again.
// All fields are big-endian. Bytes that fit no step are ignored.
class MtkFlashProtocol {
 public:
  using Clock = std::chrono::steady_clock;

  static constexpr std::uint8_t packetAck = 0x5A;
  static constexpr std::uint8_t packetNak = 0xEE;
  static constexpr std::uint32_t loaderRam = 0x00000C00;
  static constexpr std::size_t maxLoader = 64 * 1024;
  static constexpr std::size_t maxFirmware = 1024 * 1024;
  static constexpr auto loaderSettle = std::chrono::milliseconds(1000);
  static constexpr auto loaderPartGap = std::chrono::milliseconds(150);
  static constexpr std::array<std::uint8_t, 20> loaderGreeting = {'M', 'T', 'K', '_', 'L', 'O', 'A', 'D', 'E', 'R',
                                                                  '_', '3', '3', '3', '9', '_', 'V', '1', 0,   0};

  enum class Phase { BootRom, Loader, Done };

  // Back to the boot ROM's first handshake byte, as after power-on. What was received is kept.
  void restart();
  void applyFaults(const GnssFaults& faults) { faults_ = faults; }
  // `bytes` all came at `now`.
  std::vector<std::uint8_t> onBytes(std::span<const std::uint8_t> bytes, Clock::time_point now);

  Phase phase() const { return phase_; }
  bool hung() const { return step_ == Step::Hung; }
  // The last loader written, in the byte order of its file (each word low byte first).
  const std::vector<std::uint8_t>& loader() const { return loader_; }
  const std::vector<std::uint8_t>& firmware() const { return firmware_; }  // data of the packets kept
  // Every byte of the last range accepted is in firmware().
  bool imageComplete() const { return imageComplete_; }
  std::size_t packetsReceived() const { return packets_; }
  std::size_t badPackets() const { return badPackets_; }  // answered EE

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
    RefusedLength,
    RefusedData,
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
  // False for the first byte of a loader setting's part that comes too soon after the part before.
  bool partInTime() const;
  void takePacketByte(std::uint8_t byte, std::vector<std::uint8_t>& out);

  GnssFaults faults_;
  Phase phase_ = Phase::BootRom;
  Step step_ = Step::Sync;
  unsigned syncsHeard_ = 0;
  std::uint32_t field_ = 0;
  unsigned fieldBytes_ = 0;
  std::uint32_t checksumAddress_ = 0;
  Clock::time_point now_{};  // when the bytes being taken came

  std::size_t loaderExpected_ = 0;
  std::vector<std::uint8_t> loader_;
  bool loaderInRam_ = false;  // lost at power-off, unlike what the tests look at
  std::optional<Clock::time_point> loaderWrittenAt_;
  std::uint8_t highByte_ = 0;
  std::uint64_t refusedLeft_ = 0;  // bytes of a refused write still to come

  Clock::time_point partEndedAt_{};

  std::uint32_t rangeStart_ = 0;
  std::size_t firmwareLeft_ = 0;
  std::size_t packetSize_ = 0;
  std::vector<std::uint8_t> packet_;
  std::vector<std::uint8_t> firmware_;
  std::size_t packets_ = 0;
  std::size_t badPackets_ = 0;
  bool rejectedOnce_ = false;
  bool imageComplete_ = false;
};

}  // namespace orsa::sim
