#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <iosfwd>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace orsa::sim {

// A session kept by orsactl --record or orsa-configurator --record (the format is described in
// link/SessionRecorder.h), read back as exchanges: each block the program sent, with the bytes
// received after it and before the next block, timed from the block.
struct RecordedAnswer {
  std::chrono::microseconds after{0};
  std::vector<std::uint8_t> bytes;
};

struct RecordedExchange {
  std::vector<std::uint8_t> sent;
  std::size_t line = 0;  // where the block is in the file, for the warnings
  std::vector<RecordedAnswer> answers;
};

// A line that is not what the recorder writes; what() names the line.
class RecordingError : public std::runtime_error {
 public:
  RecordingError(std::size_t line, const std::string& why);
  std::size_t line() const { return line_; }

 private:
  std::size_t line_;
};

// Bytes received before the first block sent are left out: nothing the program does asks for them.
// Throws RecordingError on the first bad line, std::runtime_error when the file cannot be read.
std::vector<RecordedExchange> parseRecording(std::istream& in);
std::vector<RecordedExchange> readRecording(const std::string& path);

// Plays the beacon's part of a recording. The program's bytes are matched against the block the
// recording has next; when they make it up, its answers are due at their recorded delays after the
// moment the block was complete.
//
// The replay never skips or reorders: bytes that are not the next block get no answer, and once the
// line has been quiet for kQuietPeriod they are reported (the bytes, and the block the recording
// expected, with its line), so a developer sees where the program and the recording parted. The
// replay then still waits for the expected block, so a program that retries can catch up.
class SessionReplay {
 public:
  static constexpr std::chrono::milliseconds kQuietPeriod{500};
  // Unexpected bytes shown in a report; more are counted, not kept.
  static constexpr std::size_t kReportedBytes = 64;

  using Clock = std::chrono::steady_clock;

  struct Output {
    Clock::time_point due;
    std::vector<std::uint8_t> bytes;
  };

  explicit SessionReplay(std::vector<RecordedExchange> exchanges);

  // Takes bytes the program sent; what becomes due because of them is appended to `outputs`, and
  // unexpected bytes that the expected block then followed are reported in `reports`.
  void receive(std::span<const std::uint8_t> bytes, Clock::time_point now, std::deque<Output>& outputs,
               std::vector<std::string>& reports);
  // When idle() next has something to do; Clock::time_point::max() when nothing is pending.
  Clock::time_point nextCheck() const;
  // A report of unexpected bytes once the line was quiet long enough; empty otherwise.
  std::string idle(Clock::time_point now);

  std::size_t exchangesLeft() const { return exchanges_.size() - next_; }

 private:
  void setAside();
  void keepUnexpected(std::uint8_t byte);
  std::string report();

  std::vector<RecordedExchange> exchanges_;
  std::size_t next_ = 0;
  std::vector<std::uint8_t> pending_;     // a beginning of the expected block; never longer than it
  std::vector<std::uint8_t> unexpected_;  // the first kReportedBytes of what did not match
  std::size_t unexpectedCount_ = 0;
  Clock::time_point lastInput_{};
  Clock::time_point blockStarted_{};  // when the first byte of the block under way came
};

}  // namespace orsa::sim
