#pragma once

#include "sim/GnssModel.h"
#include "sim/MtkFlashProtocol.h"
#include "sim/NmeaCapture.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace orsa::sim {

// The beacon's MediaTek (MT3339-class) GNSS module. Powered, it streams its capture, one epoch a
// second, the first a second after power-on, looping at the end; an epoch still on the line when
// the next is due makes that one lost, as a module's full output buffer would.
//
// Its UART runs at 9600 from power-on. It hears the beacon's line only while both run at the same
// rate; bytes at another rate are noise that spoils the line it was reading, and get no answer. It
// reads lines of text, each "$BODY*HH" with the right checksum on a line of its own:
//   "$PMTK180*3B" sends it into its boot ROM, which stops the stream.
//   "$PMTK251,115200*1F", heard highSpeedRequests times since power-on (in the NMEA mode or in the
//      boot ROM, which reads text until its UART is fast), moves its UART to 115200 for good.
//   "$PMTK605*31", in the NMEA mode, asks for its firmware release, answered at once with
//      "$PMTK705,<release>,0004,MT3339,1.0*CS". A flash run that kept the whole image and ended with
//      D9 gives it the release "AXN_FLASHED_" and the image's CRC-32 in 8 hex digits from the next
//      power-on: the new firmware runs then.
// In the boot ROM with its UART at 115200, MtkFlashProtocol takes every byte. Whatever the mode,
// power-off ends it: the module comes back in its NMEA mode at 9600, also after a flash run.
class MtkGnssModule final : public GnssModel {
 public:
  static constexpr std::uint32_t nmeaBaud = 9600;
  static constexpr std::uint32_t flashBaud = 115200;
  static constexpr unsigned highSpeedRequests = 3;
  static constexpr auto epochPeriod = std::chrono::seconds(1);
  static constexpr std::size_t maxCommandLine = 128;  // longer lines of text are dropped

  enum class Mode { Off, Nmea, BootRom, Loader, Done };

  explicit MtkGnssModule(NmeaCapture capture = NmeaCapture::builtIn());

  // Bytes taken at Clock::now().
  std::vector<std::uint8_t> onData(std::span<const std::uint8_t> data) override;
  std::vector<std::uint8_t> onDataAt(std::span<const std::uint8_t> data, Clock::time_point now) override;
  void onPowerOn(Clock::time_point now) override;
  void onPowerOff() override;
  void onLineRate(std::uint32_t baud) override { lineRate_ = baud; }
  std::optional<Clock::time_point> nextBurstAt() const override;
  std::vector<std::uint8_t> takeBurst(Clock::time_point now) override;
  bool outputStopped() const override { return powered_ && !nmeaMode_; }
  void applyFaults(const GnssFaults& faults) override { flash_.applyFaults(faults); }

  // Applies from the next epoch; an empty capture silences the stream.
  void setCapture(NmeaCapture capture);

  static constexpr std::string_view factoryRelease = "AXN_3.8_3333_16071800";
  const std::string& release() const { return release_; }
  // The release it was made with; a flash run changes it again.
  void setRelease(std::string release) { release_ = std::move(release); }

  Mode mode() const;
  std::uint32_t uartRate() const { return uartRate_; }
  const MtkFlashProtocol& flash() const { return flash_; }
  // Short cuts into flash().
  const std::vector<std::uint8_t>& loader() const { return flash_.loader(); }
  const std::vector<std::uint8_t>& firmware() const { return flash_.firmware(); }
  std::size_t badPackets() const { return flash_.badPackets(); }

 private:
  void takeTextByte(std::uint8_t byte, std::vector<std::uint8_t>& answer);

  NmeaCapture capture_;
  MtkFlashProtocol flash_;
  bool powered_ = false;
  bool nmeaMode_ = true;
  std::uint32_t lineRate_ = nmeaBaud;
  std::uint32_t uartRate_ = nmeaBaud;
  unsigned highSpeedHeard_ = 0;
  std::size_t nextEpoch_ = 0;
  Clock::time_point nextEpochAt_{};
  std::string line_;
  bool lineSpoilt_ = false;  // too long, or noise came in it
  std::string release_{factoryRelease};
};

}  // namespace orsa::sim
