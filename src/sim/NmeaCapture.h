#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orsa::sim {

// What a GNSS receiver sent, cut into epochs (the sentences of one second). Built from a capture
// text: lines starting with '#' are the capture's comments and empty lines are dropped; every other
// line goes out as it is, ended by CR LF whatever ended it in the file. A new epoch begins at a GGA,
// RMC or ZDA sentence whose time field differs from the epoch's so far (ZDA too, since some modules
// send it first in the second).
class NmeaCapture {
 public:
  using Epoch = std::vector<std::uint8_t>;
  static constexpr std::size_t maxFileSize = 4 * 1024 * 1024;

  NmeaCapture() = default;  // no epochs: a module with this capture sends nothing of its own
  static NmeaCapture fromText(std::string_view text);
  // Throws std::runtime_error when the file cannot be read, is larger than maxFileSize or holds no
  // sentence.
  static NmeaCapture fromFile(const std::string& path);
  // A few epochs written for the simulator: a 3D fix from GPS and GLONASS.
  static NmeaCapture builtIn();

  const std::vector<Epoch>& epochs() const { return epochs_; }
  bool empty() const { return epochs_.empty(); }

 private:
  std::vector<Epoch> epochs_;
};

// The text of NmeaCapture::builtIn().
std::string_view builtInNmeaText();

}  // namespace orsa::sim
