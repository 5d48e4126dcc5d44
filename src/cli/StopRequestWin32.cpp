// The console's Ctrl-C and Ctrl-Break (and closing the console window) count a stop and set the wake
// event of every live request; the handler itself does nothing else, as it runs on a thread of its
// own. The handler is installed while any request lives, so a stop is the whole process's, as on
// POSIX. finish() sets a second event the wait watches as well.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "cli/StopRequest.h"

namespace orsa::cli {

namespace {

std::mutex liveLock;
std::vector<HANDLE> liveWakes;  // each live request's wake event, under liveLock
std::atomic<unsigned> stopsTaken{0};
thread_local unsigned stopsSeen = 0;

BOOL WINAPI onConsoleControl(DWORD) {
  const std::lock_guard guard(liveLock);
  if (liveWakes.empty()) return FALSE;
  ++stopsTaken;
  for (const HANDLE wake : liveWakes) SetEvent(wake);
  return TRUE;
}

}  // namespace

struct StopRequest::State {
  HANDLE wake = nullptr;
  HANDLE finished = nullptr;
};

StopRequest::StopRequest() : state_(std::make_unique<State>()) {
  state_->wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  state_->finished = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!state_->wake) return;
  const std::lock_guard guard(liveLock);
  if (liveWakes.empty()) SetConsoleCtrlHandler(onConsoleControl, TRUE);
  liveWakes.push_back(state_->wake);
}

StopRequest::~StopRequest() {
  if (state_->wake) {
    const std::lock_guard guard(liveLock);
    liveWakes.erase(std::find(liveWakes.begin(), liveWakes.end(), state_->wake));
    if (liveWakes.empty()) SetConsoleCtrlHandler(onConsoleControl, FALSE);
    CloseHandle(state_->wake);
  }
  if (state_->finished) CloseHandle(state_->finished);
}

bool StopRequest::wait(std::optional<std::chrono::milliseconds> limit) {
  if (!state_->wake) return false;
  // The finish goes first: once the work has ended there is nothing left for a stop to cut short.
  const HANDLE events[] = {state_->finished, state_->wake};
  const DWORD count = state_->finished ? 2 : 1;
  const HANDLE* watched = state_->finished ? events : events + 1;
  const auto until = std::chrono::steady_clock::now() + limit.value_or(std::chrono::milliseconds(0));
  for (;;) {
    if (state_->finished && WaitForSingleObject(state_->finished, 0) == WAIT_OBJECT_0) return false;
    if (const unsigned taken = stopsTaken.load(); taken != stopsSeen) {
      stopsSeen = taken;
      return true;
    }
    DWORD milliseconds = INFINITE;
    if (limit) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now()).count();
      if (left <= 0) return false;
      // A DWORD of milliseconds lasts 49 days; INFINITE is one of them.
      milliseconds = static_cast<DWORD>(std::min<std::int64_t>(left, INFINITE - 1));
    }
    if (WaitForMultipleObjects(count, watched, FALSE, milliseconds) == WAIT_FAILED) return false;
  }
}

void StopRequest::finish() {
  if (state_->finished) SetEvent(state_->finished);
}

}  // namespace orsa::cli
