#include "link/ChannelGate.h"

namespace orsa::link {

ChannelGate::Claim& ChannelGate::Claim::operator=(Claim&& other) noexcept {
  if (this != &other) {
    release();
    gate_ = other.gate_;
    other.gate_ = nullptr;
  }
  return *this;
}

void ChannelGate::Claim::release() {
  if (!gate_) return;
  std::lock_guard lock(gate_->lock_);
  gate_->holder_.reset();
  gate_ = nullptr;
}

std::optional<ChannelGate::Claim> ChannelGate::tryClaim(const std::string& operation) {
  std::lock_guard lock(lock_);
  if (holder_) return std::nullopt;
  holder_ = operation;
  return Claim(this);
}

std::optional<std::string> ChannelGate::holder() const {
  std::lock_guard lock(lock_);
  return holder_;
}

std::string channelBusyMessage(const std::string& holder) {
  return "Устройство занято: идёт операция «" + holder + "». Дождитесь её окончания.";
}

}  // namespace orsa::link
