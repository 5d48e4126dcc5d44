// The Win32 serial backend. Our own rather than a library's because the channel's contract is
// exact: exclusive open, no DTR/RTS, a reader that blocks in the driver and can be woken at once
// for a clean stop. The handle is overlapped, so the reader's WaitCommEvent and the writer's
// WriteFile proceed side by side, and each blocking wait also watches a wake event: close() then
// cancels the pending request (CancelIoEx) instead of waiting out a read or write time-out.
// A named pipe's name is taken as a port too, as virtual machines offer their COM ports (and as
// the simulated beacon offers itself on Windows): no line settings, and the reader blocks in a
// one-byte read, as on a driver that reports no events.
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "link/SerialPort.h"

namespace orsa::link {

namespace {

// Driver queues each way: a firmware block with its header goes out in one write.
constexpr DWORD kDriverQueueBytes = 10000;

// The system's text in UTF-8, as every message of the program is (the ANSI text would be
// Windows-1251 on a Russian system).
std::string systemMessage(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message;
  if (length > 0) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    message.resize(static_cast<std::size_t>(bytes));
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), message.data(), bytes, nullptr, nullptr);
  }
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.')) {
    message.pop_back();
  }
  return message.empty() ? "ошибка " + std::to_string(error) : message;
}

// One line a person can act on; shown after "Устройство не подключено".
std::string openFailure(const std::string& portName, DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return "порт " + portName + " не найден";
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_PIPE_BUSY:
      return "порт " + portName + " занят другой программой";
    default:
      return "не удалось открыть порт " + portName + ": " + systemMessage(error);
  }
}

bool isPipe(const std::string& path) {
  const std::string prefix = "\\\\.\\pipe\\";
  return path.size() > prefix.size() &&
         CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path.c_str(), static_cast<int>(prefix.size()),
                        prefix.c_str(), static_cast<int>(prefix.size())) == CSTR_EQUAL;
}

// A pipe whose server is between two clients is busy for a moment; one that stays busy is held.
constexpr DWORD kPipeBusyWaitMs = 1000;
// A purge's read of bytes a pipe reported as waiting completes at once; this bounds it all the same.
constexpr DWORD kPurgeReadLimitMs = 100;

HANDLE openExclusive(const std::string& portName, std::string& error) {
  const std::string path = devicePathFor(portName);
  const auto open = [&] {
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                       nullptr);
  };
  HANDLE handle = open();
  if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PIPE_BUSY && isPipe(path) &&
      WaitNamedPipeA(path.c_str(), kPipeBusyWaitMs)) {
    handle = open();
  }
  if (handle == INVALID_HANDLE_VALUE) error = openFailure(portName, GetLastError());
  return handle;
}

// 9600 8-N-1 in binary mode; DTR and RTS are left undriven and nothing controls the flow. The
// remaining fields keep what the driver reported.
bool configureLine(HANDLE handle, std::string& error) {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(handle, &dcb)) {
    error = "не удалось прочитать настройки линии: " + systemMessage(GetLastError());
    return false;
  }
  dcb.BaudRate = CBR_9600;
  dcb.fBinary = TRUE;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDtrControl = DTR_CONTROL_DISABLE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fNull = FALSE;
  dcb.fRtsControl = RTS_CONTROL_DISABLE;
  dcb.fAbortOnError = FALSE;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  if (!SetCommState(handle, &dcb)) {
    error = "не удалось применить настройки линии: " + systemMessage(GetLastError());
    return false;
  }
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = 100;
  timeouts.ReadTotalTimeoutMultiplier = 100;
  timeouts.ReadTotalTimeoutConstant = 100;
  timeouts.WriteTotalTimeoutMultiplier = 100;
  timeouts.WriteTotalTimeoutConstant = 100;
  if (!SetCommTimeouts(handle, &timeouts)) {
    error = "не удалось задать тайм-ауты порта: " + systemMessage(GetLastError());
    return false;
  }
  return true;
}

class Win32SerialPort final : public SerialPort {
 public:
  Win32SerialPort(HANDLE handle, bool pipe, std::array<HANDLE, 4> events)
      : handle_(handle),
        pipe_(pipe),
        wakeEvent_(events[0]),
        readEvent_(events[1]),
        writeEvent_(events[2]),
        purgeEvent_(events[3]),
        eventsWork_(!pipe) {}
  ~Win32SerialPort() override {
    CloseHandle(handle_);
    CloseHandle(wakeEvent_);
    CloseHandle(readEvent_);
    CloseHandle(writeEvent_);
    CloseHandle(purgeEvent_);
  }
  Win32SerialPort(const Win32SerialPort&) = delete;
  Win32SerialPort& operator=(const Win32SerialPort&) = delete;

  WaitResult waitReadable() override {
    for (;;) {
      if (holdsCarriedByte()) return WaitResult::Readable;
      const long waiting = queuedForReading();
      if (waiting < 0) return WaitResult::LineDown;
      if (waiting > 0) return WaitResult::Readable;
      if (WaitForSingleObject(wakeEvent_, 0) == WAIT_OBJECT_0) return WaitResult::Woken;
      const Completion completion = eventsWork_ ? waitForEvent() : waitForFirstByte();
      switch (completion) {
        case Completion::Done:
        case Completion::Aborted:  // the event mask was reset or a purge came under the wait; look again
          continue;
        case Completion::Woken:
          return WaitResult::Woken;
        case Completion::TimedOut:
        case Completion::Failed:
          // A driver that cannot wait for events (wine's COM port on a pseudo-terminal fails the
          // wait for want of modem lines) is still a working line: the reader then blocks in a
          // one-byte read instead. Only a port that no longer answers at all is gone.
          if (!eventsWork_ || queuedForReading() < 0) return WaitResult::LineDown;
          eventsWork_ = false;
          continue;
      }
    }
  }

  std::ptrdiff_t readAvailable(std::span<std::uint8_t> into) override {
    if (into.empty()) return 0;
    const std::size_t carried = takeCarriedByte(into[0]) ? 1 : 0;
    const std::ptrdiff_t read = readQueued(into.subspan(carried));
    if (read < 0) return carried > 0 ? static_cast<std::ptrdiff_t>(carried) : -1;
    return static_cast<std::ptrdiff_t>(carried) + read;
  }

  bool writeAll(std::span<const std::uint8_t> bytes, std::chrono::milliseconds stallLimit) override {
    OVERLAPPED request{};
    request.hEvent = writeEvent_;
    DWORD written = 0;
    const auto count = static_cast<DWORD>(bytes.size());
    if (!WriteFile(handle_, bytes.data(), count, &written, &request)) {
      if (GetLastError() != ERROR_IO_PENDING) return false;
      // The write may take as long as the line needs; it has stalled only when the driver's
      // transmit queue did not shrink for a whole stall limit.
      DWORD lastQueued = MAXDWORD;
      for (;;) {
        const Completion completion =
            finish(request, writeEvent_, static_cast<DWORD>(stallLimit.count()), written, true);
        if (completion == Completion::Done) break;
        if (completion != Completion::TimedOut) return false;
        COMSTAT status{};
        DWORD errors = 0;
        if (!ClearCommError(handle_, &errors, &status) || status.cbOutQue >= lastQueued) {
          cancel(request);
          return false;
        }
        lastQueued = status.cbOutQue;
      }
    }
    return written == count;
  }

  void purge(bool receive, bool transmit) override {
    DWORD flags = 0;
    if (receive) flags |= PURGE_RXCLEAR;
    if (transmit) flags |= PURGE_TXCLEAR;
    std::lock_guard lock(carryLock_);
    if (receive) {
      // A one-byte read still pending would take the new reply's first byte as a stale one, so it
      // is cancelled here; not every driver honours PURGE_RXABORT (wine's does not).
      if (pendingByteRead_ != nullptr) CancelIoEx(handle_, pendingByteRead_);
      carried_.reset();
      ++purges_;
      if (pipe_) discardQueued();
    }
    if (flags != 0 && !pipe_) PurgeComm(handle_, flags);
  }

  void wake() override { SetEvent(wakeEvent_); }

 private:
  enum class Completion { Done, Aborted, Woken, TimedOut, Failed };

  Completion waitForEvent() {
    OVERLAPPED request{};
    request.hEvent = readEvent_;
    DWORD events = 0;
    if (WaitCommEvent(handle_, &events, &request)) return Completion::Done;  // a byte came meanwhile
    if (GetLastError() != ERROR_IO_PENDING) return Completion::Failed;
    DWORD ignored = 0;
    return finish(request, readEvent_, INFINITE, ignored);
  }

  // Blocks in the driver until a byte comes (kept for readAvailable) or the read time-outs end an
  // idle read, at most a few times a second. A purge cancels the read, so a byte that a read begun
  // before a purge took anyway was taken before it, and is dropped as stale.
  Completion waitForFirstByte() {
    OVERLAPPED request{};
    request.hEvent = readEvent_;
    std::uint8_t byte = 0;
    DWORD read = 0;
    std::uint64_t purgesBefore = 0;
    bool pending = false;
    {
      std::lock_guard lock(carryLock_);
      purgesBefore = purges_;
      if (!ReadFile(handle_, &byte, 1, &read, &request)) {
        if (GetLastError() != ERROR_IO_PENDING) return Completion::Failed;
        pendingByteRead_ = &request;
        pending = true;
      }
    }
    Completion completion = Completion::Done;
    if (pending) completion = finish(request, readEvent_, INFINITE, read);
    std::lock_guard lock(carryLock_);
    pendingByteRead_ = nullptr;  // the request on this stack is over
    if (completion == Completion::Done && read == 1 && purges_ == purgesBefore) carried_ = byte;
    return completion;
  }

  bool holdsCarriedByte() {
    std::lock_guard lock(carryLock_);
    return carried_.has_value();
  }

  bool takeCarriedByte(std::uint8_t& into) {
    std::lock_guard lock(carryLock_);
    if (!carried_) return false;
    into = *carried_;
    carried_.reset();
    return true;
  }

  // What the driver holds, without blocking: the byte count, 0 for none, -1 when the line is down.
  std::ptrdiff_t readQueued(std::span<std::uint8_t> into) {
    const long waiting = queuedForReading();
    if (waiting <= 0 || into.empty()) return waiting < 0 ? -1 : 0;
    const auto count = static_cast<DWORD>(std::min<std::size_t>(static_cast<std::size_t>(waiting), into.size()));
    OVERLAPPED request{};
    request.hEvent = readEvent_;
    DWORD read = 0;
    if (!ReadFile(handle_, into.data(), count, &read, &request)) {
      if (GetLastError() != ERROR_IO_PENDING) return -1;
      // The bytes were reported as waiting, so this completes at once unless a purge took them;
      // then the read time-outs end it, or a stop does.
      const Completion completion = finish(request, readEvent_, INFINITE, read);
      if (completion == Completion::Failed) return -1;
      if (completion != Completion::Done) return 0;
    }
    return static_cast<std::ptrdiff_t>(read);
  }

  // A pipe has no driver queue to purge: what it holds is read and dropped. The purge comes from
  // the thread that sends, beside the reader and the writer, so it has an event of its own; the
  // bytes were reported as there, and a read that still waits after a moment is given up.
  void discardQueued() {
    std::array<std::uint8_t, 4096> scratch{};
    for (long waiting = queuedForReading(); waiting > 0; waiting = queuedForReading()) {
      OVERLAPPED request{};
      request.hEvent = purgeEvent_;
      DWORD read = 0;
      const auto count = static_cast<DWORD>(std::min<std::size_t>(static_cast<std::size_t>(waiting), scratch.size()));
      if (!ReadFile(handle_, scratch.data(), count, &read, &request)) {
        if (GetLastError() != ERROR_IO_PENDING) return;
        if (WaitForSingleObject(purgeEvent_, kPurgeReadLimitMs) != WAIT_OBJECT_0) {
          cancel(request);
          return;
        }
        if (!GetOverlappedResult(handle_, &request, &read, FALSE) || read == 0) return;
      }
    }
  }

  // Bytes the driver holds for us, clearing any line error (framing, overrun, parity) on the way;
  // -1 when the device is gone.
  long queuedForReading() {
    if (pipe_) {
      DWORD waiting = 0;
      return PeekNamedPipe(handle_, nullptr, 0, nullptr, &waiting, nullptr) ? static_cast<long>(waiting) : -1;
    }
    COMSTAT status{};
    DWORD errors = 0;
    if (!ClearCommError(handle_, &errors, &status)) return -1;
    return static_cast<long>(status.cbInQue);
  }

  // Waits for a pending request, for the wake event, or for `limit`; `transferred` gets the byte
  // count of a request that is done. A wake-up cancels the request and waits for the cancellation,
  // so the OVERLAPPED on the caller's stack is never written after the caller returns. With
  // `keepOnTimeout` a time-out leaves the request pending. The reader and the writer call this at
  // the same time, so it keeps nothing in the object.
  Completion finish(OVERLAPPED& request, HANDLE done, DWORD limit, DWORD& transferred, bool keepOnTimeout = false) {
    const HANDLE events[2] = {done, wakeEvent_};
    const DWORD signalled = WaitForMultipleObjects(2, events, FALSE, limit);
    if (signalled == WAIT_OBJECT_0 + 1) {
      cancel(request);
      return Completion::Woken;
    }
    if (signalled == WAIT_TIMEOUT && keepOnTimeout) return Completion::TimedOut;
    if (signalled != WAIT_OBJECT_0) {
      cancel(request);
      return signalled == WAIT_TIMEOUT ? Completion::TimedOut : Completion::Failed;
    }
    if (GetOverlappedResult(handle_, &request, &transferred, FALSE)) return Completion::Done;
    return GetLastError() == ERROR_OPERATION_ABORTED ? Completion::Aborted : Completion::Failed;
  }

  void cancel(OVERLAPPED& request) {
    CancelIoEx(handle_, &request);
    DWORD ignored = 0;
    GetOverlappedResult(handle_, &request, &ignored, TRUE);
  }

  HANDLE handle_;
  const bool pipe_;
  HANDLE wakeEvent_;   // manual reset: once set, every later wait returns at once
  HANDLE readEvent_;   // the reader thread's requests
  HANDLE writeEvent_;  // the writer thread's requests
  HANDLE purgeEvent_;  // a purge's reads of a pipe
  bool eventsWork_;    // the driver reports arriving bytes as events; the reader's own
  // The byte a one-byte read took, for readAvailable, and the purges so far; a purge comes from
  // the writing thread while the reader waits.
  std::mutex carryLock_;
  std::optional<std::uint8_t> carried_;
  std::uint64_t purges_ = 0;
  OVERLAPPED* pendingByteRead_ = nullptr;
};

}  // namespace

std::string devicePathFor(const std::string& portName) {
  // "COM10" and above open only through the device namespace, and so does every other name.
  if (portName.empty() || portName.starts_with("\\\\")) return portName;
  return "\\\\.\\" + portName;
}

OpenResult openSerialPort(const std::string& portName) {
  OpenResult result;
  if (portName.empty()) {
    result.error = "порт не выбран";
    return result;
  }
  HANDLE handle = openExclusive(portName, result.error);
  if (handle == INVALID_HANDLE_VALUE) return result;
  const bool pipe = isPipe(devicePathFor(portName));
  if (!pipe && !configureLine(handle, result.error)) {
    result.error = portName + ": " + result.error;
    CloseHandle(handle);
    return result;
  }
  if (!pipe) {
    SetupComm(handle, kDriverQueueBytes, kDriverQueueBytes);
    PurgeComm(handle, PURGE_RXCLEAR);
  }
  std::array<HANDLE, 4> events{};
  for (HANDLE& event : events) event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if ((!pipe && !SetCommMask(handle, EV_RXCHAR)) || std::ranges::find(events, nullptr) != events.end()) {
    result.error = portName + ": " + systemMessage(GetLastError());
    for (HANDLE event : events) {
      if (event) CloseHandle(event);
    }
    CloseHandle(handle);
    return result;
  }
  result.port = std::make_unique<Win32SerialPort>(handle, pipe, events);
  return result;
}

std::string probeSerialPort(const std::string& portName) {
  if (portName.empty()) return "порт не выбран";
  std::string error;
  HANDLE handle = openExclusive(portName, error);
  if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  return error;
}

}  // namespace orsa::link
