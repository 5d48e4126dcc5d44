#pragma once

#include "sim/GnssModel.h"
#include "sim/MtkFlashProtocol.h"
#include "sim/NmeaCapture.h"

#include <cstddef>
#include <string>

namespace orsa::sim {

// The beacon's MediaTek (MT3339-class) GNSS module. Powered, it streams its capture, one epoch a
// second, the first a second after power-on, looping at the end; an epoch still on the line when
// the next is due makes that one lost, as a module's full output buffer would. "$PMTK180*3B" (with
// a valid checksum, on a line of its own) sends it into its boot ROM, which stops the stream; from
// there MtkFlashProtocol takes over. The boot ROM and its loader run at 115200 baud only: at any
// other line rate the module hears nothing but garbage and answers nothing. Whatever the mode,
// power-off ends it: the module comes back in its NMEA mode, also after a completed flash run.
class MtkGnssModule final : public GnssModel {
 public:
  static constexpr std::uint32_t flashBaud = 115200;
  static constexpr auto epochPeriod = std::chrono::seconds(1);
  static constexpr std::size_t maxCommandLine = 128;  // longer NMEA-mode input is dropped

  enum class Mode { Off, Nmea, BootRom, Loader, Done };

  explicit MtkGnssModule(NmeaCapture capture = NmeaCapture::builtIn());

  std::vector<std::uint8_t> onData(std::span<const std::uint8_t> data) override;
  void onPowerOn(Clock::time_point now) override;
  void onPowerOff() override;
  void onLineRate(std::uint32_t baud) override { lineRate_ = baud; }
  std::optional<Clock::time_point> nextBurstAt() const override;
  std::vector<std::uint8_t> takeBurst(Clock::time_point now) override;
  bool outputStopped() const override { return powered_ && !nmeaMode_; }
  void applyFaults(const GnssFaults& faults) override { flash_.applyFaults(faults); }

  // Applies from the next epoch; an empty capture silences the stream.
  void setCapture(NmeaCapture capture);

  Mode mode() const;
  const MtkFlashProtocol& flash() const { return flash_; }
  // Short cuts into flash().
  const std::vector<std::uint8_t>& loader() const { return flash_.loader(); }
  const std::vector<std::uint8_t>& firmware() const { return flash_.firmware(); }
  std::size_t badPackets() const { return flash_.badPackets(); }

 private:
  void takeNmeaByte(std::uint8_t byte);

  NmeaCapture capture_;
  MtkFlashProtocol flash_;
  bool powered_ = false;
  bool nmeaMode_ = true;
  std::uint32_t lineRate_ = 9600;
  std::size_t nextEpoch_ = 0;
  Clock::time_point nextEpochAt_{};
  std::string line_;
  bool lineTooLong_ = false;
};

}  // namespace orsa::sim
