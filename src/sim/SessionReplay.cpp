#include "sim/SessionReplay.h"

#include <algorithm>
#include <fstream>
#include <istream>
#include <nlohmann/json.hpp>
#include <optional>

namespace orsa::sim {

namespace {

constexpr int kFormat = 1;  // the recorder's "orsa_session"

std::optional<std::vector<std::uint8_t>> bytesOfHex(const std::string& text) {
  if (text.size() % 2 != 0) return std::nullopt;
  const auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = digit(text[i]);
    const int low = digit(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  return bytes;
}

std::string hexText(std::span<const std::uint8_t> bytes, std::size_t total) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (const std::uint8_t byte : bytes) {
    if (!text.empty()) text += ' ';
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  if (total > bytes.size()) text += " ...";
  return text + " (" + std::to_string(total) + (total == 1 ? " byte)" : " bytes)");
}

void checkHeader(const std::string& text) {
  const auto header = nlohmann::json::parse(text, nullptr, false);
  if (!header.is_object() || !header.contains("orsa_session")) {
    throw RecordingError(1, "not a recorded session (the first line has no \"orsa_session\")");
  }
  if (header["orsa_session"] != kFormat) {
    throw RecordingError(
        1, "recording format " + header["orsa_session"].dump() + " is not known (" + std::to_string(kFormat) + " is)");
  }
}

}  // namespace

RecordingError::RecordingError(std::size_t line, const std::string& why)
    : std::runtime_error("line " + std::to_string(line) + ": " + why), line_(line) {}

std::vector<RecordedExchange> parseRecording(std::istream& in) {
  std::vector<RecordedExchange> exchanges;
  std::string text;
  std::size_t line = 0;
  double lastSentMs = 0;
  while (std::getline(in, text)) {
    ++line;
    if (line == 1) {
      checkHeader(text);
      continue;
    }
    const auto entry = nlohmann::json::parse(text, nullptr, false);
    if (!entry.is_object()) throw RecordingError(line, "not a JSON object");
    const auto time = entry.find("t_ms");
    if (time == entry.end() || !time->is_number() || time->get<double>() < 0) {
      throw RecordingError(line, "no time (\"t_ms\", milliseconds from the start)");
    }
    const bool sent = entry.contains("sent");
    const bool received = entry.contains("received");
    if (sent == received) throw RecordingError(line, "needs one of \"sent\" and \"received\"");
    const auto& hex = entry[sent ? "sent" : "received"];
    const auto bytes = hex.is_string() ? bytesOfHex(hex.get<std::string>()) : std::nullopt;
    if (!bytes) throw RecordingError(line, "the bytes are not hex digits in pairs");
    const double ms = time->get<double>();
    if (sent && !bytes->empty()) {
      exchanges.push_back({*bytes, line, {}});
      lastSentMs = ms;
    } else if (!sent && !exchanges.empty() && !bytes->empty()) {
      const auto after = std::chrono::microseconds(static_cast<std::int64_t>(std::max(0.0, ms - lastSentMs) * 1000.0));
      exchanges.back().answers.push_back({after, *bytes});
    }
  }
  if (line == 0) throw RecordingError(1, "the file is empty");
  return exchanges;
}

std::vector<RecordedExchange> readRecording(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open the file");
  return parseRecording(in);
}

SessionReplay::SessionReplay(std::vector<RecordedExchange> exchanges) : exchanges_(std::move(exchanges)) {}

void SessionReplay::receive(std::span<const std::uint8_t> bytes, Clock::time_point now, std::deque<Output>& outputs,
                            std::vector<std::string>& reports) {
  lastInput_ = now;
  for (const std::uint8_t byte : bytes) {
    if (next_ == exchanges_.size()) {
      keepUnexpected(byte);
      continue;
    }
    const RecordedExchange& expected = exchanges_[next_];
    if (byte != expected.sent[pending_.size()]) {
      setAside();
      // The byte that broke the match may begin the expected block afresh.
      if (byte != expected.sent.front()) {
        keepUnexpected(byte);
        continue;
      }
    }
    // The recording timed its answers from the moment the program began the block, so the replay
    // does too: a block read in pieces under load adds no delay of its own.
    if (pending_.empty()) blockStarted_ = now;
    pending_.push_back(byte);
    if (pending_.size() == expected.sent.size()) {
      if (unexpectedCount_ > 0) reports.push_back(report());
      for (const RecordedAnswer& answer : expected.answers) {
        outputs.push_back({blockStarted_ + answer.after, answer.bytes});
      }
      pending_.clear();
      ++next_;
    }
  }
}

SessionReplay::Clock::time_point SessionReplay::nextCheck() const {
  if (pending_.empty() && unexpectedCount_ == 0) return Clock::time_point::max();
  return lastInput_ + kQuietPeriod;
}

std::string SessionReplay::idle(Clock::time_point now) {
  if (now < nextCheck()) return {};
  setAside();
  return report();
}

void SessionReplay::setAside() {
  for (const std::uint8_t byte : pending_) keepUnexpected(byte);
  pending_.clear();
}

void SessionReplay::keepUnexpected(std::uint8_t byte) {
  if (unexpected_.size() < kReportedBytes) unexpected_.push_back(byte);
  ++unexpectedCount_;
}

std::string SessionReplay::report() {
  std::string text = "no answer to " + hexText(unexpected_, unexpectedCount_) + ": ";
  if (next_ == exchanges_.size()) {
    text += "the recording has nothing more";
  } else {
    const RecordedExchange& expected = exchanges_[next_];
    const std::size_t shown = std::min(expected.sent.size(), kReportedBytes);
    text += "the recording expects " + hexText(std::span(expected.sent).first(shown), expected.sent.size()) +
            " next (line " + std::to_string(expected.line) + ")";
  }
  unexpected_.clear();
  unexpectedCount_ = 0;
  return text;
}

}  // namespace orsa::sim
