#include "reliability/OperationRunner.h"

#include <condition_variable>
#include <fstream>
#include <mutex>

#include "firmware/GPSUpdateThread.h"
#include "firmware/MCUpdateThread.h"
#include "firmware/ShowNMEAThread.h"
#include "service/ServiceThread.h"
#include "service/UploadFolder.h"
#include "settings/RWSettingsThread.h"
#include "support/BeaconFigures.h"

namespace orsa::reliability {

namespace {

using namespace std::chrono_literals;
using service::ServiceThread;
namespace figures = orsa::testing::figures;

constexpr const char* kFirmwareFile = "image.fmw";
constexpr const char* kLoaderFile = "loader.bin";
constexpr const char* kGnssFirmwareFile = "gnss.bin";
constexpr const char* kUploadFile = "A.AMR";
constexpr const char* kPhone = "+79001234567";
// Long enough for a wait that went wrong to show as a failed cell rather than a hung binary.
constexpr auto kDrainWait = 10s;

void writeFile(const std::filesystem::path& path, std::size_t size, unsigned seed) {
  std::ofstream out(path, std::ios::binary);
  for (std::size_t i = 0; i < size; ++i) out.put(static_cast<char>((i * seed + i / 7 + seed) % 251));
}

// Starts the worker and waits for its end, timing both on the clock its channel runs on.
template <typename W>
void startAndJoin(W& worker, const link::Clock& clock, RunResult& result) {
  const auto start = clock.now();
  result.started = worker.start();
  if (result.started) worker.join();
  result.elapsed = clock.now() - start;
}

std::vector<std::uint8_t> noise(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(0x80 | ((i * 73 + 11) & 0x7F));
  return bytes;
}

}  // namespace

void OperationRunner::prepare(Operation operation) {
  switch (operation) {
    case Operation::FirmwareUpdate:
      writeFile(folder_ / kFirmwareFile, figures::kFirmwareHeaderSize + 2 * figures::kFirmwareBlockSize, 31);
      break;
    case Operation::GnssFlash:
      writeFile(folder_ / kLoaderFile, firmware::GPSUpdateThread::kLoaderBytes, 13);
      writeFile(folder_ / kGnssFirmwareFile, 12289, 29);
      break;
    case Operation::ModemStart:
    case Operation::ModemOff:
    case Operation::GnssOn:
    case Operation::GnssOff:
      rig_.beacon->withGnssModule([](sim::MtkGnssModule& module) { module.setCapture({}); });
      break;
    case Operation::Upload:
      writeFile(folder_ / kUploadFile, 300, 37);
      [[fallthrough]];
    case Operation::TestSimCreate:
    case Operation::TestSimClear:
    case Operation::ImeiSms:
    case Operation::Call:
    case Operation::HangUp:
      service(ServiceThread::kModemOn);
      break;
    case Operation::SettingsRead:
    case Operation::SettingsWrite:
    case Operation::NmeaRelay:
      break;
  }
  rig_.beacon->clearTrace();
}

RunResult OperationRunner::run(const FaultCell& cell) {
  switch (cell.operation) {
    case Operation::SettingsRead:
      return settings(settings::RWSettingsThread::kReadMode);
    case Operation::SettingsWrite:
      return settings(settings::RWSettingsThread::kWriteMode);
    case Operation::FirmwareUpdate:
      return firmwareUpdate();
    case Operation::ModemStart:
      return service(ServiceThread::kModemOn);
    case Operation::ModemOff:
      return service(ServiceThread::kModemOff);
    case Operation::GnssOn:
      return service(ServiceThread::kGnssOn);
    case Operation::GnssOff:
      return service(ServiceThread::kGnssOff);
    case Operation::TestSimCreate:
      return service(ServiceThread::kCreateTestSimEntry);
    case Operation::TestSimClear:
      return service(ServiceThread::kClearTestSimEntry);
    case Operation::ImeiSms:
      return service(ServiceThread::kSendImeiSms);
    case Operation::Call:
      return service(ServiceThread::kCall);
    case Operation::HangUp:
      return service(ServiceThread::kHangUp);
    case Operation::Upload:
      return service(ServiceThread::kUploadFiles);
    case Operation::NmeaRelay:
      return relay(cell.relayEvent);
    case Operation::GnssFlash:
      return gnssFlash();
  }
  return {};
}

RunResult OperationRunner::probe() { return service(ServiceThread::kGnssOff); }

RunResult OperationRunner::settings(std::int32_t mode) {
  RunResult result;
  settings::SettingsRecord record;
  record.RestoreDefaults("+7");
  std::mutex replyLock;
  settings::RWSettingsThread::Callbacks callbacks;
  callbacks.showResult = [&](const settings::RWSettingsThread& w) { result.message = w.messageText; };
  callbacks.showRecord = [&](const settings::RWSettingsThread&) { result.recordShown = true; };
  settings::RWSettingsThread worker(rig_.link(), record, replyLock, callbacks);
  worker.mode = mode;
  startAndJoin(worker, rig_.channel.clock(), result);
  return result;
}

RunResult OperationRunner::firmwareUpdate() {
  RunResult result;
  firmware::MCUpdateThread::Callbacks callbacks;
  callbacks.showResult = [&](const firmware::MCUpdateThread& u) { result.message = u.messageText; };
  firmware::MCUpdateThread worker(rig_.link(), callbacks);
  worker.firmwarePath = (folder_ / kFirmwareFile).string();
  startAndJoin(worker, rig_.channel.clock(), result);
  return result;
}

RunResult OperationRunner::service(std::int32_t mode) {
  RunResult result;
  std::mutex replyLock;
  ServiceThread::Callbacks callbacks;
  callbacks.appendLog = [&](const std::string& line) { result.message = line; };
  callbacks.showResult = [&](const ServiceThread& t) { result.message = t.messageText; };
  ServiceThread worker(rig_.link(), replyLock, callbacks);
  worker.mode = mode;
  worker.phoneNumber = kPhone;
  if (mode == ServiceThread::kUploadFiles) {
    std::error_code error;
    service::UploadList list = service::scanUploadFolder(folder_, error);
    worker.fileList = std::move(list.files);
    worker.totalSize = list.totalSize;
  }
  startAndJoin(worker, rig_.channel.clock(), result);
  return result;
}

RunResult OperationRunner::relay(RelayEvent event) {
  RunResult result;
  std::mutex lock;
  std::condition_variable drained;
  std::size_t drains = 0;
  firmware::ShowNMEAThread::Callbacks callbacks;
  callbacks.drain = [&](std::string_view) {
    const std::lock_guard guard(lock);
    ++drains;
    drained.notify_all();
  };
  callbacks.showResult = [&](const firmware::ShowNMEAThread& r) {
    const std::lock_guard guard(lock);
    result.message = r.messageText;
    drained.notify_all();
  };
  firmware::ShowNMEAThread worker(rig_.link(), callbacks);
  const auto awaitDrain = [&] {
    std::unique_lock guard(lock);
    const std::size_t seen = drains;
    drained.wait_for(guard, kDrainWait, [&] { return drains > seen; });
  };
  const auto start = rig_.channel.clock().now();
  result.started = worker.start();
  if (!result.started) return result;
  awaitDrain();
  switch (event) {
    case RelayEvent::ModuleGarbage:
      rig_.beacon->gnssSends(noise(200));
      break;
    case RelayEvent::ModuleFlood:
      rig_.beacon->gnssSends(noise(8192));
      break;
    case RelayEvent::BeaconHangsUp:
      rig_.beacon->hangUp();
      break;
    case RelayEvent::None:
      break;
  }
  if (event == RelayEvent::BeaconHangsUp) {
    // The drain right after the hang-up may have looked at the line just before it went; the relay
    // ends at the latest one drain later.
    std::unique_lock guard(lock);
    drained.wait_for(guard, kDrainWait, [&] { return !result.message.empty(); });
  } else {
    awaitDrain();
  }
  worker.stopAndJoin();
  result.elapsed = rig_.channel.clock().now() - start;
  return result;
}

RunResult OperationRunner::gnssFlash() {
  RunResult result;
  firmware::GPSUpdateThread::Callbacks callbacks;
  callbacks.appendLog = [&](const firmware::GPSUpdateThread& w) { result.message = w.messageText; };
  callbacks.showResult = [&](const firmware::GPSUpdateThread& w) { result.message = w.messageText; };
  callbacks.enable = [&](const firmware::GPSUpdateThread&) { ++result.enables; };
  firmware::GPSUpdateThread worker(rig_.link(), callbacks);
  worker.loaderPath = (folder_ / kLoaderFile).string();
  worker.firmwarePath = (folder_ / kGnssFirmwareFile).string();
  worker.quietBeforeConnect = 0ms;
  startAndJoin(worker, rig_.channel.clock(), result);
  return result;
}

}  // namespace orsa::reliability
