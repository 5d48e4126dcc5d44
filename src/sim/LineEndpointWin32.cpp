// The line as a named pipe: the device is the pipe's server, a client opens it by name like a port.
// One instance, so one client at a time, as a serial port is. When a client closes, the endpoint
// waits for the next one; until then the device's output is lost, as on a line nobody listens to.
// Every request is overlapped, so the serving thread waits for input, for room for output and for
// a wake-up at once.
#include <windows.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <system_error>

#include "sim/LineEndpoint.h"

namespace orsa::sim {

namespace {

// The pipe's buffers each way: the client's firmware block of about 1 KB goes in one write.
constexpr DWORD kPipeBufferBytes = 16 * 1024;

[[noreturn]] void fail(const char* what) {
  throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

// Unique within the machine: the process's id and a count no endpoint of this process reuses, so a
// pulled-out beacon's name never leads to another beacon.
std::string newPipeName() {
  static std::atomic<unsigned> made{0};
  return "\\\\.\\pipe\\orsa-beacon-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++made);
}

}  // namespace

struct LineEndpoint::Line {
  HANDLE pipe = INVALID_HANDLE_VALUE;
  HANDLE wake = nullptr;        // auto-reset: one wake-up ends one wait
  HANDLE inputDone = nullptr;   // manual reset, as overlapped requests want: the connect or read request
  HANDLE outputDone = nullptr;  // the write request
  OVERLAPPED input{};           // a pending ConnectNamedPipe while listening, else a pending ReadFile
  OVERLAPPED output{};
  bool connected = false;
  bool broken = false;  // the pipe itself failed: the line is down, as after a hang-up
  bool inputPending = false;
  bool outputPending = false;
  std::array<std::uint8_t, kPipeBufferBytes> received{};
  std::size_t receivedHeld = 0;  // bytes the last read brought, from receivedTaken on
  std::size_t receivedTaken = 0;
  std::array<std::uint8_t, kPipeBufferBytes> sending{};  // the pending write's bytes

  ~Line() {
    close();
    for (HANDLE event : {wake, inputDone, outputDone}) {
      if (event != nullptr) CloseHandle(event);
    }
  }

  void close() {
    if (pipe == INVALID_HANDLE_VALUE) return;
    finishPending();
    DisconnectNamedPipe(pipe);
    CloseHandle(pipe);
    pipe = INVALID_HANDLE_VALUE;
    connected = false;
  }

  // Cancels what is pending and waits until the system is done with the requests' memory.
  void finishPending() {
    DWORD ignored = 0;
    if (inputPending) {
      CancelIoEx(pipe, &input);
      GetOverlappedResult(pipe, &input, &ignored, TRUE);
      inputPending = false;
    }
    if (outputPending) {
      CancelIoEx(pipe, &output);
      GetOverlappedResult(pipe, &output, &ignored, TRUE);
      outputPending = false;
    }
  }

  // Waits for the next client; false when the pipe itself failed.
  bool listen() {
    connected = false;
    receivedHeld = receivedTaken = 0;
    input = OVERLAPPED{};
    input.hEvent = inputDone;
    if (ConnectNamedPipe(pipe, &input)) {
      connected = true;  // the client came first
      return true;
    }
    switch (GetLastError()) {
      case ERROR_IO_PENDING:
        inputPending = true;
        return true;
      case ERROR_PIPE_CONNECTED:
        connected = true;
        return true;
      default:
        return false;
    }
  }

  // The client closed the port: the next one may come.
  bool clientLeft() {
    finishPending();
    DisconnectNamedPipe(pipe);
    broken = !listen();
    return !broken;
  }

  // Starts a read when the client is there and nothing is held or pending; false when the pipe failed.
  bool readAhead() {
    if (!connected || inputPending || receivedTaken < receivedHeld) return true;
    receivedHeld = receivedTaken = 0;
    input = OVERLAPPED{};
    input.hEvent = inputDone;
    if (ReadFile(pipe, received.data(), kPipeBufferBytes, nullptr, &input) || GetLastError() == ERROR_IO_PENDING) {
      inputPending = true;  // done or not, the result is collected like any other
      return true;
    }
    broken = !isClientGone(GetLastError()) || !clientLeft();
    return !broken;
  }

  // Collects a finished connect or read; false when the pipe failed.
  bool collectInput() {
    if (!inputPending) return true;
    DWORD transferred = 0;
    if (!GetOverlappedResult(pipe, &input, &transferred, FALSE)) {
      const DWORD error = GetLastError();
      if (error == ERROR_IO_INCOMPLETE) return true;
      inputPending = false;
      if (error == ERROR_PIPE_CONNECTED) {
        connected = true;
        return true;
      }
      broken = !isClientGone(error) || !clientLeft();
      return !broken;
    }
    inputPending = false;
    if (!connected) {
      connected = true;
    } else {
      receivedHeld = transferred;
      receivedTaken = 0;
    }
    return true;
  }

  // Brings the line up to date: a finished connect or read collected, the next read started. False
  // when the line is down.
  bool catchUp() { return pipe != INVALID_HANDLE_VALUE && !broken && collectInput() && readAhead(); }

  static bool isClientGone(DWORD error) {
    return error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED || error == ERROR_NO_DATA ||
           error == ERROR_OPERATION_ABORTED;
  }
};

LineEndpoint::LineEndpoint() : line_(std::make_unique<Line>()), portPath_(newPipeName()) {
  Line& line = *line_;
  line.wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  line.inputDone = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  line.outputDone = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (line.wake == nullptr || line.inputDone == nullptr || line.outputDone == nullptr) {
    fail("CreateEvent");
  }
  line.pipe =
      CreateNamedPipeA(portPath_.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                       PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
                       kPipeBufferBytes, kPipeBufferBytes, 0, nullptr);
  if (line.pipe == INVALID_HANDLE_VALUE) {
    fail("CreateNamedPipe");
  }
  if (!line.listen()) {
    fail("ConnectNamedPipe");
  }
}

LineEndpoint::~LineEndpoint() = default;

bool LineEndpoint::isHungUp() const { return line_->pipe == INVALID_HANDLE_VALUE; }

long LineEndpoint::readSome(std::span<std::uint8_t> buffer) {
  Line& line = *line_;
  if (!line.catchUp()) return -1;
  const std::size_t count = std::min(buffer.size(), line.receivedHeld - line.receivedTaken);
  std::copy_n(line.received.begin() + static_cast<std::ptrdiff_t>(line.receivedTaken), count, buffer.begin());
  line.receivedTaken += count;
  if (!line.readAhead()) return -1;
  return static_cast<long>(count);
}

long LineEndpoint::writeSome(std::span<const std::uint8_t> bytes) {
  Line& line = *line_;
  // A client that came since the last look is there for these bytes.
  if (!line.catchUp()) return -1;
  if (line.outputPending) {
    DWORD written = 0;
    if (!GetOverlappedResult(line.pipe, &line.output, &written, FALSE) && GetLastError() == ERROR_IO_INCOMPLETE) {
      return 0;  // the client's side is full
    }
    line.outputPending = false;  // done, or failed with the client gone, which the input side handles
  }
  if (!line.connected) return static_cast<long>(bytes.size());
  const std::size_t count = std::min<std::size_t>(bytes.size(), kPipeBufferBytes);
  std::copy_n(bytes.begin(), count, line.sending.begin());
  line.output = OVERLAPPED{};
  line.output.hEvent = line.outputDone;
  if (WriteFile(line.pipe, line.sending.data(), static_cast<DWORD>(count), nullptr, &line.output) ||
      GetLastError() == ERROR_IO_PENDING) {
    line.outputPending = true;
  }
  // A write that failed outright found the client gone: its bytes are lost with it.
  return static_cast<long>(count);
}

void LineEndpoint::wait(bool forOutput, std::optional<Clock::time_point> deadline) {
  Line& line = *line_;
  const bool up = line.catchUp();
  if (!isHungUp() && (!up || line.receivedTaken < line.receivedHeld)) {
    return;  // input is waiting, or the line failed: readSome() tells which
  }
  HANDLE events[3] = {line.wake};
  DWORD count = 1;
  if (up && line.inputPending) events[count++] = line.inputDone;
  if (up && forOutput && line.outputPending) events[count++] = line.outputDone;
  DWORD timeout = INFINITE;
  if (deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
    timeout = static_cast<DWORD>(std::clamp<long long>(left, 0, INFINITE - 1));
  }
  WaitForMultipleObjects(count, events, FALSE, timeout);
}

void LineEndpoint::wake() const { SetEvent(line_->wake); }

void LineEndpoint::hangUp() { line_->close(); }

// Windows times waits in whole milliseconds; a throttled line releases what its time allows at
// each wake-up, so coarser wake-ups make its output burstier, never slower.
void useFineTimers() {}

}  // namespace orsa::sim
