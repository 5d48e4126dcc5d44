#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace orsa::cli {

// A pseudo-terminal that serves the module's NMEA stream to any GPS program (gpsd, say) through a
// link at a path of the user's choice, as if the module were a GPS receiver of its own. The link
// is removed again when the object goes.
class NmeaPty {
 public:
  // Throws std::system_error when no pseudo-terminal can be made, or the link cannot be placed
  // (a file that is not a link of ours is never replaced).
  explicit NmeaPty(std::filesystem::path link);
  ~NmeaPty();
  NmeaPty(const NmeaPty&) = delete;
  NmeaPty& operator=(const NmeaPty&) = delete;

  const std::string& devicePath() const { return devicePath_; }
  // Passes the stream on without ever blocking: what the reader leaves unread beyond the
  // terminal's queue is dropped, as a real receiver's line would drop it. What the reader sends
  // (probes, configuration) is read and discarded.
  void write(std::string_view stream);

 private:
  int master_ = -1;
  int slave_ = -1;  // kept open, so the line stays up between readers
  std::string devicePath_;
  std::filesystem::path link_;
};

}  // namespace orsa::cli
