#pragma once

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace orsa::testing {

// A program run as a child process, its standard output and error on pipes. Killed and reaped when
// the object goes, so a failing test leaves no process behind.
class ChildProcess {
 public:
  // `errorTerminal`: the path of a pseudo-terminal's slave that standard error goes to instead of its
  // pipe, for a program that behaves otherwise at a terminal; errorOutput() is empty then.
  ChildProcess(const std::string& program, std::vector<std::string> args, const std::string& errorTerminal = {}) {
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    if (::pipe2(err, O_CLOEXEC) != 0) {
      closeBoth(out);
      throw std::runtime_error("pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    if (errorTerminal.empty()) {
      posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    } else {
      posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorTerminal.c_str(), O_RDWR | O_NOCTTY, 0);
    }
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const int spawned = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
    if (spawned != 0) {
      pid_ = -1;
      closeAll();
      throw std::runtime_error("cannot start " + program);
    }
    // By its number: Debian 12's <sys/pidfd.h> declares pidfd_open without C linkage.
    exited_ = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
    if (exited_ < 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
      closeAll();
      throw std::runtime_error("pidfd_open");
    }
  }
  ~ChildProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    closeAll();
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The next line of standard output without its newline; empty when none came within `timeout`
  // or the output ended first.
  std::string readLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string line;
    char c = 0;
    while (readByteBefore(deadline, &c)) {
      if (c == '\n') return line;
      line += c;
    }
    return {};
  }

  // Safe from any thread, and after the exit too: it goes through the process descriptor, which
  // stays open until the object goes, so it never reaches a reaped process or a reused pid.
  void signal(int number) const { ::syscall(SYS_pidfd_send_signal, exited_, number, nullptr, 0); }

  // The exit status, or -1 when the process did not exit normally within `timeout`.
  int waitForExit(std::chrono::milliseconds timeout) {
    if (pid_ > 0) {
      pollfd exited{exited_, POLLIN, 0};
      if (::poll(&exited, 1, static_cast<int>(timeout.count())) <= 0) return -1;
      int status = 0;
      if (::waitpid(pid_, &status, 0) != pid_) return -1;
      pid_ = -1;
      exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return exitStatus_;
  }

  // What the process has written so far: everything, once it has exited.
  std::string standardOutput() { return drain(out_); }
  std::string errorOutput() { return drain(err_); }

 private:
  bool readByteBefore(std::chrono::steady_clock::time_point deadline, char* c) const {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd readable{out_, POLLIN, 0};
    return ::poll(&readable, 1, static_cast<int>(std::max<long long>(left.count(), 0))) > 0 && ::read(out_, c, 1) == 1;
  }

  // Reads until the pipe ends or stays empty for 100 ms.
  static std::string drain(int fd) {
    std::string text;
    pollfd readable{fd, POLLIN, 0};
    while (::poll(&readable, 1, 100) > 0) {
      char buffer[4096];
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n <= 0) break;
      text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
  }

  static void closeBoth(int (&fds)[2]) {
    ::close(fds[0]);
    ::close(fds[1]);
  }
  void closeAll() {
    for (int fd : {out_, err_, exited_}) {
      if (fd >= 0) ::close(fd);
    }
  }

  pid_t pid_ = -1;
  int out_ = -1;
  int err_ = -1;
  int exited_ = -1;  // a pidfd: readable once the process has exited
  int exitStatus_ = -1;
};

}  // namespace orsa::testing
