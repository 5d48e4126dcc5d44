#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/Worker.h"

namespace orsa::firmware {

// Replaces the GNSS module's firmware through the beacon: the module is restarted into its boot
// ROM, a loader program is written into its RAM and started, and the loader takes the firmware in
// checksummed packets. Every byte for the module goes in a GnssData frame; only the number of bytes
// the module sends back decides whether a step succeeded.
class GPSUpdateThread final : public link::Worker {
 public:
  static constexpr std::uint32_t kLoaderAddress = 0x00000C00;
  static constexpr std::uint32_t kLoaderWords = 5946;
  static constexpr std::uint32_t kLoaderBytes = 2 * kLoaderWords;  // 11892, whatever the file holds
  static constexpr std::uint32_t kLoaderChunk = 10;
  static constexpr std::uint32_t kPacketSize = 2048;
  // The loader's range is 32-bit; no module has more flash than this, and the image is held whole.
  static constexpr std::uint64_t kMaxFirmwareBytes = 16 * 1024 * 1024;
  static constexpr std::uint32_t kHighSpeed = 115200;
  static constexpr std::uint32_t kNormalSpeed = 9600;
  static constexpr std::int32_t kBeaconTimeoutMs = 2000;
  static constexpr std::int32_t kModuleTimeoutMs = 4000;
  static constexpr std::int32_t kHandshakeTimeoutMs = 100;
  static constexpr int kHandshakeTries = 100;

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

  // True once the last step was reached: the module holds the new firmware.
  bool succeeded() const { return succeeded_; }

 protected:
  void run() override;

 private:
  bool prepare(std::vector<std::uint8_t>& loader, std::vector<std::uint8_t>& firmware);
  bool enterBootRom();
  bool handshake();
  bool writeLoader(std::span<const std::uint8_t> loader);
  bool startLoader();
  bool writeFirmware(std::span<const std::uint8_t> firmware);
  void finishProgramming();

  // One GnssData frame with `bytes` for the module; false once the run is being stopped.
  bool toModule(std::span<const std::uint8_t> bytes);
  bool toModule(std::string_view text);
  // Sends and awaits `count` bytes; on a miss the failure is reported and false returned.
  bool exchange(std::span<const std::uint8_t> bytes, std::uint32_t count, const char* failure);
  bool beaconCommand(link::CommandType type, std::uint32_t parameter, const char* failure);
  // Awaits `count` bytes; on a miss the failure is reported (unless the run is being stopped).
  bool awaited(std::uint32_t count, std::int32_t timeoutMs, const char* failure);
  void log(const char* line);
  void fail(const char* text);
  void progress(std::uint32_t max, std::uint32_t position);

  Callbacks callbacks_;
  bool succeeded_ = false;
};

// How the loader goes out: each 16-bit word of the low-byte-first file high byte first.
void swapWordBytes(std::span<std::uint8_t> bytes);
// The loader's firmware packet checksum: the 16-bit wrapping sum of the data bytes.
std::uint16_t packetChecksum(std::span<const std::uint8_t> data);

}  // namespace orsa::firmware
