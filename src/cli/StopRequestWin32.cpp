// The console's Ctrl-C and Ctrl-Break (and closing the console window) set an event that the
// waiting thread watches; the handler itself does nothing else, as it runs on a thread of its own.
#include <windows.h>

#include <atomic>

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
};

StopRequest::StopRequest() : state_(std::make_unique<State>()) {
  state_->event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  stopEvent.store(state_->event);
  SetConsoleCtrlHandler(onConsoleControl, TRUE);
}

StopRequest::~StopRequest() {
  SetConsoleCtrlHandler(onConsoleControl, FALSE);
  stopEvent.store(nullptr);
  if (state_->event) CloseHandle(state_->event);
}

bool StopRequest::wait(std::optional<std::chrono::seconds> limit) {
  const DWORD milliseconds = limit ? static_cast<DWORD>(limit->count() * 1000) : INFINITE;
  return state_->event && WaitForSingleObject(state_->event, milliseconds) == WAIT_OBJECT_0;
}

}  // namespace orsa::cli
