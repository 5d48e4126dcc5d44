#pragma once

#include "sim/FrameParser.h"
#include "sim/GnssFaults.h"
#include "sim/GnssModel.h"
#include "sim/ModemFaults.h"
#include "sim/ModemModel.h"
#include "sim/PacedLine.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orsa::sim {

// Command types the beacon understands.
enum class FrameType : std::uint8_t {
  ReadSettingSlot = 1,
  WriteSettingSlot = 2,
  ModemOn = 3,
  GnssOn = 4,
  ModemOff = 5,
  GnssOff = 6,
  SetGnssBaud = 7,
  ModemData = 8,
  GnssData = 9,
  EraseFirmware = 10,
  WriteFirmwareBlock = 11,
};

// The beacon's behaviour, without any I/O: settings memory, program flash, module power and the
// pass-through to the modem and GNSS models. The GNSS module's own output comes through a line
// paced at the GNSS baud, handed out by takeGnssOutput() when nextGnssOutputAt() says. Not
// thread-safe; the owner serialises access.
class BeaconModel {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::size_t cellSize = 32;
  static constexpr std::uint32_t flashBase = 0x08006400;
  static constexpr std::size_t flashSize = 512 * 1024;
  static constexpr std::uint8_t ackByte = 0x01;
  using Cell = std::array<std::uint8_t, cellSize>;

  // One settings cell of the beacon's memory, known by its parameter number.
  struct CellInfo {
    std::uint32_t parameter;
    std::string_view name;
    std::string_view factoryText;
    bool readOnly;  // written by the beacon itself; writes are acknowledged and ignored
  };
  // The 29 cells, in record order.
  static std::span<const CellInfo> cellTable();

  static constexpr std::uint32_t startGnssBaud = 9600;

  BeaconModel();  // factory contents, erased flash, GsmModemModel and MtkGnssModule (both unpowered)

  // Acts on one frame received at `now`; returns the reply (empty: the beacon does not answer).
  std::vector<std::uint8_t> handle(const Frame& frame, Clock::time_point now);
  std::vector<std::uint8_t> handle(const Frame& frame) { return handle(frame, Clock::now()); }

  bool hasCell(std::uint32_t parameter) const { return cells_.contains(parameter); }
  Cell cell(std::uint32_t parameter) const;  // all zero for an unknown parameter
  // Replaces a cell's contents (read-only cells too), zero-padded or cut to 32 bytes.
  // Throws std::out_of_range for a parameter that is not a settings cell.
  void setCell(std::uint32_t parameter, std::string_view text);

  std::vector<std::uint8_t> flashImage(std::size_t length) const;  // from flashBase, at most flashSize
  std::size_t eraseCount() const { return eraseCount_; }

  bool modemPowered() const { return modemPowered_; }
  bool gnssPowered() const { return gnssPowered_; }
  std::uint32_t gnssBaud() const { return gnssBaud_; }

  // Every byte of every ModemData frame, also those that reached an unpowered modem.
  const std::vector<std::uint8_t>& modemInput() const { return modemInput_; }
  const std::vector<std::uint8_t>& gnssInput() const { return gnssInput_; }
  // Null: the modem answers nothing. The beacon passes data to the modem only while it is powered.
  void setModemModel(std::unique_ptr<ModemModel> modem);
  ModemModel* modemModel() { return modem_.get(); }
  const ModemModel* modemModel() const { return modem_.get(); }
  // Applies from the next frame on, to this modem and to any plugged in later.
  void setModemFaults(const ModemFaults& faults);
  // Null: the module answers nothing. The beacon passes data to the module only while it is powered.
  void setGnssModel(std::unique_ptr<GnssModel> gnss);
  GnssModel* gnssModel() { return gnss_.get(); }
  const GnssModel* gnssModel() const { return gnss_.get(); }
  // Applies from now on, to this module and to any plugged in later.
  void setGnssFaults(const GnssFaults& faults);
  // When the module's own output next has bytes for the host; empty: nothing planned.
  std::optional<Clock::time_point> nextGnssOutputAt() const;
  // The module's own output whose time on the line has come by `now`.
  std::vector<std::uint8_t> takeGnssOutput(Clock::time_point now);
  // The module sends `bytes` from `now` on, after whatever it is sending, whatever its power or mode
  // (though a module in its boot ROM drops them at the next byte it is given).
  void gnssSends(std::span<const std::uint8_t> bytes, Clock::time_point now);

  // Frames the beacon could not make sense of, one line each.
  const std::vector<std::string>& protocolErrors() const { return protocolErrors_; }
  void recordProtocolError(std::string what) { protocolErrors_.push_back(std::move(what)); }

 private:
  std::vector<std::uint8_t> writeCell(const Frame& frame);
  std::vector<std::uint8_t> writeFlash(const Frame& frame);
  std::vector<std::uint8_t> passToGnss(std::span<const std::uint8_t> data);

  std::map<std::uint32_t, Cell> cells_;
  std::vector<std::uint8_t> flash_;
  std::size_t eraseCount_ = 0;
  bool modemPowered_ = false;
  bool gnssPowered_ = false;
  std::uint32_t gnssBaud_ = startGnssBaud;
  std::unique_ptr<ModemModel> modem_;
  ModemFaults modemFaults_;
  std::unique_ptr<GnssModel> gnss_;
  GnssFaults gnssFaults_;
  PacedLine gnssLine_{startGnssBaud};
  std::vector<std::uint8_t> modemInput_;
  std::vector<std::uint8_t> gnssInput_;
  std::vector<std::string> protocolErrors_;
};

}  // namespace orsa::sim
