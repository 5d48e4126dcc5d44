#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/Worker.h"

namespace orsa::firmware {

// Replaces the GNSS module's firmware through the beacon: the module is restarted into its boot
// ROM, a loader program is written into its RAM and started, and the loader takes the firmware in
// checksummed packets. Every byte for the module goes in a GnssData frame, and every answer is
// compared with what the boot ROM or the loader must say: echoes byte for byte, the loader's
// checksum, 0x5A for each packet (a packet the loader refuses is sent again, three tries in all).
// Once the module has left its normal mode, a run that fails or is stopped puts the beacon's line
// back to 9600 baud and restarts the module's power, and says so. The module's firmware release
// is asked before and after, so the technician sees that the new image took.
class GPSUpdateThread final : public link::Worker {
 public:
  static constexpr std::uint32_t kLoaderAddress = 0x00000C00;
  static constexpr std::uint32_t kLoaderWords = 5946;
  static constexpr std::uint32_t kLoaderBytes = 2 * kLoaderWords;  // 11892, whatever the file holds
  static constexpr std::uint32_t kLoaderChunk = 10;
  static constexpr std::uint32_t kPacketSize = 2048;
  static constexpr std::uint32_t kHighSpeed = 115200;
  static constexpr std::uint32_t kNormalSpeed = 9600;
  static constexpr std::int32_t kBeaconTimeoutMs = 2000;
  static constexpr std::int32_t kModuleTimeoutMs = 4000;
  static constexpr std::int32_t kHandshakeTimeoutMs = 100;
  static constexpr int kHandshakeTries = 100;
  static constexpr int kPacketTries = 3;

  struct Callbacks {
    // A new last line of the service log: messageText.
    std::function<void(const GPSUpdateThread&)> appendLog;
    // progressMax, then progressPosition.
    std::function<void(const GPSUpdateThread&)> showProgress;
    // The run is over, whatever its outcome: the start button may be pressed again.
    std::function<void(const GPSUpdateThread&)> enable;
    // Warning box with messageText: the beacon is missing.
    std::function<void(const GPSUpdateThread&)> showResult;
  };

  GPSUpdateThread(link::DeviceLink link, Callbacks callbacks);
  ~GPSUpdateThread() override { stopAndJoin(); }

  // Inputs, set before start(); paths, so that on Windows any name opens (see MCUpdateThread).
  std::filesystem::path loaderPath;
  std::filesystem::path firmwarePath;
  // The channel is closed first and left quiet this long before the connect, so the beacon has
  // finished relaying whatever the module sent before; waited here, never on the window thread.
  std::chrono::milliseconds quietBeforeConnect{2000};
  // The user has seen what is unusual about the files (see unusualFlashFiles) and wants to go on.
  bool unusualFilesConfirmed = false;
  // Only bring the module back to its normal mode (9600 baud, power restarted): after a run that
  // could not, or a module left in its boot ROM by something else.
  bool recoverOnly = false;

  // True once the last step was reached: the module holds the new firmware.
  bool succeeded() const { return succeeded_; }
  // The firmware data bytes the loader acknowledged.
  std::uint64_t confirmedBytes() const { return confirmedBytes_; }
  // The module's firmware release as it reported it before and after the run; empty if it did not.
  const std::string& releaseBefore() const { return releaseBefore_; }
  const std::string& releaseAfter() const { return releaseAfter_; }

 protected:
  void run() override;

 private:
  bool flash();
  bool readFiles(std::vector<std::uint8_t>& loader, std::vector<std::uint8_t>& firmware);
  bool restartModule();
  bool enterBootRom();
  bool handshake();
  bool writeLoader(std::span<const std::uint8_t> loader);
  bool startLoader();
  // A loader setting (D3 range, D5 packet size): its command byte, then its parts, then the
  // loader's answer of the command byte and 0x5A.
  bool loaderSetting(std::uint8_t command, std::initializer_list<std::span<const std::uint8_t>> parts,
                     const char* failure);
  bool writeFirmware(std::span<const std::uint8_t> firmware);
  bool sendPacket(std::span<const std::uint8_t> packet, std::uint32_t number, std::uint32_t count);
  bool finishProgramming();
  // Back to 9600 baud and a restarted module, also after a stop; false when the beacon did not
  // acknowledge it.
  bool recover();
  // After GnssOff: the line fell quiet within the beacon's time-out. `closing`: for recover().
  bool moduleOffAndQuiet(bool closing);
  std::string askRelease();

  // One GnssData frame with `bytes` for the module; false (and the failure noted) when it could
  // not go out, or quietly once the run is being stopped.
  bool toModule(std::span<const std::uint8_t> bytes);
  bool toModule(std::string_view text);
  // Sends and awaits the module's answer, which must be `expected` byte for byte when it is given
  // (else just `count` bytes of any value).
  bool exchange(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> expected, const char* failure);
  bool exchange(std::span<const std::uint8_t> bytes, std::uint32_t count, const char* failure);
  bool beaconCommand(link::CommandType type, std::uint32_t parameter, const char* failure);
  // Awaits `count` bytes; on a miss the failure is noted (unless the run is being stopped).
  bool awaited(std::uint32_t count, std::int32_t timeoutMs, const char* failure);
  void log(const std::string& line);
  // Notes why the run ends; the last log line says it, with what became of the module.
  void fail(std::string text);
  void progress(std::uint32_t max, std::uint32_t position);

  Callbacks callbacks_;
  bool succeeded_ = false;
  bool leftNormalMode_ = false;
  std::string failure_;
  std::uint64_t confirmedBytes_ = 0;
  std::string releaseBefore_;
  std::string releaseAfter_;
};

// How the loader goes out: each 16-bit word of the low-byte-first file high byte first.
void swapWordBytes(std::span<std::uint8_t> bytes);
// The loader's firmware packet checksum: the 16-bit wrapping sum of the data bytes.
std::uint16_t packetChecksum(std::span<const std::uint8_t> data);
// The boot ROM's check of the loader it holds: the XOR of its 16-bit words as they went out.
std::uint16_t loaderChecksum(std::span<const std::uint8_t> sentLoader);
// What is unusual about a loader and a firmware of these sizes, such as files given the wrong way
// round, in words for the question that asks whether to go on; empty when nothing is.
std::string unusualFlashFiles(std::uint64_t loaderSize, std::uint64_t firmwareSize);
// The release in a "$PMTK705,release,..." answer found in `text`, its checksum right; empty if none.
std::string releaseFromAnswer(std::string_view text);

}  // namespace orsa::firmware
