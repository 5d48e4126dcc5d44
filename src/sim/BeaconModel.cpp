#include "sim/BeaconModel.h"

#include "sim/GsmModemModel.h"
#include "sim/MtkGnssModule.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace orsa::sim {

namespace {

// Factory contents of the settings memory. The texts are what a new beacon carries.
constexpr BeaconModel::CellInfo kCells[] = {
    {0x08080460, "OwnerPhone", "00000", false},
    {0x08080480, "DevicePin", "5820", false},
    {0x08080580, "TimeZone", "3", false},
    {0x08080560, "ContactTime", "1200", false},
    {0x080805A0, "CoordFormat", "3", false},
    {0x08080660, "DeliveryMode", "3", false},
    {0x080800A0, "ServerHost", "192.0.2.10", false},
    {0x080800C0, "ServerPort", "23351", false},
    {0x080808C0, "WialonEnabled", "0", false},
    {0x080800E0, "WialonHost", "198.51.100.20", false},
    {0x08080100, "WialonPort", "20332", false},
    {0x08080120, "WialonPassword", "", false},
    {0x080805C0, "WakeInterval", "1", false},
    {0x08080520, "FixPeriodDays", "0", false},
    {0x080802C0, "ConstantSlotA", "1", false},
    {0x08080600, "MotionMode", "0", false},
    {0x08080620, "GuardIntervals", "2300070010001700", false},
    {0x08080640, "MotionTimeout", "5", false},
    {0x080806E0, "FalseAlarmGuard", "1", false},
    {0x080806A0, "MotionAmplitude", "20", false},
    {0x080806C0, "MotionDuration", "0", false},
    {0x08080720, "ZoneControl", "0 001", false},
    {0x08080540, "BalanceThreshold", "50", false},
    {0x080804A0, "BalanceCode", "00000", false},
    {0x080807E0, "DeviceImei", "866104023456786", true},
    {0x080807A0, "ReadOnlyA", "FW 4.12 2019-03-05", true},
    {0x080807C0, "ReadOnlyB", "HW rev.C T4", true},
    {0x080808E0, "ReadOnlyC", "AXN_3.8_3333_16070800", true},
    {0x08080440, "ConstantSlotB", "1", false},
};

BeaconModel::Cell makeCell(std::span<const std::uint8_t> bytes) {
  BeaconModel::Cell cell{};
  std::copy_n(bytes.begin(), std::min(bytes.size(), cell.size()), cell.begin());
  return cell;
}

BeaconModel::Cell makeCell(std::string_view text) {
  return makeCell(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

const BeaconModel::CellInfo* findCell(std::uint32_t parameter) {
  const auto* it =
      std::find_if(std::begin(kCells), std::end(kCells), [&](const auto& info) { return info.parameter == parameter; });
  return it == std::end(kCells) ? nullptr : it;
}

std::string hex32(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

}  // namespace

std::span<const BeaconModel::CellInfo> BeaconModel::cellTable() { return kCells; }

BeaconModel::BeaconModel()
    : flash_(flashSize, 0xFF), modem_(std::make_unique<GsmModemModel>()), gnss_(std::make_unique<MtkGnssModule>()) {
  for (const auto& info : kCells) {
    cells_.emplace(info.parameter, makeCell(info.factoryText));
  }
}

std::vector<std::uint8_t> BeaconModel::handle(const Frame& frame, Clock::time_point now) {
  std::vector<std::uint8_t> ack{ackByte};
  switch (static_cast<FrameType>(frame.type)) {
    case FrameType::ReadSettingSlot: {
      const Cell stored = cell(frame.parameter);
      return {stored.begin(), stored.end()};
    }
    case FrameType::WriteSettingSlot:
      return writeCell(frame);
    case FrameType::ModemOn:
      // The beacon acknowledges the frame whether or not its modem comes up.
      if (!modemPowered_ && !modemFaults_.staysOff) {
        modemPowered_ = true;
        if (modem_) {
          modem_->onPowerOn();
        }
      }
      return ack;
    case FrameType::GnssOn:
      if (!gnssPowered_) {
        gnssPowered_ = true;
        if (gnss_) {
          gnss_->onPowerOn(now);
        }
      }
      return ack;
    case FrameType::ModemOff:
      modemPowered_ = false;
      return ack;
    case FrameType::GnssOff:
      if (gnssPowered_) {
        gnssPowered_ = false;
        gnssLine_.clear();  // the module stops in the middle of whatever it was sending
        if (gnss_) {
          gnss_->onPowerOff();
        }
      }
      return ack;
    case FrameType::SetGnssBaud:
      gnssBaud_ = frame.parameter;
      gnssLine_.setRate(gnssBaud_);
      if (gnss_) {
        gnss_->onLineRate(gnssBaud_);
      }
      return ack;
    case FrameType::ModemData:
      modemInput_.insert(modemInput_.end(), frame.data.begin(), frame.data.end());
      return modem_ && modemPowered_ ? modem_->onData(frame.data) : std::vector<std::uint8_t>{};
    case FrameType::GnssData: {
      gnssInput_.insert(gnssInput_.end(), frame.data.begin(), frame.data.end());
      if (!gnss_ || !gnssPowered_) {
        return {};
      }
      // The module is told when the bytes came: its boot ROM and loader keep time.
      auto answer = gnss_->onDataAt(frame.data, now);
      if (gnss_->outputStopped()) {
        gnssLine_.clear();
      }
      return answer;
    }
    case FrameType::EraseFirmware:
      std::fill(flash_.begin(), flash_.end(), std::uint8_t{0xFF});
      ++eraseCount_;
      return ack;
    case FrameType::WriteFirmwareBlock:
      return writeFlash(frame);
  }
  recordProtocolError("unknown frame type " + std::to_string(frame.type));
  return {};
}

std::vector<std::uint8_t> BeaconModel::writeCell(const Frame& frame) {
  const CellInfo* info = findCell(frame.parameter);
  if (info == nullptr) {
    recordProtocolError("settings write to unknown parameter " + hex32(frame.parameter));
    return {};
  }
  if (frame.data.size() > cellSize) {
    recordProtocolError("settings write of " + std::to_string(frame.data.size()) + " bytes to " +
                        hex32(frame.parameter) + " (only 32 stored)");
  }
  if (!info->readOnly) {
    cells_[frame.parameter] = makeCell(frame.data);
  }
  return {ackByte};
}

std::vector<std::uint8_t> BeaconModel::writeFlash(const Frame& frame) {
  const std::uint64_t start = frame.parameter;
  const std::uint64_t end = start + frame.data.size();
  if (start < flashBase || end > std::uint64_t{flashBase} + flashSize) {
    recordProtocolError("firmware block of " + std::to_string(frame.data.size()) + " bytes at " +
                        hex32(frame.parameter) + " lies outside the program flash");
    return {};
  }
  std::copy(frame.data.begin(), frame.data.end(), flash_.begin() + static_cast<std::ptrdiff_t>(start - flashBase));
  return {ackByte};
}

BeaconModel::Cell BeaconModel::cell(std::uint32_t parameter) const {
  const auto it = cells_.find(parameter);
  return it == cells_.end() ? Cell{} : it->second;
}

void BeaconModel::setCell(std::uint32_t parameter, std::string_view text) {
  const auto it = cells_.find(parameter);
  if (it == cells_.end()) {
    throw std::out_of_range("not a settings cell: " + hex32(parameter));
  }
  it->second = makeCell(text);
}

std::vector<std::uint8_t> BeaconModel::flashImage(std::size_t length) const {
  const auto n = static_cast<std::ptrdiff_t>(std::min(length, flash_.size()));
  return {flash_.begin(), flash_.begin() + n};
}

void BeaconModel::setModemModel(std::unique_ptr<ModemModel> modem) {
  modem_ = std::move(modem);
  if (modem_) {
    modem_->applyFaults(modemFaults_);
  }
}

void BeaconModel::setModemFaults(const ModemFaults& faults) {
  modemFaults_ = faults;
  if (modem_) {
    modem_->applyFaults(modemFaults_);
  }
}

void BeaconModel::setGnssModel(std::unique_ptr<GnssModel> gnss) {
  gnss_ = std::move(gnss);
  if (gnss_) {
    gnss_->applyFaults(gnssFaults_);
    gnss_->onLineRate(gnssBaud_);
    if (gnssPowered_) {
      gnss_->onPowerOn(Clock::now());
    }
  }
}

void BeaconModel::setGnssFaults(const GnssFaults& faults) {
  gnssFaults_ = faults;
  if (gnss_) {
    gnss_->applyFaults(gnssFaults_);
  }
}

std::optional<BeaconModel::Clock::time_point> BeaconModel::nextGnssOutputAt() const {
  std::optional<Clock::time_point> next = gnssLine_.nextReleaseAt();
  if (gnss_ && gnssPowered_) {
    if (const auto burst = gnss_->nextBurstAt(); burst && (!next || *burst < *next)) {
      next = burst;
    }
  }
  return next;
}

std::vector<std::uint8_t> BeaconModel::takeGnssOutput(Clock::time_point now) {
  if (gnss_ && gnssPowered_) {
    if (const auto due = gnss_->nextBurstAt(); due && *due <= now) {
      const auto burst = gnss_->takeBurst(now);
      // An epoch due while the last is still on the line is lost in the module's full buffer.
      if (!gnssLine_.busy()) {
        gnssLine_.push(burst, *due);
      }
    }
  }
  return gnssLine_.take(now);
}

void BeaconModel::gnssSends(std::span<const std::uint8_t> bytes, Clock::time_point now) { gnssLine_.push(bytes, now); }

}  // namespace orsa::sim
