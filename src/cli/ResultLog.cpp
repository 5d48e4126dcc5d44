#include "cli/ResultLog.h"

#include "link/SystemReason.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <fstream>

namespace orsa::cli {

namespace {

constexpr const char* kHeader = "time,port,usb_serial,imei,operation,status,result,seconds";
// Larger than any row, so that a row leaves the buffer in one write.
constexpr std::size_t kRowBuffer = 64 * 1024;

// A row cut short by an earlier run that died mid-write must not run into the next one.
bool endsInLineBreak(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in || in.tellg() <= 0) return true;
  in.seekg(-1, std::ios::end);
  return in.get() == '\n';
}

}  // namespace

std::unique_ptr<ResultLog> ResultLog::open(const std::string& path, std::string& error) {
  const bool wholeRows = endsInLineBreak(path);
  std::FILE* file = std::fopen(path.c_str(), "ab");
  if (!file) {
    error = "не удалось открыть журнал " + path + ": " + link::systemReason(errno);
    return nullptr;
  }
  std::setvbuf(file, nullptr, _IOFBF, kRowBuffer);
  std::unique_ptr<ResultLog> log(new ResultLog(file, path));
  std::fseek(file, 0, SEEK_END);
  const bool isNew = std::ftell(file) == 0;
  if ((isNew && !log->write(std::string(kHeader) + "\r\n", error)) || (!wholeRows && !log->write("\r\n", error))) {
    return nullptr;
  }
  return log;
}

ResultLog::~ResultLog() { std::fclose(file_); }

std::string ResultLog::field(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

bool ResultLog::write(const std::string& text, std::string& error) {
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() || std::fflush(file_) != 0) {
    error = "не удалось дописать журнал " + path_ + ": " + link::systemReason(errno);
    return false;
  }
  return true;
}

bool ResultLog::append(const Row& row, std::string& error) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f", row.seconds);
  const std::string line = field(row.time) + ',' + field(row.port) + ',' + field(row.usbSerial) + ',' +
                           field(row.imei) + ',' + field(row.operation) + ',' + std::to_string(row.status) + ',' +
                           field(row.result) + ',' + seconds + "\r\n";
  return write(line, error);
}

std::string localTimeText() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  // Asked by the line's own thread alone, so the shared result of localtime is safe here.
  const std::tm* local = std::localtime(&now);
  char text[40];
  if (!local || std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", local) == 0) return {};
  return text;
}

}  // namespace orsa::cli
