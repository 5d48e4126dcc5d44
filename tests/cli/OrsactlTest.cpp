#include "cli/Orsactl.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cli/Command.h"
#include "orsa/Version.h"
#include "settings/SlotId.h"
#include "sim/SimulatedBeacon.h"

namespace orsa::cli {
namespace {

namespace fs = std::filesystem;
using settings::SlotId;
using Cells = std::vector<std::array<std::uint8_t, 32>>;

class MapWith final : public link::SerialPortMap {
 public:
  explicit MapWith(std::vector<Entry> entries) : entries_(std::move(entries)) {}
  std::vector<Entry> entries() const override { return entries_; }
  std::string candidateMarker() const override { return "cdc_acm"; }

 private:
  std::vector<Entry> entries_;
};

struct ToolRun {
  int status;
  std::string out;
  std::string err;
};

class Orsactl : public ::testing::Test {
 protected:
  void TearDown() override { fs::remove_all(dir); }

  // Runs the tool with the simulated beacon as the one USB serial device, so the automatic choice finds it.
  ToolRun run(std::vector<std::string> args, bool beaconPresent = true) {
    std::ostringstream out, err;
    std::vector<link::SerialPortMap::Entry> entries;
    if (beaconPresent) entries.push_back({"cdc_acm", beacon.portPath()});
    int status = runOrsactl(args, out, err, std::make_unique<MapWith>(entries));
    return {status, out.str(), err.str()};
  }
  std::string file(const std::string& name) {
    fs::create_directories(dir);
    return (dir / name).string();
  }
  static std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  void setCell(SlotId slot, std::string_view text) { beacon.setSettingsCell(settings::parameterOf(slot), text); }
  // The beacon's 29 cells, in record order.
  Cells cells() const {
    Cells all;
    for (std::size_t i = 0; i < settings::kSlotCount; ++i) {
      all.push_back(beacon.settingsCell(settings::parameterOf(static_cast<SlotId>(i))));
    }
    return all;
  }
  std::size_t framesOfType(std::uint8_t type) const {
    auto trace = beacon.trace();
    return static_cast<std::size_t>(
        std::count_if(trace.begin(), trace.end(), [&](const sim::FrameRecord& frame) { return frame.type == type; }));
  }

  sim::SimulatedBeacon beacon;
  fs::path dir = fs::temp_directory_path() / ("orsactl-test-" + std::to_string(::getpid()));
};

TEST_F(Orsactl, PortsMarksTheAutomaticChoice) {
  ToolRun text = run({"ports"});
  EXPECT_EQ(text.status, 0);
  EXPECT_NE(text.out.find("* " + beacon.portPath()), std::string::npos) << text.out;
  ToolRun json = run({"ports", "--json"});
  EXPECT_NE(json.out.find("{\"port\": \"" + beacon.portPath() + "\", \"automatic\": true}"), std::string::npos)
      << json.out;
  ToolRun none = run({"ports"}, false);
  EXPECT_NE(none.out.find("no automatic choice"), std::string::npos);
}

TEST_F(Orsactl, RawSendsOneFrameAndPrintsTheReply) {
  beacon.setSettingsCell(0x080807E0, "866104023456789");
  ToolRun raw = run({"--trace", "raw", "1", "0x080807E0", "--expect", "32"});
  EXPECT_EQ(raw.status, 0) << raw.err;
  EXPECT_NE(raw.out.find("reply (32 bytes): 38 36 36"), std::string::npos) << raw.out;
  EXPECT_NE(raw.out.find("text: 866104023456789\\x00"), std::string::npos) << raw.out;
  EXPECT_NE(raw.err.find("-> 01 e0 07 08 08 00 00 00 00"), std::string::npos) << raw.err;
  auto trace = beacon.trace();
  ASSERT_EQ(trace.size(), 1u);
  EXPECT_EQ(trace[0].parameter, 0x080807E0u);

  EXPECT_EQ(run({"--port", beacon.portPath(), "raw", "3", "0", "--expect", "1"}).status, 0);  // powers the modem
  ToolRun data = run({"--port", beacon.portPath(), "raw", "8", "0", "41540d0a", "--expect", "9"});
  EXPECT_EQ(data.status, 0) << data.err;
  EXPECT_NE(data.out.find("text: AT\\r\\r\\nOK\\r\\n"), std::string::npos) << data.out;
}

TEST_F(Orsactl, ExitStatusTellsFailureUsageAndAbsence) {
  beacon.setFaults(sim::FaultPlan().dropReply(3, 1));
  ToolRun silent = run({"raw", "3", "0", "--expect", "1", "--timeout", "100"});
  EXPECT_EQ(silent.status, 1);
  EXPECT_NE(silent.err.find("no reply of 1 bytes within 100 ms"), std::string::npos) << silent.err;

  ToolRun absent = run({"raw", "3", "0"}, false);
  EXPECT_EQ(absent.status, 3);
  EXPECT_NE(absent.err.find("Устройство не подключено: маяк не найден"), std::string::npos) << absent.err;
  ToolRun missing = run({"--port", "/dev/ttyACM-gone", "read"});
  EXPECT_EQ(missing.status, 3);
  EXPECT_NE(missing.err.find("Устройство не подключено: порт /dev/ttyACM-gone не найден"), std::string::npos)
      << missing.err;

  EXPECT_EQ(run({"raw", "300", "0"}).status, 2);
  EXPECT_EQ(run({"raw", "3", "0", "zz"}).status, 2);
  EXPECT_EQ(run({"raw", "8", "0", std::string(5002, 'a')}).status, 2) << "more data than a frame holds";
  EXPECT_EQ(run({"frobnicate"}).status, 2);
  EXPECT_EQ(run({}).status, 2);
  EXPECT_EQ(run({"--help"}).status, 0);
}

TEST_F(Orsactl, HelpAndVersionGoToStandardOutputAndTouchNothing) {
  ToolRun help = run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.err.empty()) << help.err;
  for (const auto& command : commands()) {
    const std::string name = command.name;
    EXPECT_NE(help.out.find("  " + name + ' '), std::string::npos) << name << " is listed: " << help.out;
    ToolRun own = run({name, "--help"});
    EXPECT_EQ(own.status, 0) << name << ": " << own.err;
    EXPECT_NE(own.out.find("usage: orsactl " + name + ' ' + command.usage), std::string::npos) << own.out;
  }
  EXPECT_NE(run({"write", "--help"}).out.find("--set NAME=VALUE"), std::string::npos);
  EXPECT_EQ(run({"help"}).status, 0) << "as earlier releases took it";
  ToolRun version = run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("orsactl ") + kVersion + "\n");
  EXPECT_TRUE(beacon.trace().empty());
}

TEST_F(Orsactl, UsageErrorsNameTheOptionAndSendNothing) {
  struct Case {
    std::vector<std::string> args;
    const char* named;
  };
  const Case cases[] = {
      {{"raw", "256", "0"}, "TYPE"},
      {{"raw", "1", "0x100000000"}, "PARAM"},
      {{"raw", "1", "0", "--expect", "4096"}, "--expect"},
      {{"raw", "1", "0", "--timeout=-1"}, "--timeout"},
      {{"raw", "1", "0", "--expect"}, "--expect"},
      {{"nmea", "--seconds", "1e3"}, "--seconds"},
      {{"defaults", "--save", file("a.cfg"), "--save", file("b.cfg")}, "--save"},
      {{"show", file("a.cfg"), "--frobnicate"}, "--frobnicate"},
      {{"gnss-flash", "--loader", file("a.bin")}, "--firmware"},
  };
  for (const Case& usage : cases) {
    ToolRun refused = run(usage.args);
    EXPECT_EQ(refused.status, 2) << usage.named;
    EXPECT_NE(refused.err.find(usage.named), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("--help"), std::string::npos) << refused.err;
    EXPECT_TRUE(refused.out.empty()) << refused.out;
  }
  EXPECT_TRUE(beacon.trace().empty());
  EXPECT_FALSE(fs::exists(dir / "a.cfg"));

  // Numbers are decimal even with a leading zero, or hex; the global options may follow the command.
  EXPECT_EQ(run({"raw", "0X01", "010", "--port", beacon.portPath(), "--trace"}).status, 0);
  ASSERT_TRUE(beacon.waitForFrames(1, std::chrono::seconds(5)));  // nothing awaited: the tool may be gone first
  auto trace = beacon.trace();
  ASSERT_EQ(trace.size(), 1u);
  EXPECT_EQ(trace[0].type, 1u);
  EXPECT_EQ(trace[0].parameter, 10u);
}

TEST_F(Orsactl, FirmwareFlashesThePayload) {
  const std::string image = file("update.fmw");
  std::ofstream(image, std::ios::binary) << std::string(15, 'H') << std::string(3000, 'P');
  ToolRun flashed = run({"firmware", file("update")});
  EXPECT_EQ(flashed.status, 0) << flashed.err;
  EXPECT_NE(flashed.out.find("Прошивка успешно обновлена"), std::string::npos);
  EXPECT_EQ(beacon.flashImage(3000), std::vector<std::uint8_t>(3000, 'P'));

  ToolRun missing = run({"firmware", file("nothing.fmw")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("Ошибка открытия файла прошивки"), std::string::npos);
  EXPECT_EQ(run({"firmware", image}, false).status, 3);
}

TEST_F(Orsactl, GnssFlashPrintsItsStagesAndTheModuleHoldsBothFiles) {
  const std::string loader = file("loader.bin");
  const std::string firmware = file("gnss.bin");
  std::ofstream(loader, std::ios::binary) << std::string(11892, 'L');
  std::ofstream(firmware, std::ios::binary) << std::string(5000, 'F');
  ToolRun flashed = run({"gnss-flash", "--loader", loader, "--firmware", firmware});
  EXPECT_EQ(flashed.status, 0) << flashed.err;
  EXPECT_EQ(flashed.out,
            "Переход в режим программирования...\nПереключение скорости UART 115200...\nПодготовка GPS модуля...\n"
            "Запись загрузчика...\nПередача управления загрузчику...\nЗапись прошивки...\nПрошивка GPS модуля "
            "завершена\n");
  beacon.withGnssModule([](const sim::MtkGnssModule& module) {
    EXPECT_EQ(module.loader(), std::vector<std::uint8_t>(11892, 'L'));
    EXPECT_EQ(module.firmware(), std::vector<std::uint8_t>(5000, 'F'));
  });

  ToolRun missing = run({"gnss-flash", "--loader", file("none.bin"), "--firmware", firmware});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "Ошибка открытия файла загрузчика\n");
  EXPECT_EQ(run({"gnss-flash", "--loader", loader}).status, 2);
}

TEST_F(Orsactl, SettingsFilesAreCheckedBeforeUse) {
  const std::string saved = file("factory.cfg");
  ASSERT_EQ(run({"defaults", "--save", saved}).status, 0);
  EXPECT_EQ(fs::file_size(saved), 118u);
  ToolRun shown = run({"show", saved, "--json"});
  EXPECT_EQ(shown.status, 0);
  EXPECT_NE(shown.out.find("\"ZoneControl\": \"0 001\""), std::string::npos) << shown.out;
  EXPECT_EQ(shown.out.find("WialonHost"), std::string::npos) << "the file does not hold the additional server";

  std::ofstream(file("short.cfg"), std::ios::binary) << std::string(50, '\1');
  std::ofstream(file("long.cfg"), std::ios::binary) << std::string(119, '\1');
  std::ofstream(file("empty.cfg"), std::ios::binary);
  std::ofstream(file("bad.json")) << "{\"OwnerPhone\": ";
  for (const char* name : {"short.cfg", "long.cfg", "empty.cfg", "missing.cfg", "bad.json"}) {
    ToolRun refused = run({"show", file(name)});
    EXPECT_EQ(refused.status, 1) << name;
    EXPECT_FALSE(refused.err.empty()) << name;
  }

  ToolRun noFolder = run({"defaults", "--save", (dir / "no" / "such" / "x.cfg").string()});
  EXPECT_EQ(noFolder.status, 1);
  EXPECT_NE(noFolder.err.find("Ошибка открытия файла"), std::string::npos) << noFolder.err;
  for (const auto& entry : fs::directory_iterator(dir)) {
    EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << "no temporary file is left behind";
  }
}

TEST_F(Orsactl, SavingLeavesReadOnlyFilesAloneAndWritesThroughLinks) {
  // No write bit for anyone: refused even for root, whom the system would let write it.
  const auto readOnly = fs::perms::owner_read | fs::perms::group_read;
  for (const char* name : {"locked.cfg", "locked.json"}) {
    const std::string path = file(name);
    std::ofstream(path, std::ios::binary) << "kept as it was";
    fs::permissions(path, readOnly, fs::perm_options::replace);
    ToolRun refused = run({"defaults", "--save", path});
    EXPECT_EQ(refused.status, 1) << name;
    EXPECT_NE(refused.err.find("Ошибка открытия файла"), std::string::npos) << refused.err;
    EXPECT_EQ(contents(path), "kept as it was") << name;
    EXPECT_EQ(fs::status(path).permissions(), readOnly) << name;
  }

  const auto shared = readOnly | fs::perms::owner_write | fs::perms::others_read;
  for (const char* name : {"real.cfg", "real.json"}) {
    const std::string target = file(name), link = file(std::string("link-to-") + name);
    std::ofstream(target, std::ios::binary) << "old";
    fs::permissions(target, shared, fs::perm_options::replace);
    fs::create_symlink(name, link);  // relative, as links usually are
    ToolRun saved = run({"defaults", "--save", link});
    EXPECT_EQ(saved.status, 0) << saved.err;
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link))) << name << ": the link stays a link";
    EXPECT_EQ(fs::read_symlink(link), fs::path(name));
    EXPECT_NE(contents(target), "old") << name << ": the file it points to gets the settings";
    EXPECT_EQ(fs::status(target).permissions(), shared) << name;
  }
  EXPECT_EQ(fs::file_size(file("real.cfg")), 118u);
  for (const auto& entry : fs::directory_iterator(dir)) {
    EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << "no temporary file is left behind";
  }
}

TEST_F(Orsactl, ReadShowsTheBeaconsSettingsAndKeepsThem) {
  beacon.setSettingsCell(0x08080460, "+79161234567");
  const std::string saved = file("beacon.cfg");
  ToolRun read = run({"read", "--save", saved});
  EXPECT_EQ(read.status, 0) << read.err;
  EXPECT_NE(read.out.find("+79161234567"), std::string::npos) << read.out;
  EXPECT_NE(read.out.find("IMEI"), std::string::npos);
  EXPECT_EQ(fs::file_size(saved), 118u);
  EXPECT_EQ(beacon.trace().size(), 30u) << "29 slots and the closing read";

  ToolRun json = run({"read", "--json"});
  EXPECT_NE(json.out.find("\"OwnerPhone\": \"+79161234567\""), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"DeviceImei\""), std::string::npos);

  beacon.setFaults(sim::FaultPlan().dropReply(1, 6));
  ToolRun failed = run({"read"});
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.err.find("Ошибка во время чтения параметров"), std::string::npos);
}

TEST_F(Orsactl, WriteChecksLikeTheWindowBeforeSendingAnything) {
  ToolRun noPhone = run({"write", "--defaults"});
  EXPECT_EQ(noPhone.status, 1);
  EXPECT_NE(noPhone.err.find("Вы не указали номер телефона владельца"), std::string::npos) << noPhone.err;
  EXPECT_TRUE(beacon.trace().empty()) << "a refusal sends nothing";

  ToolRun shortPin = run({"write", "--defaults", "--set", "OwnerPhone=+79161234567", "--set", "DevicePin=123"});
  EXPECT_EQ(shortPin.status, 1);
  EXPECT_NE(shortPin.err.find("PIN-код устройства должен состоять из четырех цифр"), std::string::npos);

  ToolRun notShown = run({"write", "--defaults", "--set", "OwnerPhone=+7916", "--set", "TimeZone=20"});
  EXPECT_EQ(notShown.status, 1);
  EXPECT_NE(notShown.err.find("it would go out as \"-13\""), std::string::npos) << notShown.err;

  ToolRun notInteger = run({"write", "--defaults", "--set", "OwnerPhone=+7916", "--set", "BalanceThreshold=много"});
  EXPECT_EQ(notInteger.status, 1);
  EXPECT_NE(notInteger.err.find("it would go out as \"0\""), std::string::npos)
      << "the page shows the slot as a number, so the text never reaches the field as typed: " << notInteger.err;

  EXPECT_EQ(run({"write", "--set", "Nonsense=1"}).status, 1);
  EXPECT_EQ(run({"write", "--set", "OwnerPhone"}).status, 2);
  EXPECT_EQ(run({"write"}).status, 2) << "nothing to write is a usage error, not a write of the defaults";
  EXPECT_TRUE(beacon.trace().empty());
  ToolRun imei = run({"write", "--set", "DeviceImei=1", "--yes"});
  EXPECT_EQ(imei.status, 1);
  EXPECT_NE(imei.err.find("DeviceImei is read from the beacon and never written"), std::string::npos) << imei.err;
  EXPECT_EQ(framesOfType(2), 0u) << "the beacon was read to compare, but nothing written";
}

TEST_F(Orsactl, WriteStoresTheCollectedTexts) {
  const std::string json = file("settings.json");
  std::ofstream(json) << R"({"OwnerPhone": "+79161234567", "MotionMode": "2", "WialonPassword": "секрет"})";
  ToolRun written = run({"write", json, "--set", "BalanceCode=*100#"});
  EXPECT_EQ(written.status, 0) << written.err;
  EXPECT_NE(written.out.find("Настройки успешно записаны"), std::string::npos);
  auto text = [&](std::uint32_t parameter) {
    auto cell = beacon.settingsCell(parameter);
    return std::string(reinterpret_cast<const char*>(cell.data()));
  };
  EXPECT_EQ(text(0x08080460), "+79161234567");
  EXPECT_EQ(text(0x08080600), "2");
  EXPECT_EQ(text(0x080804A0), "*100#");
  EXPECT_EQ(text(0x08080120), "\xF1\xE5\xEA\xF0\xE5\xF2") << "Windows-1251 on the wire";
  EXPECT_EQ(text(0x08080440), "1");
  EXPECT_EQ(framesOfType(2), 25u);

  ToolRun absent = run({"write", json}, false);
  EXPECT_EQ(absent.status, 3);
}

// The production line: every beacon gets its own channel and worker, all at once, and one table.
TEST_F(Orsactl, SeveralPortsAreWrittenAtOnceAndEndInOneTable) {
  sim::SimulatedBeacon second;
  second.setSettingsCell(settings::parameterOf(SlotId::DeviceImei), "866104023456999");
  const std::string missing = "/dev/ttyACM-gone";
  const auto start = std::chrono::steady_clock::now();
  ToolRun written = run({"--port", beacon.portPath(), "--port", second.portPath(), "--port", missing, "write", "--set",
                         "DevicePin=1234", "--yes"});
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(written.status, 1) << "one beacon was missing";
  for (const sim::SimulatedBeacon* b : {&beacon, &second}) {
    EXPECT_EQ(
        std::string(reinterpret_cast<const char*>(b->settingsCell(settings::parameterOf(SlotId::DevicePin)).data())),
        "1234");
  }
  EXPECT_LT(elapsed, std::chrono::milliseconds(2 * 2900)) << "the reads ran side by side, not one after another";
  std::istringstream table(written.out);
  std::vector<std::string> rows;
  for (std::string line; std::getline(table, line);) rows.push_back(line);
  ASSERT_EQ(rows.size(), 4u) << written.out;
  EXPECT_EQ(rows[0].rfind("порт", 0), 0u);
  EXPECT_NE(rows[2].find("866104023456999"), std::string::npos) << rows[2];
  EXPECT_NE(rows[2].find("Настройки успешно записаны"), std::string::npos) << rows[2];
  EXPECT_NE(rows[3].find("Устройство не подключено: порт " + missing + " не найден"), std::string::npos) << rows[3];

  // --all takes every USB CDC-ACM device; --json gives the table to scripts.
  std::ostringstream out, err;
  const int status =
      runOrsactl({"--all", "--json", "read"}, out, err,
                 std::make_unique<MapWith>(std::vector<link::SerialPortMap::Entry>{
                     {"cdc_acm", beacon.portPath()}, {"serial8250", "/dev/ttyS0"}, {"cdc_acm", second.portPath()}}));
  EXPECT_EQ(status, 0) << err.str();
  EXPECT_NE(
      out.str().find("\"port\": \"" + second.portPath() + "\",\n    \"imei\": \"866104023456999\",\n    \"ok\": true"),
      std::string::npos)
      << out.str();
  EXPECT_EQ(out.str().find("ttyS0"), std::string::npos);
  EXPECT_EQ(run({"--port", beacon.portPath(), "--port", second.portPath(), "read", "--save", file("x.cfg")}).status, 2)
      << "one file cannot keep two beacons";
}

TEST_F(Orsactl, WriteChangesOnlyTheSlotsItIsGiven) {
  setCell(SlotId::DevicePin, "4321");
  setCell(SlotId::ServerHost, "track.example.net");
  setCell(SlotId::ServerPort, "5055");
  setCell(SlotId::ZoneControl, "2 007");
  setCell(SlotId::WialonEnabled, "1");
  setCell(SlotId::WialonPassword, "pass");
  const Cells before = cells();

  ToolRun phone = run({"write", "--set", "OwnerPhone=+79161234567"});
  ASSERT_EQ(phone.status, 0) << phone.err;
  const Cells after = cells();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(after[0].data())), "+79161234567");
  for (std::size_t i = 1; i < settings::kSlotCount; ++i) {
    EXPECT_EQ(after[i], before[i]) << settings::slotName(static_cast<SlotId>(i)) << " was not asked for";
  }

  // A settings file carries no additional server: writing one back leaves it on.
  const std::string saved = file("beacon.cfg");
  ASSERT_EQ(run({"read", "--save", saved}).status, 0);
  setCell(SlotId::DevicePin, "1111");
  ToolRun fromFile = run({"write", saved});
  EXPECT_EQ(fromFile.status, 0) << fromFile.err;
  EXPECT_EQ(cells(), after) << "the file's PIN is back, everything else as the beacon had it";
}

TEST_F(Orsactl, WriteTakesBackWhatReadSaved) {
  setCell(SlotId::OwnerPhone, "+79161234567");
  setCell(SlotId::DevicePin, "0042");
  const std::string json = file("beacon.json");
  ASSERT_EQ(run({"read", "--save", json}).status, 0);
  const Cells before = cells();
  ToolRun fromJson = run({"write", json});
  EXPECT_EQ(fromJson.status, 0) << fromJson.err;
  EXPECT_EQ(cells(), before);
  EXPECT_EQ(framesOfType(2), 25u);

  // The same file on another beacon: its IMEI differs, is never written, and stops nothing.
  setCell(SlotId::DeviceImei, "866000000000001");
  ToolRun copied = run({"write", json});
  EXPECT_EQ(copied.status, 0) << copied.err;
  EXPECT_NE(copied.err.find("DeviceImei in the file differs"), std::string::npos) << copied.err;

  // No monitoring server: the window writes the empty server once the user says "Да", so --yes does too.
  setCell(SlotId::ServerHost, "");
  setCell(SlotId::ServerPort, "");
  const std::string cfg = file("no-server.cfg");
  ASSERT_EQ(run({"read", "--save", cfg}).status, 0);
  const Cells noServer = cells();
  ToolRun asked = run({"write", cfg});
  EXPECT_EQ(asked.status, 1);
  EXPECT_NE(asked.err.find("Вы не указали адрес сервера или порт."), std::string::npos) << asked.err;
  ToolRun answered = run({"write", cfg, "--yes"});
  EXPECT_EQ(answered.status, 0) << answered.err;
  EXPECT_EQ(cells(), noServer);
}

TEST_F(Orsactl, CommandFileTakesModeWordsAndTheCfgNameRule) {
  const std::string named = file("Mode.CFG");
  ToolRun daily = run({"command-file", "daily", named});
  EXPECT_EQ(daily.status, 0) << daily.err;
  EXPECT_EQ(contents(named + ".cfg"), std::string("\x02\x01\x03", 3));
  EXPECT_FALSE(fs::exists(named));

  EXPECT_EQ(run({"command-file", "night", file("x.cfg")}).status, 2);
  EXPECT_FALSE(fs::exists(dir / "x.cfg"));
  ToolRun refused = run({"command-file", "1", (dir / "missing" / "c.cfg").string()});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("Ошибка открытия файла"), std::string::npos) << refused.err;
}

TEST_F(Orsactl, ServicePrintsTheLogAndItsStatusSaysWhetherTheAimWasReached) {
  ToolRun started = run({"service", "modem-on"});
  EXPECT_EQ(started.status, 0) << started.err;
  EXPECT_EQ(started.out, "Запуск модема...\nМодем запущен\nМодем сконфигурирован\n");
  ToolRun sms = run({"service", "imei-sms", "+79161234567"});
  EXPECT_EQ(sms.status, 0) << sms.err;
  EXPECT_EQ(sms.out, "SMS отправлено\n");
  ASSERT_TRUE(beacon.waitForFrames(8, std::chrono::seconds(5)));  // ModemOn, AT, ATE0, then the five of the SMS
  EXPECT_EQ(beacon.withGsmModem([](const sim::GsmModemModel& m) { return m.sentMessages().size(); }), 1u);

  beacon.setFaults(sim::FaultPlan().dropReply(3, 1));
  ToolRun silent = run({"service", "modem-on"});
  EXPECT_EQ(silent.status, 1);
  EXPECT_EQ(silent.out, "Запуск модема...\nМодем не запущен\n");

  EXPECT_EQ(run({"service", "hangup"}, false).status, 3);
  EXPECT_EQ(run({"service", "call"}).status, 2);
  EXPECT_EQ(run({"service", "sim-entry", "delete"}).status, 2);
  EXPECT_EQ(run({"service", "reboot"}).status, 2);
}

TEST_F(Orsactl, UploadCopiesFoldersAndFilesAndStopsOnAFullDrive) {
  const std::string sound = file("sounds/ALARM.AMR");
  fs::create_directories(fs::path(sound).parent_path());
  std::ofstream(sound, std::ios::binary) << std::string(700, 'a');
  const std::string single = file("beep.amr");
  std::ofstream(single, std::ios::binary) << std::string(3, 'b');
  ASSERT_EQ(run({"service", "modem-on"}).status, 0);

  ToolRun copied = run({"upload", fs::path(sound).parent_path().string(), single});
  EXPECT_EQ(copied.status, 0) << copied.err;
  EXPECT_NE(copied.out.find("Запись файла ALARM.AMR\nЗапись файла beep.amr\n"), std::string::npos) << copied.out;
  EXPECT_TRUE(copied.out.ends_with("Файлы успешно записаны\n")) << copied.out;
  using Files = sim::ModemDrive::Files;
  EXPECT_EQ(
      beacon.withGsmModem([](const sim::GsmModemModel& m) { return m.files(); }),
      (Files{{"ALARM.AMR", std::vector<std::uint8_t>(700, 'a')}, {"beep.amr", std::vector<std::uint8_t>(3, 'b')}}));

  beacon.clearTrace();
  ToolRun missing = run({"upload", single, file("nothing.amr")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(beacon.trace().empty()) << "a wrong name is found before the beacon is asked";

  beacon.setFaults(sim::FaultPlan().modemDriveSize(500));
  ToolRun full = run({"upload", sound});
  EXPECT_EQ(full.status, 1);
  EXPECT_TRUE(full.out.ends_with("Не хватает памяти на модеме для записи файлов\n")) << full.out;
}

}  // namespace
}  // namespace orsa::cli
