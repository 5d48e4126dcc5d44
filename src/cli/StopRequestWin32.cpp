// The console's Ctrl-C and Ctrl-Break (and closing the console window) set an event that the
// waiting thread watches; the handler itself does nothing else, as it runs on a thread of its own.
// finish() sets a second event the wait watches as well.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>

#include "cli/StopRequest.h"

namespace orsa::cli {

namespace {

std::atomic<HANDLE> stopEvent{nullptr};

BOOL WINAPI onConsoleControl(DWORD) {
  if (HANDLE event = stopEvent.load()) {
    SetEvent(event);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

struct StopRequest::State {
  HANDLE event = nullptr;
  HANDLE finished = nullptr;
};

StopRequest::StopRequest() : state_(std::make_unique<State>()) {
  // Reset by the wait that takes it, so a second Ctrl-C is a second stop request, as on POSIX.
  state_->event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  state_->finished = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  stopEvent.store(state_->event);
  SetConsoleCtrlHandler(onConsoleControl, TRUE);
}

StopRequest::~StopRequest() {
  SetConsoleCtrlHandler(onConsoleControl, FALSE);
  stopEvent.store(nullptr);
  if (state_->event) CloseHandle(state_->event);
  if (state_->finished) CloseHandle(state_->finished);
}

bool StopRequest::wait(std::optional<std::chrono::seconds> limit) {
  if (!state_->event) return false;
  // The finish goes first: once the work has ended there is nothing left for a stop to cut short.
  const HANDLE events[] = {state_->finished, state_->event};
  const DWORD count = state_->finished ? 2 : 1;
  const HANDLE* watched = state_->finished ? events : events + 1;
  // A DWORD of milliseconds lasts 49 days, less than the longest limit; INFINITE is one of them.
  constexpr std::uint64_t kLongestWait = INFINITE - 1;
  std::uint64_t left = limit ? static_cast<std::uint64_t>(limit->count()) * 1000 : 0;
  for (;;) {
    const DWORD milliseconds = limit ? static_cast<DWORD>(std::min(left, kLongestWait)) : INFINITE;
    const DWORD woken = WaitForMultipleObjects(count, watched, FALSE, milliseconds);
    if (woken != WAIT_TIMEOUT) return woken == WAIT_OBJECT_0 + count - 1;
    left -= milliseconds;
    if (left == 0) return false;
  }
}

void StopRequest::finish() {
  if (state_->finished) SetEvent(state_->finished);
}

}  // namespace orsa::cli
