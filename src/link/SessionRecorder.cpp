#include "link/SessionRecorder.h"

#include <cerrno>
#include <cstring>
#include <nlohmann/json.hpp>

#include "orsa/Version.h"

namespace orsa::link {

namespace {

std::string hexOf(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const std::uint8_t byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

// "2026-12-09T05:46:20.123Z", from the calendar arithmetic of <chrono> rather than gmtime, which
// differs between the platforms the tool runs on.
std::string utcTimestamp(std::chrono::system_clock::time_point now) {
  using namespace std::chrono;
  const auto millis = floor<milliseconds>(now);
  const auto day = floor<days>(millis);
  const year_month_day date{day};
  const hh_mm_ss time{millis - day};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                static_cast<int>(time.seconds().count()), static_cast<int>(time.subseconds().count()));
  return text;
}

}  // namespace

std::unique_ptr<SessionRecorder> SessionRecorder::create(const std::string& path, const Header& header,
                                                         std::string& error) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    error = "cannot create the recording " + path + ": " + std::strerror(errno);
    return nullptr;
  }
  const auto start = std::chrono::steady_clock::now();
  std::unique_ptr<SessionRecorder> recorder(new SessionRecorder(file, start));
  const nlohmann::ordered_json first = {{"orsa_session", kFormat},
                                        {"program", header.program},
                                        {"version", kVersion},
                                        {"port", header.port},
                                        {"started", utcTimestamp(std::chrono::system_clock::now())}};
  if (!recorder->writeLine(first.dump())) {
    error = "cannot write the recording " + path + ": " + std::strerror(errno);
    return nullptr;
  }
  return recorder;
}

SessionRecorder::SessionRecorder(std::FILE* file, std::chrono::steady_clock::time_point start)
    : file_(file), start_(start) {}

SessionRecorder::~SessionRecorder() { std::fclose(file_); }

void SessionRecorder::record(SerialChannel::Direction direction, std::span<const std::uint8_t> bytes) {
  std::lock_guard guard(lock_);
  if (failed_) return;
  // Timed under the lock, so the lines of the two threads are in the order of their times.
  const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start_);
  const nlohmann::ordered_json line = {
      {"t_ms", static_cast<double>(elapsed.count()) / 1000.0},
      {direction == SerialChannel::Direction::Sent ? "sent" : "received", hexOf(bytes)}};
  writeLineLocked(line.dump());
}

SerialChannel::TraceSink SessionRecorder::sink(SerialChannel::TraceSink next) {
  return [this, next = std::move(next)](SerialChannel::Direction direction, std::span<const std::uint8_t> bytes) {
    record(direction, bytes);
    if (next) next(direction, bytes);
  };
}

bool SessionRecorder::failed() const {
  std::lock_guard guard(lock_);
  return failed_;
}

bool SessionRecorder::writeLine(const std::string& line) {
  std::lock_guard guard(lock_);
  return writeLineLocked(line);
}

bool SessionRecorder::writeLineLocked(const std::string& line) {
  const bool written = std::fwrite(line.data(), 1, line.size(), file_) == line.size() &&
                       std::fputc('\n', file_) != EOF && std::fflush(file_) == 0;
  if (!written) failed_ = true;
  return written;
}

}  // namespace orsa::link
