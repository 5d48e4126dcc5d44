#include "cli/Orsactl.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/Command.h"
#include "firmware/FirmwareFile.h"
#include "firmware/FirmwareMessages.h"
#include "firmware/GPSUpdateThread.h"
#include "orsa/Version.h"
#include "settings/Cp1251.h"
#include "settings/SettingsFile.h"
#include "settings/SlotId.h"
#include "sim/SimulatedBeacon.h"
#include "support/BeaconFigures.h"
#include "support/ToolRun.h"
#include "support/FakePortMap.h"
#include "support/Frames.h"
#include "support/ChildProcess.h"
#include "support/DeviceEnd.h"
#include "support/TempDir.h"

namespace orsa::cli {
namespace {

namespace fs = std::filesystem;
using settings::SlotId;
using Cells = std::vector<std::array<std::uint8_t, 32>>;

using orsa::testing::fileContents;
using orsa::testing::ToolRun;

class Orsactl : public ::testing::Test {
 protected:
  // Runs the tool with the simulated beacon as the one USB serial device, so the automatic choice finds it.
  ToolRun run(std::vector<std::string> args, bool beaconPresent = true) {
    std::ostringstream out, err;
    std::vector<link::SerialPortMap::Entry> entries;
    if (beaconPresent) entries.push_back({"cdc_acm", beacon.portPath()});
    int status = runOrsactl(args, out, err, std::make_unique<orsa::testing::FakePortMap>(entries));
    return {status, out.str(), err.str()};
  }
  std::string file(const std::string& name) { return (dir / name).string(); }
  void setCell(SlotId slot, std::string_view text) { beacon.setSettingsCell(settings::parameterOf(slot), text); }
  // The beacon's 29 cells, in record order.
  Cells cells() const {
    Cells all;
    for (std::size_t i = 0; i < settings::kSlotCount; ++i) {
      all.push_back(beacon.settingsCell(orsa::testing::figures::kSlotParameters[i]));
    }
    return all;
  }
  std::size_t framesOfType(std::uint8_t type) const { return orsa::testing::framesOfType(beacon.trace(), type); }

  sim::SimulatedBeacon beacon;
  orsa::testing::TempDir dir{"orsactl-test-"};
};

TEST_F(Orsactl, PortsMarksTheAutomaticChoice) {
  ToolRun text = run({"ports"});
  EXPECT_EQ(text.status, 0);
  EXPECT_NE(text.out.find("* " + beacon.portPath()), std::string::npos) << text.out;
  ToolRun json = run({"ports", "--json"});
  EXPECT_NE(json.out.find("{\"port\": \"" + beacon.portPath() + "\", \"automatic\": true, \"usb\": null}"),
            std::string::npos)
      << json.out;
  ToolRun none = run({"ports"}, false);
  EXPECT_NE(none.out.find("no automatic choice"), std::string::npos);

  // Two beacons told apart by what their USB devices say; a field the device did not tell is null.
  sim::SimulatedBeacon second;
  link::SerialPortMap::Entry first{"cdc_acm", beacon.portPath(), {"0483", "5740", "00A1B2", "ОРСА Т4", "ORSA"}};
  link::SerialPortMap::Entry other{"cdc_acm", second.portPath(), {"0483", "5740", "", "", ""}};
  std::ostringstream out, err;
  ASSERT_EQ(
      runOrsactl({"ports", "--json"}, out, err,
                 std::make_unique<orsa::testing::FakePortMap>(std::vector<link::SerialPortMap::Entry>{first, other})),
      0);
  const auto listed = nlohmann::json::parse(out.str());
  ASSERT_EQ(listed.size(), 2u) << out.str();
  // Listed in the ports' natural order, which depends on the numbers the system gave the two.
  const bool firstFirst = listed[0]["port"] == beacon.portPath();
  const auto& told = listed[firstFirst ? 0 : 1];
  const auto& untold = listed[firstFirst ? 1 : 0];
  EXPECT_EQ(told["usb"], nlohmann::json::parse(R"({"vendor_id": "0483", "product_id": "5740", "serial": "00A1B2",
                                      "product": "ОРСА Т4", "manufacturer": "ORSA"})"));
  EXPECT_EQ(untold["port"], second.portPath());
  EXPECT_TRUE(untold["usb"]["serial"].is_null()) << out.str();
  EXPECT_EQ(untold["usb"]["vendor_id"], "0483");
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
  ::setenv("COLUMNS", "1000", 1);  // wide enough for every usage on one line
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
  EXPECT_EQ(run({"help", "write"}).out, run({"write", "--help"}).out);
  ::unsetenv("COLUMNS");
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
      // Each would end the modem's command line and start another, so none may reach it.
      {{"service", "call", "+7916;ATH"}, "PHONE \"+7916;ATH\""},
      {{"service", "imei-sms", "79\r\nAT+CPBW=1"}, "нужны «+» и от 3 до 20 цифр"},
      {{"service", "call", "12"}, "PHONE \"12\""},
      {{"modem", "rm", "C:\\ALARM.AMR"}, "NAME \"C:\\ALARM.AMR\""},
      {{"modem", "rm", "a,b"}, "без \" , ; \\ :"},
      {{"modem", "rm", "♪.amr"}, "U+266A"},
      {{"service", "modem-on", "--json"}, "--json"},
      {{"reed"}, "unknown command \"reed\"; did you mean read?"},
      {{"--port", "ttyACM0", "wirte", "x.cfg"}, "did you mean write?"},
      {{"help", "frobnicate"}, "unknown command \"frobnicate\""},
  };
  for (const Case& usage : cases) {
    ToolRun refused = run(usage.args);
    EXPECT_EQ(refused.status, 2) << usage.named;
    EXPECT_NE(refused.err.find(usage.named), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("--help"), std::string::npos) << refused.err;
    EXPECT_TRUE(refused.out.empty()) << refused.out;
  }
  EXPECT_TRUE(beacon.trace().empty()) << "not even the modem's power frame";
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

// Swapped files are what a tired technician gives: refused before the module hears a byte, then
// flashed as given once --force says the sizes are meant.
TEST_F(Orsactl, GnssFlashPrintsItsStagesAndTheModuleHoldsBothFiles) {
  const std::string loader = file("loader.bin");
  const std::string firmware = file("gnss.bin");
  const std::vector<std::uint8_t> loaderBytes(11892, 'L'), firmwareBytes(12000, 'F');
  std::ofstream(loader, std::ios::binary) << std::string(loaderBytes.begin(), loaderBytes.end());
  std::ofstream(firmware, std::ios::binary) << std::string(firmwareBytes.begin(), firmwareBytes.end());

  ToolRun swapped = run({"gnss-flash", "--loader", firmware, "--firmware", loader});
  EXPECT_EQ(swapped.status, 1);
  EXPECT_NE(swapped.err.find(firmware::unusualFlashFiles(12000, 11892)), std::string::npos) << swapped.err;
  EXPECT_NE(swapped.err.find("--force"), std::string::npos) << swapped.err;
  EXPECT_EQ(framesOfType(static_cast<std::uint8_t>(link::CommandType::GnssData)), 0u);

  ToolRun forced = run({"gnss-flash", "--loader", firmware, "--firmware", loader, "--force"});
  EXPECT_EQ(forced.status, 0) << forced.err;
  // The release lines depend on the module, so only the lines around them are compared.
  std::size_t at = 0;
  for (const std::string& line :
       {"Загрузчик " + firmware::describeFirmwareFile(firmware, firmwareBytes),
        "Прошивка " + firmware::describeFirmwareFile(loader, loaderBytes),
        std::string("Переход в режим программирования..."), std::string("Переключение скорости UART 115200..."),
        std::string("Подготовка GPS модуля..."), std::string("Запись загрузчика..."),
        std::string("Передача управления загрузчику..."), std::string("Запись прошивки...")}) {
    at = forced.out.find(line + '\n', at);
    ASSERT_NE(at, std::string::npos) << line << " in order: " << forced.out;
  }
  EXPECT_TRUE(forced.out.ends_with("\nПрошивка GPS модуля завершена: модуль подтвердил 11892 байт прошивки\n"))
      << forced.out;
  beacon.withGnssModule([&](const sim::MtkGnssModule& module) {
    EXPECT_EQ(module.loader(), std::vector<std::uint8_t>(11892, 'F')) << "the part of the loader that fits";
    EXPECT_EQ(module.firmware(), loaderBytes);
    EXPECT_EQ(module.mode(), sim::MtkGnssModule::Mode::Nmea);
  });

  ToolRun missing = run({"gnss-flash", "--loader", file("none.bin"), "--firmware", firmware});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err.find("orsactl: Ошибка открытия файла загрузчика"), 0u) << missing.err;
  EXPECT_EQ(run({"gnss-flash", "--loader", loader}).status, 2);
}

TEST_F(Orsactl, GnssRecoverSaysWhetherTheModuleIsBackInItsNormalMode) {
  ASSERT_EQ(run({"service", "gnss-on"}).status, 0);
  beacon.withGnssModule([](sim::MtkGnssModule& module) {
    const std::string_view bootRom = "$PMTK180*3B\r\n";
    module.onData(std::span(reinterpret_cast<const std::uint8_t*>(bootRom.data()), bootRom.size()));
    ASSERT_EQ(module.mode(), sim::MtkGnssModule::Mode::BootRom);
  });
  ToolRun recovered = run({"gnss-recover"});
  EXPECT_EQ(recovered.status, 0) << recovered.err;
  EXPECT_EQ(recovered.out, std::string(firmware::messages::gnss::kRecovered) + '\n');
  EXPECT_EQ(beacon.withGnssModule([](const sim::MtkGnssModule& module) { return module.mode(); }),
            sim::MtkGnssModule::Mode::Nmea);

  // The beacon's answer is any byte, so a streaming module's sentence relayed just after GnssOff
  // would pass for it: the module is kept quiet to see the beacon's silence alone.
  beacon.withGnssModule([](sim::MtkGnssModule& module) { module.setCapture({}); });
  beacon.setFaults(sim::FaultPlan().dropReply(static_cast<std::uint8_t>(link::CommandType::GnssOff), 1));
  ToolRun unanswered = run({"gnss-recover"});
  EXPECT_EQ(unanswered.status, 1) << "the beacon did not confirm the restart";
  EXPECT_NE(unanswered.err.find(firmware::messages::gnss::kNotRecovered), std::string::npos) << unanswered.err;
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
  // The system's reason in the message's own language, not the system's English.
  EXPECT_NE(run({"show", file("missing.cfg")}).err.find("нет такого файла или папки"), std::string::npos);

  ToolRun noFolder = run({"defaults", "--save", (dir / "no" / "such" / "x.cfg").string()});
  EXPECT_EQ(noFolder.status, 1);
  EXPECT_NE(noFolder.err.find("Ошибка открытия файла"), std::string::npos) << noFolder.err;
  EXPECT_NE(noFolder.err.find("нет такого файла или папки"), std::string::npos) << noFolder.err;
  for (const auto& entry : fs::directory_iterator(dir.path())) {
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
    EXPECT_EQ(fileContents(path), "kept as it was") << name;
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
    EXPECT_NE(fileContents(target), "old") << name << ": the file it points to gets the settings";
    EXPECT_EQ(fs::status(target).permissions(), shared) << name;
  }
  EXPECT_EQ(fs::file_size(file("real.cfg")), 118u);
  for (const auto& entry : fs::directory_iterator(dir.path())) {
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

  // A value no one could enter in the window is a usage error naming the key, the value and what is
  // allowed, found before the beacon is asked anything.
  ToolRun shortPin = run({"write", "--defaults", "--set", "OwnerPhone=+79161234567", "--set", "DevicePin=123"});
  EXPECT_EQ(shortPin.status, 2);
  EXPECT_NE(shortPin.err.find("DevicePin=123: допустимо 4 цифры"), std::string::npos) << shortPin.err;
  ToolRun typo = run({"write", "--set", "DevicePn=1234"});
  EXPECT_EQ(typo.status, 2);
  EXPECT_NE(typo.err.find("did you mean DevicePin?"), std::string::npos) << typo.err;
  EXPECT_EQ(run({"write", "--set", "Nonsense=1"}).status, 2);
  // Every refusal at once, in the order given.
  ToolRun two = run({"write", "--set", "TimeZone=20", "--set", "BalanceThreshold=много"});
  EXPECT_EQ(two.status, 2);
  EXPECT_NE(two.err.find("TimeZone=20: допустимо часы от UTC, от -12 до +14, например +3\norsactl: write: "
                         "BalanceThreshold=много: допустимо целое число"),
            std::string::npos)
      << two.err;
  EXPECT_EQ(run({"write", "--set", "OwnerPhone"}).status, 2);
  EXPECT_EQ(run({"write"}).status, 2) << "nothing to write is a usage error, not a write of the defaults";
  EXPECT_TRUE(beacon.trace().empty());
  ToolRun imei = run({"write", "--set", "DeviceImei=1", "--yes"});
  EXPECT_EQ(imei.status, 2);
  EXPECT_NE(imei.err.find("DeviceImei is read from the beacon and never written"), std::string::npos) << imei.err;
  EXPECT_TRUE(beacon.trace().empty());
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

// The beacon's cells of the slots below: TimeZone 0x08080580, ContactTime 0x08080560, DeliveryMode
// 0x08080660, FalseAlarmGuard 0x080806E0, ZoneControl 0x08080720.
TEST_F(Orsactl, WriteTakesReadableValuesAndSettingsListsWhatEachKeyTakes) {
  auto text = [&](std::uint32_t parameter) {
    auto cell = beacon.settingsCell(parameter);
    return std::string(reinterpret_cast<const char*>(cell.data()));
  };
  ToolRun readable = run({"write", "--set", "OwnerPhone=+79161234567", "--set", "TimeZone=+5", "--set",
                          "ContactTime=08:30", "--set", "DeliveryMode=sms+server", "--set", "ZoneControl=2 15"});
  ASSERT_EQ(readable.status, 0) << readable.err;
  EXPECT_EQ(text(0x08080580), "5");
  EXPECT_EQ(text(0x08080560), "0830");
  EXPECT_EQ(text(0x08080660), "3");
  EXPECT_EQ(text(0x08080720), "2 015");

  const std::string json = file("numbers.json");
  std::ofstream(json) << R"({"TimeZone": -4, "FalseAlarmGuard": false, "DeliveryMode": "sms"})";
  ToolRun numbers = run({"write", json});
  ASSERT_EQ(numbers.status, 0) << numbers.err;
  EXPECT_EQ(text(0x08080580), "-4");
  EXPECT_EQ(text(0x080806E0), "0");
  EXPECT_EQ(text(0x08080660), "1");

  // A file is held to the same rules as --set, and nothing of it is sent.
  std::ofstream(json) << R"({"TimeZone": 15, "DevicePin": "abcd"})";
  beacon.clearTrace();
  ToolRun refused = run({"write", json});
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find("TimeZone=15: "), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find("DevicePin=abcd: "), std::string::npos) << refused.err;
  EXPECT_TRUE(beacon.trace().empty());

  // Every one of the 29 keys, with the time zone's range as its list offers it, UTC-12 to UTC+14.
  ToolRun listed = run({"settings", "--json"});
  ASSERT_EQ(listed.status, 0);
  const auto keys = nlohmann::json::parse(listed.out);
  ASSERT_EQ(keys.size(), 29u);
  const auto zone =
      std::find_if(keys.begin(), keys.end(), [](const auto& key) { return key.at("name") == "TimeZone"; });
  ASSERT_NE(zone, keys.end());
  EXPECT_EQ(zone->at("range"), nlohmann::json::parse(R"({"min": -12, "max": 14})"));
  EXPECT_EQ(zone->at("default"), "3");
}

// A .cfg keeps the port and the balance threshold as 16-bit numbers and has no room for the
// additional server: saving says what it loses, and --strict refuses to.
TEST_F(Orsactl, SavingACfgListsWhatTheFileCannotHold) {
  setCell(SlotId::ServerPort, "abc");
  setCell(SlotId::BalanceThreshold, "-1");
  setCell(SlotId::WialonHost, "wialon.example");
  const std::string cfg = file("lossy.cfg");
  ToolRun saved = run({"read", "--save", cfg});
  EXPECT_EQ(saved.status, 0) << saved.err;
  EXPECT_NE(saved.err.find("в .cfg меняется: ServerPort «abc» станет «0»"), std::string::npos) << saved.err;
  EXPECT_NE(saved.err.find("в .cfg меняется: BalanceThreshold «-1» станет «65535»"), std::string::npos) << saved.err;
  EXPECT_NE(saved.err.find("не сохраняется в .cfg: "), std::string::npos) << saved.err;
  EXPECT_NE(saved.err.find("WialonHost=wialon.example"), std::string::npos) << saved.err;
  EXPECT_TRUE(fs::exists(cfg));

  const std::string strict = file("strict.cfg");
  ToolRun refused = run({"read", "--save", strict, "--strict"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_FALSE(fs::exists(strict));
  ToolRun json = run({"read", "--save", file("whole.json"), "--strict"});
  EXPECT_EQ(json.status, 0) << "JSON keeps everything: " << json.err;
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
  EXPECT_EQ(rows[3].find("orsactl:"), std::string::npos) << "a row's cause without the program's name: " << rows[3];

  // --all takes every USB CDC-ACM device; --json gives the table to scripts.
  std::ostringstream out, err;
  const int status =
      runOrsactl({"--all", "--json", "read"}, out, err,
                 std::make_unique<orsa::testing::FakePortMap>(std::vector<link::SerialPortMap::Entry>{
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
  EXPECT_NE(copied.err.find("DeviceImei в файле не тот, что в маяке"), std::string::npos) << copied.err;

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
  EXPECT_EQ(fileContents(named + ".cfg"), std::string("\x02\x01\x03", 3));
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
  EXPECT_EQ(sms.out, "SMS отправлено (ссылка 1)\n");
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
  EXPECT_TRUE(
      full.out.ends_with("Не хватает памяти на модеме для записи файлов: нужно 700 байт, доступно 700. Запись "
                         "файлов отменена, файлы в модеме не тронуты\n"))
      << full.out;
  EXPECT_EQ(beacon.withGsmModem([](const sim::GsmModemModel& m) { return m.files().at("ALARM.AMR").size(); }), 700u)
      << "the old copy is kept when the new one does not fit";
}

TEST_F(Orsactl, ServiceInfoGivesScriptsEveryItemOfTheModemsDiagnostics) {
  // A modem not yet started answers nothing: no object for a script to take as the modem's.
  ToolRun off = run({"service", "info", "--json"});
  EXPECT_EQ(off.status, 1);
  EXPECT_TRUE(off.out.empty()) << off.out;
  EXPECT_NE(off.err.find("Модем не отвечает на команду AT"), std::string::npos) << off.err;

  ASSERT_EQ(run({"service", "modem-on"}).status, 0);
  ToolRun info = run({"service", "info", "--json"});
  ASSERT_EQ(info.status, 0) << info.err;
  EXPECT_NE(info.err.find("Модель: SIM800 R14.18\n"), std::string::npos) << "the log goes aside: " << info.err;
  const auto json = nlohmann::json::parse(info.out);  // standard output holds the object and nothing else
  for (const char* key : {"model", "firmware", "imei", "sim", "iccid", "signal", "signal_dbm", "registration",
                          "operator", "supply", "supply_mv", "unanswered"}) {
    EXPECT_TRUE(json.contains(key)) << key << ": " << info.out;
  }
  EXPECT_EQ(json.value("model", ""), "SIM800 R14.18");
  EXPECT_EQ(json.value("imei", ""), "866104023456786");
  EXPECT_EQ(json.value("signal_dbm", 0), -77) << "CSQ 18";
  EXPECT_EQ(json.value("supply_mv", 0), 4012);
  EXPECT_EQ(json["unanswered"], nlohmann::json::array());

  // A modem without the command gives null, which no answer in words can be taken for.
  beacon.setFaults(sim::FaultPlan().modemLacks("+CBC"));
  ToolRun lacking = run({"service", "info", "--json"});
  ASSERT_EQ(lacking.status, 0) << lacking.err;
  const auto withoutSupply = nlohmann::json::parse(lacking.out);
  EXPECT_TRUE(withoutSupply.at("supply").is_null()) << lacking.out;
  EXPECT_TRUE(withoutSupply.at("supply_mv").is_null()) << lacking.out;
}

TEST_F(Orsactl, ModemListsAndRemovesWhatWasUploaded) {
  const std::string alarm = file("ALARM.AMR");
  std::ofstream(alarm, std::ios::binary) << std::string(700, 'a');
  const std::string ring = file("звонок.amr");
  std::ofstream(ring, std::ios::binary) << std::string(3, 'b');
  ASSERT_EQ(run({"service", "modem-on"}).status, 0);
  ASSERT_EQ(run({"upload", alarm, ring}).status, 0);

  ToolRun listed = run({"modem", "ls", "--json"});
  ASSERT_EQ(listed.status, 0) << listed.err;
  const auto json = nlohmann::json::parse(listed.out);
  EXPECT_EQ(json.at("files"), nlohmann::json::parse(R"([{"name": "ALARM.AMR", "size": 700},
                                                        {"name": "звонок.amr", "size": 3}])"))
      << "names in UTF-8, whatever the modem keeps them in";
  EXPECT_TRUE(json.at("free").is_number_integer()) << listed.out;

  ToolRun removed = run({"modem", "rm", "звонок.amr"});
  EXPECT_EQ(removed.status, 0) << removed.err;
  EXPECT_EQ(removed.out, "Файл удалён с модема: звонок.amr\n");
  using Files = sim::ModemDrive::Files;
  EXPECT_EQ(beacon.withGsmModem([](const sim::GsmModemModel& m) { return m.files(); }),
            (Files{{"ALARM.AMR", std::vector<std::uint8_t>(700, 'a')}}));
  ToolRun text = run({"modem", "ls"});
  EXPECT_EQ(text.status, 0);
  EXPECT_TRUE(text.out.starts_with("C:\\ALARM.AMR: 700 байт\nCвободной памяти: ")) << text.out;

  ToolRun again = run({"modem", "rm", "звонок.amr"});
  EXPECT_EQ(again.status, 1) << "the modem said it has no such file";
  EXPECT_NE(again.out.find("Файл не удалён с модема: звонок.amr"), std::string::npos) << again.out;
}

// "$BODY*HH\r\n" with the checksum right.
std::string sentence(const std::string& body) {
  std::uint8_t sum = 0;
  for (const char c : body) sum = static_cast<std::uint8_t>(sum ^ c);
  char digits[3];
  std::snprintf(digits, sizeof digits, "%02X", sum);
  return "$" + body + "*" + digits + "\r\n";
}

TEST_F(Orsactl, NmeaPrintsWholeSentencesAndFailsOnASilentModule) {
  const auto start = std::chrono::steady_clock::now();
  ToolRun off = run({"nmea", "--seconds", "20"});
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << "not the whole 20 s";
  EXPECT_EQ(off.status, 1);
  EXPECT_TRUE(off.out.empty()) << off.out;
  EXPECT_NE(off.err.find("orsactl: nmea: модуль молчит"), std::string::npos) << off.err;

  // Ten seconds of the line at 9600 baud with no pause, so the run's last look finds a sentence half
  // arrived.
  std::string busy;
  for (int i = 0; i < 140; ++i) busy += sentence("GPTXT,01,01,02," + std::string(50, static_cast<char>('A' + i % 26)));
  beacon.gnssSends(busy);
  const std::string log = file("nmea.log");
  ToolRun relayed = run({"nmea", "--seconds", "4", "--log", log});
  EXPECT_EQ(relayed.status, 0) << relayed.err;
  ASSERT_FALSE(relayed.out.empty());
  EXPECT_TRUE(relayed.out.ends_with("\r\n")) << relayed.out;
  std::string_view rest = relayed.out;
  for (std::size_t end = rest.find("\r\n"); end != std::string_view::npos; end = rest.find("\r\n")) {
    const std::string_view sentence = rest.substr(0, end);
    EXPECT_TRUE(sentence.starts_with("$GP") && sentence.size() > 3 && sentence[sentence.size() - 3] == '*') << sentence;
    rest.remove_prefix(end + 2);
  }
  // Each line of the log: the milliseconds, then the bytes; the bytes hold all that was printed.
  std::istringstream lines(fileContents(log));
  std::string logged;
  long previous = -1;
  for (std::string line; std::getline(lines, line);) {
    const auto space = line.find(' ');
    ASSERT_NE(space, std::string::npos) << line;
    const long ms = std::stol(line.substr(0, space));
    EXPECT_GE(ms, previous);
    previous = ms;
    logged += line.substr(space + 1);
  }
  std::string printed;
  for (const char c : relayed.out) printed += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
  EXPECT_NE(logged.find(printed.substr(0, 200)), std::string::npos) << logged;
}

// Four epochs, then the module falls silent: three whole epochs as JSON lines, then the failure.
TEST_F(Orsactl, NmeaDecodePrintsWholeEpochsAndFailsWhenTheModuleFallsSilent) {
  std::string epochs;
  for (const char* time : {"101500.00", "101501.00", "101502.00", "101503.00"}) {
    epochs += sentence(std::string("GPGGA,") + time + ",5545.1234,N,03737.5678,E,1,03,1.20,150.0,M,14.0,M,,") +
              sentence("GPGSA,A,3,20,16,09,,,,,,,,,,2.10,1.20,1.70") +
              sentence(std::string("GPRMC,") + time + ",A,5545.1234,N,03737.5678,E,10.0,90.0,091226,,,A");
  }
  beacon.gnssSends(epochs);
  const auto start = std::chrono::steady_clock::now();
  ToolRun decoded = run({"nmea", "--decode", "--json", "--seconds", "20"});
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << "not the whole 20 s";
  EXPECT_EQ(decoded.status, 1);
  EXPECT_NE(decoded.err.find("модуль молчит: нет предложений NMEA уже 3 с"), std::string::npos) << decoded.err;
  std::istringstream lines(decoded.out);
  std::vector<nlohmann::json> objects;
  for (std::string line; std::getline(lines, line);) objects.push_back(nlohmann::json::parse(line));
  ASSERT_EQ(objects.size(), 3u) << decoded.out;
  EXPECT_EQ(objects[0].at("utc"), "10:15:01");
  EXPECT_EQ(objects[2].at("utc"), "10:15:03");
  EXPECT_EQ(objects[2].at("fix"), "3d");
  EXPECT_EQ(objects[2].at("gps"), nlohmann::json::parse(R"({"used": 3, "seen": 0})"));
  EXPECT_NEAR(objects[2].at("latitude").get<double>(), 55 + 45.1234 / 60, 1e-9);
  EXPECT_NEAR(objects[2].at("speed_kmh").get<double>(), 18.52, 1e-9);
  EXPECT_TRUE(objects[2].at("correction").is_null());

  EXPECT_EQ(run({"nmea", "--json"}).status, 2) << "--json goes with --decode";
}

std::vector<std::string> linesOf(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Two sources compared slot by slot, by key name and in the spelling --set takes; the status says
// whether they agree, as diff(1)'s does.
TEST_F(Orsactl, DiffListsTheSlotsTwoSourcesHoldDifferently) {
  setCell(SlotId::TimeZone, "3");
  setCell(SlotId::ServerPort, "5055");
  const std::string saved = file("saved.cfg");
  ASSERT_EQ(run({"read", "--save", saved}).status, 0);
  ToolRun same = run({"diff", "beacon", saved});
  EXPECT_EQ(same.status, 0) << same.out << same.err;
  EXPECT_TRUE(same.out.empty()) << same.out;

  setCell(SlotId::TimeZone, "5");
  setCell(SlotId::ServerPort, "5056");
  setCell(SlotId::DeviceImei, "866000000000001");  // the beacon's own, never compared
  ToolRun changed = run({"diff", saved, beacon.portPath()});
  EXPECT_EQ(changed.status, 1) << changed.err;
  EXPECT_EQ(linesOf(changed.out),
            (std::vector<std::string>{"TimeZone: \"+3\" → \"+5\"", "ServerPort: \"5055\" → \"5056\""}));

  // A JSON file compares the keys it names; --json (the global one too) gives the list to scripts.
  const std::string named = file("named.json");
  std::ofstream(named) << R"({"DeliveryMode": "sms+server", "TimeZone": "+5"})";
  setCell(SlotId::DeliveryMode, "1");
  ToolRun json = run({"--json", "diff", named, "beacon"});
  EXPECT_EQ(json.status, 1) << json.err;
  const auto document = nlohmann::json::parse(json.out);
  ASSERT_EQ(document["differences"].size(), 1u) << json.out;
  EXPECT_EQ(document["differences"][0]["key"], "DeliveryMode");
  EXPECT_EQ(document["differences"][0]["left"], "sms+server");
  EXPECT_EQ(document["differences"][0]["right"], "sms");

  ToolRun missing = run({"diff", file("none.cfg"), "beacon"});
  EXPECT_EQ(missing.status, 2) << "a source that cannot be read is not \"they differ\"";
  EXPECT_TRUE(missing.out.empty());
  EXPECT_EQ(run({"diff", saved, "/dev/ttyACM-gone"}).status, 3);
  EXPECT_EQ(framesOfType(2), 0u) << "a comparison writes nothing";
}

// A dry run reads the beacon, shows what the write would change and sends no write frame.
TEST_F(Orsactl, WriteDryRunShowsTheChangesAndSendsNothing) {
  setCell(SlotId::DevicePin, "4321");
  const Cells before = cells();
  ToolRun dry = run({"write", "--set", "DevicePin=1234", "--set", "ContactTime=08:30", "--dry-run", "--yes"});
  EXPECT_EQ(dry.status, 0) << dry.err;
  const auto rows = linesOf(dry.out);
  ASSERT_GE(rows.size(), 2u) << dry.out;
  EXPECT_EQ(rows[0], "DevicePin: \"4321\" → \"1234\"");
  EXPECT_EQ(rows[1].rfind("ContactTime: \"", 0), 0u) << rows[1];
  EXPECT_TRUE(rows[1].ends_with("→ \"08:30\"")) << rows[1];
  EXPECT_EQ(framesOfType(2), 0u) << "not one write frame";
  // The 29 slots and the closing read.
  EXPECT_EQ(framesOfType(1), orsa::testing::figures::kSlotParameters.size() + 1) << "the beacon was read";
  EXPECT_EQ(cells(), before);
}

// The beacon acknowledges every slot, but one did not take: only reading back shows it.
TEST_F(Orsactl, WriteVerifyNamesTheSlotTheBeaconDidNotStore) {
  setCell(SlotId::DevicePin, "4321");
  ToolRun good = run({"write", "--set", "DevicePin=1234", "--verify", "--yes"});
  EXPECT_EQ(good.status, 0) << good.err;
  EXPECT_NE(good.out.find("Проверка: маяк хранит все 25 записанных ячеек"), std::string::npos) << good.out;
  EXPECT_EQ(framesOfType(1), 2 * (orsa::testing::figures::kSlotParameters.size() + 1)) << "read, write, read back";

  setCell(SlotId::DevicePin, "4321");
  beacon.setFaults(sim::FaultPlan().forgetSettingWrite(2));  // the second slot written is the PIN
  ToolRun forgotten = run({"write", "--set", "DevicePin=1234", "--verify", "--yes"});
  EXPECT_EQ(forgotten.status, 1);
  EXPECT_NE(forgotten.err.find("orsactl: проверка: DevicePin: записано \"1234\", маяк хранит \"4321\""),
            std::string::npos)
      << forgotten.err;
  EXPECT_EQ(forgotten.err.find("OwnerPhone"), std::string::npos) << "only the slot that differs";
  EXPECT_EQ(forgotten.out.find("маяк хранит все"), std::string::npos) << "no verified line: " << forgotten.out;
  ToolRun unchecked = run({"write", "--set", "DevicePin=1234", "--yes"});
  EXPECT_EQ(unchecked.status, 0) << "without --verify the acknowledgements are all there is to go by";
}

// The settings are kept before the flash is erased, and a backup that fails keeps the update from
// starting.
TEST_F(Orsactl, FirmwareBackupKeepsTheSettingsFirstAndAFailedOneStopsTheUpdate) {
  const std::string image = file("update.fmw");
  std::ofstream(image, std::ios::binary) << std::string(15, 'H') << std::string(100, 'P');
  setCell(SlotId::OwnerPhone, "+79161234567");
  const std::string backup = file("before.cfg");
  ToolRun flashed = run({"firmware", image, "--backup", backup});
  ASSERT_EQ(flashed.status, 0) << flashed.err;
  settings::SettingsRecord kept;
  ASSERT_TRUE(settings::SettingsFile::load(backup, kept));
  EXPECT_EQ(kept.text(SlotId::OwnerPhone), "+79161234567");
  const auto trace = beacon.trace();
  const auto erase = std::find_if(trace.begin(), trace.end(), [](const auto& f) { return f.type == 10; });
  ASSERT_NE(erase, trace.end());
  EXPECT_TRUE(std::all_of(trace.begin(), erase, [](const auto& f) { return f.type == 1; }))
      << "every read before the erase";

  beacon.clearTrace();
  ToolRun refused = run({"firmware", image, "--backup", file("no-such-folder/before.cfg")});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("обновление не начато"), std::string::npos) << refused.err;
  EXPECT_EQ(framesOfType(10), 0u) << "no erase after a failed backup";
  EXPECT_EQ(framesOfType(11), 0u);
}

// The global --json with one port is what it is with several; a question a run needed answered is
// named in its result, not swallowed.
TEST_F(Orsactl, OutputAScriptCanTrust) {
  ToolRun read = run({"--json", "read"});
  EXPECT_EQ(read.status, 0) << read.err;
  EXPECT_EQ(nlohmann::json::parse(read.out)["OwnerPhone"].is_string(), true) << read.out;

  ToolRun written = run({"--json", "--port", beacon.portPath(), "write", "--set", "DevicePin=1234", "--yes"});
  EXPECT_EQ(written.status, 0) << written.err;
  const auto table = nlohmann::json::parse(written.out);
  ASSERT_EQ(table.size(), 1u) << written.out;
  EXPECT_EQ(table[0]["port"], beacon.portPath());
  EXPECT_EQ(table[0]["ok"], true);
  ToolRun dry = run({"--json", "write", "--set", "DevicePin=1111", "--dry-run", "--yes"});
  EXPECT_EQ(dry.status, 0) << dry.err;
  const auto changes = nlohmann::json::parse(dry.out)["differences"];
  ASSERT_EQ(changes.size(), 1u) << dry.out;
  EXPECT_EQ(changes[0]["key"], "DevicePin");
  EXPECT_EQ(changes[0]["right"], "1111");

  sim::SimulatedBeacon second;
  ToolRun asked = run({"--port", beacon.portPath(), "--port", second.portPath(), "write", "--defaults"});
  EXPECT_EQ(asked.status, 1);
  const std::string question(
      orsa::testing::figures::kNoOwnerPhone.substr(0, orsa::testing::figures::kNoOwnerPhone.find('\n')));
  const auto rows = linesOf(asked.out);
  ASSERT_EQ(rows.size(), 3u) << asked.out;
  for (std::size_t row = 1; row < rows.size(); ++row) {
    EXPECT_NE(rows[row].find(question), std::string::npos) << rows[row];
    EXPECT_NE(rows[row].find("--yes"), std::string::npos) << rows[row];
  }

  // Every error says whose it is, on every line.
  const std::vector<std::vector<std::string>> failures = {
      {"write", "--set", "DevicePin=abcd", "--set", "ServerPort=99999"},
      {"reed"},
      {"--port", "/dev/ttyACM-gone", "read"},
      {"write", file("none.cfg")},
      {"show", file("none.cfg")},
      {"raw", "3", "0", "--expect", "40", "--timeout", "50"},
  };
  for (const auto& args : failures) {
    ToolRun failed = run(args);
    EXPECT_NE(failed.status, 0) << args.front();
    for (const std::string& line : linesOf(failed.err)) {
      EXPECT_EQ(line.rfind("orsactl: ", 0), 0u) << args.front() << ": " << line;
    }
  }
}

TEST_F(Orsactl, HelpIsWrappedToTheTerminalsWidth) {
  for (const char* columns : {"30", "60", "100"}) {
    ::setenv("COLUMNS", columns, 1);
    std::vector<std::vector<std::string>> asks = {{"--help"}, {"help"}};
    for (const auto& command : commands()) asks.push_back({command.name, "--help"});
    for (const auto& args : asks) {
      const ToolRun help = run(args);
      for (const std::string& line : linesOf(help.out)) {
        std::size_t width = 0;
        for (unsigned char c : line) width += (c & 0xC0) != 0x80;
        EXPECT_LE(width, std::stoul(columns)) << args.front() << ": " << line;
      }
    }
  }
  ::unsetenv("COLUMNS");
  EXPECT_NE(run({"write", "--help"}).out.find("--dry-run"), std::string::npos);
}

// Ctrl-C reaches orsactl as a signal to its process, so it runs as one.
TEST_F(Orsactl, CtrlCStopsAnUploadAndLeavesTheModemAnsweringCommands) {
  ASSERT_EQ(run({"service", "modem-on"}).status, 0);
  const std::string big = file("BIG.AMR");
  std::ofstream(big, std::ios::binary) << std::string(40000, 'x');
  beacon.setFaults(sim::FaultPlan().throttle(9600));  // the upload takes the best part of a minute
  orsa::testing::ChildProcess upload(ORSA_ORSACTL_EXE, {"--port", beacon.portPath(), "upload", big});
  std::string line;
  do {
    line = upload.readLine(std::chrono::seconds(30));
  } while (!line.empty() && line != "Запись файла BIG.AMR");
  ASSERT_EQ(line, "Запись файла BIG.AMR");

  upload.signal(SIGINT);
  EXPECT_EQ(upload.waitForExit(std::chrono::seconds(30)), 130);
  const std::string rest = upload.standardOutput();
  EXPECT_TRUE(rest.starts_with("Остановлено: на модеме осталось ")) << rest;
  EXPECT_NE(rest.find(" из 40000 байт файла BIG.AMR"), std::string::npos) << rest;
  EXPECT_EQ(run({"modem", "ls"}).status, 0) << "the stop waited for the modem to leave its file write";
}

// Ctrl-C during a write: the slot on the wire is acknowledged, no other goes out, and the message
// says how many of the 25 the beacon holds.
TEST_F(Orsactl, CtrlCEndsAWriteBetweenSlotsAndSaysHowManyWereWritten) {
  beacon.setFaults(sim::FaultPlan().throttle(9600));
  std::unique_ptr<orsa::testing::ChildProcess> write;
  std::atomic<orsa::testing::ChildProcess*> child{nullptr};  // the simulator's thread signals it
  std::atomic<int> writes{0};
  beacon.setFrameObserver([&](const sim::FrameRecord& frame) {
    if (frame.type != 2 || ++writes != 10) return;
    if (auto* process = child.load()) process->signal(SIGINT);
  });
  write = std::make_unique<orsa::testing::ChildProcess>(
      ORSA_ORSACTL_EXE,
      std::vector<std::string>{"--port", beacon.portPath(), "write", "--defaults", "--set", "OwnerPhone=+79161234567"});
  child = write.get();
  EXPECT_EQ(write->waitForExit(std::chrono::seconds(60)), 130);
  beacon.setFrameObserver(nullptr);
  const std::string err = write->errorOutput();
  const std::size_t sent = framesOfType(2);
  EXPECT_GE(sent, 10u);
  EXPECT_LT(sent, 25u);
  EXPECT_NE(err.find("orsactl: прервано: записано " + std::to_string(sent) + " из 25 — запустите запись снова"),
            std::string::npos)
      << err;
  EXPECT_TRUE(write->standardOutput().empty()) << "no success line";
  beacon.setFaults({});
  EXPECT_EQ(run({"read"}).status, 0) << "the port is free again";
}

// Ctrl-C on a line of beacons stops every port's write between slots, whichever thread the signal
// reaches, and the table says of each how many slots it holds.
TEST_F(Orsactl, CtrlCStopsEveryBeaconOfALineBetweenSlots) {
  sim::SimulatedBeacon second;
  for (sim::SimulatedBeacon* b : {&beacon, &second}) b->setFaults(sim::FaultPlan().throttle(9600));
  std::atomic<orsa::testing::ChildProcess*> child{nullptr};  // the simulator's thread signals it
  std::atomic<int> writes{0};
  beacon.setFrameObserver([&](const sim::FrameRecord& frame) {
    if (frame.type != 2 || ++writes != 10) return;
    if (auto* process = child.load()) process->signal(SIGINT);
  });
  orsa::testing::ChildProcess line(
      ORSA_ORSACTL_EXE, std::vector<std::string>{"--port", beacon.portPath(), "--port", second.portPath(), "write",
                                                 "--defaults", "--set", "DevicePin=1234", "--yes"});
  child = &line;
  EXPECT_EQ(line.waitForExit(std::chrono::seconds(60)), 130);
  child = nullptr;
  beacon.setFrameObserver(nullptr);
  const std::string table = line.standardOutput();
  for (const sim::SimulatedBeacon* b : {&beacon, &second}) {
    const std::size_t sent = orsa::testing::framesOfType(b->trace(), 2);
    EXPECT_LT(sent, 25u) << b->portPath();
    const std::size_t row = table.find(b->portPath() + ' ');
    ASSERT_NE(row, std::string::npos) << table;
    EXPECT_NE(table.substr(row, table.find('\n', row) - row)
                  .find("прервано: записано " + std::to_string(sent) + " из 25 — запустите запись снова"),
              std::string::npos)
        << table;
  }
}

// Without a terminal the first Ctrl-C stops the update; at one it only asks, as the window does, and
// the update goes on until a second Ctrl-C answers. Either way the status is 130, the tool says what to
// do next and the port is free.
TEST_F(Orsactl, CtrlCDuringFirmwareAsksAtATerminalAndStopsAtOnceWithoutOne) {
  constexpr int kBlocks = 4;
  const std::string image = file("update.fmw");
  std::ofstream(image, std::ios::binary) << std::string(15, 'H') << std::string(kBlocks * 2048, 'P');
  beacon.setFaults(sim::FaultPlan().throttle(9600));
  std::atomic<orsa::testing::ChildProcess*> child{nullptr};  // the simulator's thread signals it
  std::atomic<int> blocks{0};
  std::atomic<bool> interruptNextBlock{true};
  beacon.setFrameObserver([&](const sim::FrameRecord& frame) {
    if (frame.type != 11) return;
    ++blocks;
    if (!interruptNextBlock.exchange(false)) return;
    if (auto* process = child.load()) process->signal(SIGINT);
  });
  const std::string question = "Прервать обновление? Маяк останется без рабочей прошивки";
  const std::vector<std::string> args{"--port", beacon.portPath(), "firmware", image};
  {
    orsa::testing::ChildProcess update(ORSA_ORSACTL_EXE, args);
    child = &update;
    EXPECT_EQ(update.waitForExit(std::chrono::seconds(60)), 130);
    child = nullptr;
    const std::string err = update.errorOutput();
    EXPECT_LT(blocks.load(), kBlocks);
    EXPECT_NE(err.find(firmware::messages::update::kInterrupted), std::string::npos) << err;
    EXPECT_NE(err.find("запустите «orsactl firmware"), std::string::npos) << err;
    EXPECT_EQ(err.find(question), std::string::npos) << "no one there to answer";
  }

  blocks = 0;
  interruptNextBlock = true;
  orsa::testing::DeviceEnd terminal;
  orsa::testing::ChildProcess update(ORSA_ORSACTL_EXE, args, terminal.portPath());
  child = &update;
  std::string shown;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (shown.find(question) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
    const auto bytes = terminal.read(4096, std::chrono::milliseconds(100));
    shown.append(bytes.begin(), bytes.end());
  }
  ASSERT_NE(shown.find(question), std::string::npos) << shown;
  interruptNextBlock = true;  // the answer comes with the next block: the update went on after the question
  EXPECT_EQ(update.waitForExit(std::chrono::seconds(60)), 130);
  child = nullptr;
  beacon.setFrameObserver(nullptr);
  const auto rest = terminal.read(1 << 16, std::chrono::milliseconds(300));
  shown.append(rest.begin(), rest.end());
  EXPECT_GE(blocks.load(), 2);
  EXPECT_LT(blocks.load(), kBlocks);
  EXPECT_NE(shown.find("маяк остался без рабочей прошивки"), std::string::npos) << shown;
  beacon.setFaults({});
  EXPECT_EQ(run({"read"}).status, 0) << "the port is free again";
}

TEST_F(Orsactl, CtrlCStopsAGnssFlashAndTheModuleIsBackInItsNormalMode) {
  const std::string loader = file("loader.bin");
  const std::string firmware = file("gnss.bin");
  std::ofstream(loader, std::ios::binary) << std::string(11892, 'L');
  std::ofstream(firmware, std::ios::binary) << std::string(200000, 'F');
  orsa::testing::ChildProcess flash(
      ORSA_ORSACTL_EXE, {"--port", beacon.portPath(), "gnss-flash", "--loader", loader, "--firmware", firmware});
  std::string line;
  do {
    line = flash.readLine(std::chrono::seconds(30));
  } while (!line.empty() && line != "Запись загрузчика...");
  ASSERT_EQ(line, "Запись загрузчика...");

  flash.signal(SIGINT);
  EXPECT_EQ(flash.waitForExit(std::chrono::seconds(30)), 130);
  const std::string out = flash.standardOutput();
  EXPECT_TRUE(out.ends_with(std::string(firmware::messages::gnss::kInterrupted) +
                            firmware::messages::gnss::kAndRecovered + "\n"))
      << out;
  EXPECT_NE((out + flash.errorOutput()).find("прервано"), std::string::npos);
  EXPECT_EQ(beacon.withGnssModule([](const sim::MtkGnssModule& module) { return module.mode(); }),
            sim::MtkGnssModule::Mode::Nmea);
}

}  // namespace
}  // namespace orsa::cli
