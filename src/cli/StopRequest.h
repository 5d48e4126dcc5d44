#pragma once

#include <chrono>
#include <memory>
#include <optional>

namespace orsa::cli {

// Ctrl-C (and on Linux a polite kill) ends a long-running command like its time running out, so
// the command still cleans up: links removed, the beacon's port released. Make it before any
// worker thread starts, and wait on the thread that made it. A stop is the whole process's: it ends
// the wait of every live request, on every thread, and a stop that came while a thread waited for
// none ends that thread's next wait. The platform's file (CMake picks it) says how it is caught.
class StopRequest {
 public:
  StopRequest();
  ~StopRequest();
  StopRequest(const StopRequest&) = delete;
  StopRequest& operator=(const StopRequest&) = delete;

  // Waits for a stop request, at most `limit` when given; true when one came that this thread has
  // not yet been told of. False once finish() was called, whatever came.
  bool wait(std::optional<std::chrono::milliseconds> limit);
  // Ends the wait under way, and every later one, with false: the work it waited on ended by
  // itself. Safe from any thread while the object lives.
  void finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace orsa::cli
