#include "cli/ProductionLine.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <string_view>
#include <thread>

#include "cli/ExitCode.h"
#include "cli/PortConsole.h"
#include "cli/StopRequest.h"

namespace orsa::cli {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kRedrawPeriod = 200ms;

// Columns are counted in characters, not bytes: results are Russian.
std::size_t width(const std::string& text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string padded(const std::string& text, std::size_t columns) {
  return text + std::string(columns > width(text) ? columns - width(text) : 0, ' ');
}

std::string secondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f с", seconds);
  return text;
}

void printTable(const std::vector<std::unique_ptr<PortRun>>& runs, const LineOptions& options, std::ostream& out) {
  const std::vector<std::string> header{"порт", "IMEI", "результат", "время"};
  std::vector<std::vector<std::string>> rows;
  rows.reserve(runs.size());
  for (const auto& run : runs) {
    rows.push_back(
        {run->port, run->imei.empty() ? "—" : run->imei, resultOf(*run, options), secondsText(run->seconds)});
  }
  std::vector<std::size_t> columns(header.size());
  for (std::size_t c = 0; c < header.size(); ++c) {
    columns[c] = width(header[c]);
    for (const auto& row : rows) columns[c] = std::max(columns[c], width(row[c]));
  }
  const auto print = [&](const std::vector<std::string>& row) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c)
      line += (c ? "  " : "") + padded(row[c], c + 1 < row.size() ? columns[c] : 0);
    out << line << '\n';
  };
  print(header);
  for (const auto& row : rows) print(row);
}

void printJson(const std::vector<std::unique_ptr<PortRun>>& runs, const LineOptions& options, std::ostream& out) {
  nlohmann::ordered_json table = nlohmann::ordered_json::array();
  for (const auto& run : runs) {
    nlohmann::ordered_json row;
    row["port"] = run->port;
    row["imei"] = run->imei.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(run->imei);
    row["ok"] = run->status == kExitSuccess;
    row["status"] = run->status;
    row["result"] = resultOf(*run, options);
    row["seconds"] = run->seconds;
    if (options.outputIsJson && run->status == kExitSuccess) {
      row["settings"] = nlohmann::ordered_json::parse(run->out.text(), nullptr, false);
    }
    table.push_back(std::move(row));
  }
  out << table.dump(2) << '\n';
}

// One line per port, drawn again in place: the port, then what its run shows now.
class LiveLines {
 public:
  LiveLines(std::ostream& err, bool enabled) : err_(err), enabled_(enabled) {}

  void draw(const std::vector<std::unique_ptr<PortRun>>& runs) {
    if (!enabled_) return;
    std::size_t portWidth = 0;
    for (const auto& run : runs) portWidth = std::max(portWidth, width(run->port));
    if (drawn_) err_ << "\x1b[" << runs.size() << 'A';
    for (const auto& run : runs)
      err_ << "\r\x1b[K" << padded(run->port, portWidth) << "  " << run->err.currentLine() << '\n';
    err_ << std::flush;
    drawn_ = true;
  }

 private:
  std::ostream& err_;
  bool enabled_;
  bool drawn_ = false;
};

}  // namespace

std::string resultOf(const PortRun& run, const LineOptions& options) {
  if (run.status != kExitSuccess) {
    // The table already says whose result it is: the program's name before each cause is noise there.
    std::string cause = run.err.lastLine();
    if (constexpr std::string_view prefix = "orsactl: "; cause.starts_with(prefix)) cause.erase(0, prefix.size());
    return cause;
  }
  if (!options.successText.empty()) return options.successText;
  return run.out.lastLine();
}

std::vector<std::unique_ptr<PortRun>> runPorts(const LineOptions& options, const CommandRun& run, std::ostream& err,
                                               bool interactive) {
  std::vector<std::unique_ptr<PortRun>> runs;
  for (const auto& port : options.ports) {
    runs.push_back(std::make_unique<PortRun>());
    runs.back()->port = port;
  }
  std::mutex lock;
  // Before the threads, which inherit the blocked signals: Ctrl-C then reaches every port's own stop,
  // which finishes the slot or block on the wire, instead of ending the program.
  StopRequest stopRequest;
  {
    std::vector<std::jthread> threads;
    threads.reserve(runs.size());
    for (auto& portRun : runs) {
      threads.emplace_back([&, current = portRun.get()] {
        const auto start = Clock::now();
        int status = kExitFailed;
        std::string imei;
        try {
          GlobalOptions global;
          global.port = current->port;
          global.trace = options.trace;
          CliContext context(global, current->out, current->err, nullptr, interactive);
          status = run(context);
          imei = context.imei;
        } catch (const std::exception& error) {  // one beacon's trouble must not end the others' runs
          current->err << error.what() << '\n';
        }
        const std::lock_guard guard(lock);
        current->status = status;
        current->imei = imei;
        current->seconds = std::chrono::duration<double>(Clock::now() - start).count();
        current->done = true;
        if (std::all_of(runs.begin(), runs.end(), [](const auto& r) { return r->done; })) stopRequest.finish();
      });
    }
    LiveLines live(err, interactive);
    // A stop needs nothing more here: it ends each port's run as well, and the line waits for them.
    for (bool allDone = false; !allDone;) {
      stopRequest.wait(kRedrawPeriod);
      const std::lock_guard guard(lock);
      allDone = std::all_of(runs.begin(), runs.end(), [](const auto& r) { return r->done; });
      live.draw(runs);
    }
  }
  return runs;
}

int runOnEveryPort(const LineOptions& options, const CommandRun& run, std::ostream& out, std::ostream& err,
                   bool interactive) {
  const auto runs = runPorts(options, run, err, interactive);
  if (options.json) {
    printJson(runs, options, out);
  } else {
    // What each run printed (a settings table, say) under its port, then the summary.
    for (const auto& portRun : runs) {
      const std::string text = portRun->out.text();
      if (text.empty() || (options.successText.empty() && text == portRun->out.lastLine() + '\n')) continue;
      out << "== " << portRun->port << '\n' << text << '\n';
    }
    printTable(runs, options, out);
  }
  const bool allOk = std::all_of(runs.begin(), runs.end(), [](const auto& r) { return r->status == kExitSuccess; });
  const bool noneReached =
      std::all_of(runs.begin(), runs.end(), [](const auto& r) { return r->status == kExitNotConnected; });
  const bool stopped = std::any_of(runs.begin(), runs.end(), [](const auto& r) { return r->status == kExitStopped; });
  if (allOk) return kExitSuccess;
  return stopped ? kExitStopped : noneReached ? kExitNotConnected : kExitFailed;
}

}  // namespace orsa::cli
