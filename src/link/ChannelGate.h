#pragma once

#include <mutex>
#include <optional>
#include <string>

namespace orsa::link {

// The one place that keeps operations off each other's channel: an operation claims the channel
// before its thread starts and releases it when the thread ends. A second claim is refused.
class ChannelGate {
 public:
  class Claim {
   public:
    Claim(Claim&& other) noexcept : gate_(other.gate_) { other.gate_ = nullptr; }
    Claim& operator=(Claim&& other) noexcept;
    Claim(const Claim&) = delete;
    Claim& operator=(const Claim&) = delete;
    ~Claim() { release(); }
    void release();

   private:
    friend class ChannelGate;
    explicit Claim(ChannelGate* gate) : gate_(gate) {}
    ChannelGate* gate_;
  };

  std::optional<Claim> tryClaim(const std::string& operation);
  // The operation holding the channel, if any.
  std::optional<std::string> holder() const;

 private:
  mutable std::mutex lock_;
  std::optional<std::string> holder_;
};

// What the user is told when a start is refused because another operation holds the channel.
std::string channelBusyMessage(const std::string& holder);

}  // namespace orsa::link
