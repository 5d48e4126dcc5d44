#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <span>
#include <string>

#include "link/SerialChannel.h"

namespace orsa::link {

// Keeps a session with the beacon in a file, so that a developer can read what was said and
// orsa-beacon-sim --replay can answer the same program as the beacon did. One JSON object a line;
// the first describes the session, every other one is a block of bytes with its time in
// milliseconds since the recording began:
//
//   {"orsa_session":1,"program":"orsactl","version":"1.1","port":"auto","started":"2026-12-09T05:46:20.123Z"}
//   {"t_ms":0.412,"sent":"01e00708080000000000"}
//   {"t_ms":38.950,"received":"38363631"}
//
// "sent" is one block as the program handed it to the port (a frame, or raw bytes), "received" what
// one read of the port returned, both as lower-case hex without spaces. "port" is the port the program
// was told to use, "auto" for the automatic choice. "started" is the wall-clock time in UTC.
//
// Each line is written and flushed as it happens: memory stays bounded however long the session,
// and a crash keeps everything up to its last line.
class SessionRecorder {
 public:
  static constexpr int kFormat = 1;  // "orsa_session" in the first line

  struct Header {
    std::string program;
    std::string port;
  };

  // Creates (or empties) the file and writes the first line. When that fails: nullptr, and `error`
  // says why in one line for the user.
  static std::unique_ptr<SessionRecorder> create(const std::string& path, const Header& header, std::string& error);
  ~SessionRecorder();

  SessionRecorder(const SessionRecorder&) = delete;
  SessionRecorder& operator=(const SessionRecorder&) = delete;

  // Safe from any thread; the channel calls it from its reader and writer threads.
  void record(SerialChannel::Direction direction, std::span<const std::uint8_t> bytes);
  // For SerialChannel::setTraceSink: records, then hands the bytes on to `next` when there is one.
  // The recorder must outlive the channel's use of the sink.
  SerialChannel::TraceSink sink(SerialChannel::TraceSink next = {});
  // True once a line could not be written (a full disk); nothing more is written after it.
  bool failed() const;

 private:
  SessionRecorder(std::FILE* file, std::chrono::steady_clock::time_point start);
  bool writeLine(const std::string& line);
  bool writeLineLocked(const std::string& line);  // with lock_ held

  mutable std::mutex lock_;
  std::FILE* file_;
  const std::chrono::steady_clock::time_point start_;
  bool failed_ = false;
};

}  // namespace orsa::link
