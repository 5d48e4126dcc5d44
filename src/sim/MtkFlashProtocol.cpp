#include "sim/MtkFlashProtocol.h"

#include <algorithm>

namespace orsa::sim {

namespace {

constexpr std::uint8_t syncByte = 0xA0;
constexpr std::uint8_t writeCommand = 0xA1;
constexpr std::uint8_t checksumCommand = 0xA4;
constexpr std::uint8_t jumpCommand = 0xA8;
constexpr std::uint8_t rangeCommand = 0xD3;
constexpr std::uint8_t packetSizeCommand = 0xD5;
constexpr std::uint8_t finishCommand = 0xD9;
constexpr std::uint8_t accepted = 0x5A;
constexpr std::uint8_t refused = 0xA5;
constexpr std::size_t maxPacketSize = 64 * 1024;

// The boot ROM answers each handshake byte with its complement.
constexpr std::uint8_t complement(std::uint8_t byte) { return static_cast<std::uint8_t>(~byte); }

}  // namespace

void MtkFlashProtocol::restart() {
  phase_ = Phase::BootRom;
  step_ = Step::Sync;
  syncsHeard_ = 0;
  fieldBytes_ = 0;
  loaderInRam_ = false;
  loaderWrittenAt_.reset();
  firmwareLeft_ = 0;
  packetSize_ = 0;
  packet_.clear();
}

std::vector<std::uint8_t> MtkFlashProtocol::onBytes(std::span<const std::uint8_t> bytes, Clock::time_point now) {
  now_ = now;
  std::vector<std::uint8_t> out;
  for (const std::uint8_t byte : bytes) {
    take(byte, out);
  }
  return out;
}

bool MtkFlashProtocol::answers(GnssStage stage) {
  if (faults_.silentFrom == stage) {
    step_ = Step::Hung;
    return false;
  }
  return true;
}

bool MtkFlashProtocol::collect(std::uint8_t byte) {
  field_ = fieldBytes_ == 0 ? byte : (field_ << 8U) | byte;
  if (++fieldBytes_ < 4) {
    return false;
  }
  fieldBytes_ = 0;
  return true;
}

void MtkFlashProtocol::take(std::uint8_t byte, std::vector<std::uint8_t>& out) {
  switch (phase_) {
    case Phase::BootRom:
      takeBootRom(byte, out);
      return;
    case Phase::Loader:
      takeLoader(byte, out);
      return;
    case Phase::Done:
      return;
  }
}

void MtkFlashProtocol::sync(std::uint8_t byte, std::vector<std::uint8_t>& out) {
  step_ = Step::Sync;
  if (byte != syncByte || ++syncsHeard_ < faults_.syncAnsweredFrom || !answers(GnssStage::Sync)) {
    return;
  }
  out.push_back(complement(byte));
  step_ = Step::Handshake0A;
}

void MtkFlashProtocol::takeBootRom(std::uint8_t byte, std::vector<std::uint8_t>& out) {
  // Each handshake step: the byte expected, the stage it is, the step after it.
  const auto handshake = [&](std::uint8_t expected, GnssStage stage, Step next) {
    if (byte != expected) {
      sync(byte, out);  // the handshake starts over; an A0 counts as its first byte
    } else if (answers(stage)) {
      out.push_back(complement(byte));
      step_ = next;
    }
  };
  // Echoes one byte of a field; returns true once the field is complete.
  const auto echoField = [&](GnssStage stage) {
    if (!answers(stage)) {
      return false;
    }
    out.push_back(byte);
    return collect(byte);
  };

  switch (step_) {
    case Step::Sync:
      sync(byte, out);
      return;
    case Step::Handshake0A:
      handshake(0x0A, GnssStage::Handshake0A, Step::Handshake50);
      return;
    case Step::Handshake50:
      handshake(0x50, GnssStage::Handshake50, Step::Handshake05);
      return;
    case Step::Handshake05:
      handshake(0x05, GnssStage::Handshake05, Step::Command);
      return;
    case Step::Command:
      if (byte == writeCommand && answers(GnssStage::WriteCommand)) {
        step_ = Step::WriteAddress;
      } else if (byte == checksumCommand && answers(GnssStage::ChecksumCommand)) {
        step_ = Step::ChecksumAddress;
      } else if (byte == jumpCommand && answers(GnssStage::JumpCommand)) {
        step_ = Step::JumpAddress;
      } else {
        return;  // not a command (or the module just went silent)
      }
      out.push_back(byte);
      return;
    case Step::WriteAddress:
      if (echoField(GnssStage::WriteAddress)) {
        step_ = field_ == loaderRam ? Step::WriteLength : Step::RefusedLength;
      }
      return;
    case Step::WriteLength:
      if (echoField(GnssStage::WriteLength)) {
        loaderExpected_ = std::size_t{field_} * 2;
        loader_.clear();
        loaderInRam_ = true;
        step_ = loaderExpected_ > 0 && loaderExpected_ <= maxLoader ? Step::WriteData : Step::Command;
      }
      return;
    case Step::WriteData:
      if (!answers(GnssStage::WriteData)) {
        return;
      }
      out.push_back(byte);
      if (fieldBytes_ == 0) {  // each word comes high byte first
        highByte_ = byte;
        fieldBytes_ = 1;
        return;
      }
      fieldBytes_ = 0;
      loader_.push_back(byte);  // the file holds each word low byte first
      loader_.push_back(highByte_);
      if (loader_.size() == loaderExpected_) {
        loaderWrittenAt_ = now_;
        step_ = Step::Command;
      }
      return;
    case Step::RefusedLength:
      if (collect(byte)) {
        refusedLeft_ = std::uint64_t{field_} * 2;
        step_ = refusedLeft_ > 0 ? Step::RefusedData : Step::Command;
      }
      return;
    case Step::RefusedData:
      if (--refusedLeft_ == 0) {
        step_ = Step::Command;
      }
      return;
    case Step::ChecksumAddress:
      if (fieldBytes_ == 0 && loaderWrittenAt_ && now_ < *loaderWrittenAt_ + loaderSettle) {
        step_ = Step::Hung;
        return;
      }
      if (echoField(GnssStage::ChecksumStep)) {
        checksumAddress_ = field_;
        step_ = Step::ChecksumLength;
      }
      return;
    case Step::ChecksumLength:
      if (echoField(GnssStage::ChecksumStep)) {
        const std::uint16_t sum = checksum(checksumAddress_, field_);
        out.push_back(static_cast<std::uint8_t>(sum >> 8U));
        out.push_back(static_cast<std::uint8_t>(sum & 0xFFU));
        step_ = Step::Command;
      }
      return;
    case Step::JumpAddress:
      if (echoField(GnssStage::JumpAddress)) {
        out.insert(out.end(), loaderGreeting.begin(), loaderGreeting.end());
        if (field_ == loaderRam && loaderInRam_ && !loader_.empty()) {
          phase_ = Phase::Loader;
          step_ = Step::LoaderCommand;
        } else {
          step_ = Step::Hung;  // it jumped into memory that holds no program
        }
      }
      return;
    default:
      return;  // hung
  }
}

std::uint16_t MtkFlashProtocol::checksum(std::uint32_t address, std::uint32_t words) const {
  std::uint16_t sum = 0;
  for (std::uint64_t i = 0; i < words; ++i) {
    const std::uint64_t at = address + i * 2;
    if (!loaderInRam_ || at < loaderRam || at + 2 > loaderRam + std::uint64_t{loader_.size()}) {
      continue;  // unwritten memory reads 0
    }
    const auto offset = static_cast<std::size_t>(at - loaderRam);
    sum ^= static_cast<std::uint16_t>(loader_[offset] | (loader_[offset + 1] << 8U));
  }
  return sum;
}

void MtkFlashProtocol::afterLoaderSetting() {
  step_ = firmwareLeft_ > 0 && packetSize_ > 0 ? Step::Packet : Step::LoaderCommand;
}

bool MtkFlashProtocol::partInTime() const { return fieldBytes_ > 0 || now_ >= partEndedAt_ + loaderPartGap; }

void MtkFlashProtocol::takeLoader(std::uint8_t byte, std::vector<std::uint8_t>& out) {
  switch (step_) {
    case Step::LoaderCommand:
      if (byte == rangeCommand) {
        step_ = Step::RangeKind;
      } else if (byte == packetSizeCommand) {
        step_ = Step::PacketSize;
      } else if (byte == finishCommand) {
        phase_ = Phase::Done;
      }
      partEndedAt_ = now_;
      return;
    case Step::RangeKind:
      if (partInTime()) {
        partEndedAt_ = now_;
        step_ = Step::RangeStart;  // the kind of memory; the module has only its flash
      }
      return;
    case Step::RangeStart:
      if (partInTime() && collect(byte)) {
        partEndedAt_ = now_;
        rangeStart_ = field_;
        step_ = Step::RangeEnd;
      }
      return;
    case Step::RangeEnd: {
      if (!partInTime() || !collect(byte) || !answers(GnssStage::Range)) {
        return;
      }
      const bool valid = field_ >= rangeStart_ && std::size_t{field_ - rangeStart_} < maxFirmware;
      out.push_back(rangeCommand);
      out.push_back(valid ? accepted : refused);
      if (valid) {
        firmwareLeft_ = std::size_t{field_ - rangeStart_} + 1;
        firmware_.clear();
        imageComplete_ = false;
        rejectedOnce_ = false;
        packets_ = 0;
        badPackets_ = 0;
      }
      afterLoaderSetting();
      return;
    }
    case Step::PacketSize: {
      if (!partInTime() || !collect(byte) || !answers(GnssStage::PacketSize)) {
        return;
      }
      const bool valid = field_ >= 1 && field_ <= maxPacketSize;
      out.push_back(packetSizeCommand);
      out.push_back(valid ? accepted : refused);
      if (valid) {
        packetSize_ = field_;
      }
      afterLoaderSetting();
      return;
    }
    case Step::Packet:
      takePacketByte(byte, out);
      return;
    default:
      return;  // hung
  }
}

void MtkFlashProtocol::takePacketByte(std::uint8_t byte, std::vector<std::uint8_t>& out) {
  const std::size_t dataBytes = std::min(packetSize_, firmwareLeft_);
  packet_.push_back(byte);
  if (packet_.size() < dataBytes + 2) {
    return;
  }
  std::uint16_t sum = 0;
  for (std::size_t i = 0; i < dataBytes; ++i) {
    sum = static_cast<std::uint16_t>(sum + packet_[i]);
  }
  const auto sent = static_cast<std::uint16_t>((packet_[dataBytes] << 8U) | packet_[dataBytes + 1]);
  // The packet the loader waits for, counted in the image from 1: one it refused comes again.
  const std::size_t number = packets_ - badPackets_ + 1;
  const bool rejected = faults_.rejectedPacket == number && (faults_.rejectsAlways || !rejectedOnce_);
  rejectedOnce_ = rejectedOnce_ || rejected;
  const bool good = sum == sent && !rejected;
  ++packets_;
  if (good) {
    firmware_.insert(firmware_.end(), packet_.begin(), packet_.begin() + static_cast<std::ptrdiff_t>(dataBytes));
    firmwareLeft_ -= dataBytes;
  } else {
    ++badPackets_;
  }
  packet_.clear();
  if (firmwareLeft_ == 0) {
    imageComplete_ = true;
    step_ = Step::LoaderCommand;
  }
  if (faults_.unacknowledgedPacket == packets_ || !answers(GnssStage::PacketAck)) {
    return;
  }
  out.push_back(good ? packetAck : packetNak);
}

}  // namespace orsa::sim
