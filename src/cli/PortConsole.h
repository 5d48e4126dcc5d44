#pragma once

#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>

namespace orsa::cli {

// The output of one beacon's run while several run at once: written by that run's threads, read
// by the one that draws the screen. It behaves like a terminal line: a carriage return starts the
// line over (a progress bar redrawing itself), a line feed keeps the line, so what stays at the end
// is the text without the bars.
class PortConsole final : public std::ostream {
 public:
  PortConsole() : std::ostream(&buffer_) {}

  std::string text() const;         // every kept line, each with its line feed
  std::string lastLine() const;     // the last kept line
  std::string currentLine() const;  // what the unfinished line shows now, else the last kept one

 private:
  class Buffer final : public std::streambuf {
   public:
    mutable std::mutex lock;
    std::string kept;
    std::string line;

   private:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char* s, std::streamsize count) override;
    void put(char ch);
  };

  Buffer buffer_;
};

}  // namespace orsa::cli
