#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace orsa::cli {

// The production line's record, one CSV row per beacon (RFC 4180: fields with a comma, a quote or a
// line break quoted, quotes doubled, rows ended by CR LF), in UTF-8. Rows are only ever appended: an
// earlier shift's rows are never rewritten, each row goes to the file in one write and is flushed
// before the next beacon, so a power cut costs at most the row being written.
class ResultLog {
 public:
  struct Row {
    std::string time;  // local, ISO 8601 with the UTC offset
    std::string port;
    std::string usbSerial;
    std::string imei;
    std::string operation;
    int status = 0;  // the exit status a single run would have had
    std::string result;
    double seconds = 0;
  };

  // Opens `path` for appending, made with a header row when new. Null, with `error` set, when it
  // cannot be.
  static std::unique_ptr<ResultLog> open(const std::string& path, std::string& error);
  ~ResultLog();
  ResultLog(const ResultLog&) = delete;
  ResultLog& operator=(const ResultLog&) = delete;

  // False, with `error` set, when the row did not reach the file whole.
  bool append(const Row& row, std::string& error);

  static std::string field(const std::string& text);

 private:
  ResultLog(std::FILE* file, std::string path) : file_(file), path_(std::move(path)) {}
  bool write(const std::string& text, std::string& error);

  std::FILE* file_;
  std::string path_;
};

// The time now as the log keeps it.
std::string localTimeText();

}  // namespace orsa::cli
