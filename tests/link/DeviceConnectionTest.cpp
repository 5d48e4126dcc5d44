#include "link/DeviceConnection.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "link/LinuxSerialPortMap.h"
#include "link/NaturalOrder.h"
#include "link/PortList.h"
#include "support/FakePortMap.h"
#include "support/DeviceEnd.h"
#include "support/TempDir.h"

namespace orsa::link {
namespace {

using namespace std::chrono_literals;
using orsa::testing::DeviceEnd;
namespace fs = std::filesystem;

using orsa::testing::FakePortMap;
// The registry's marker of the beacon's entry, as Windows names it.
constexpr const char* kUsbSer = "USBSER";

// Which of the two lines did the channel open? Send a byte and see where it lands.
bool reaches(SerialChannel& channel, DeviceEnd& pty) {
  const std::uint8_t probe = 0x5A;
  channel.writeRaw(&probe, 1);
  return pty.read(1, 300ms).size() == 1;
}

TEST(AutomaticPort, TheOneUsbSerialEntryIsChosen) {
  DeviceEnd beacon, other;
  FakePortMap map({{"\\Device\\USBSER000", beacon.portPath()}, {"\\Device\\Serial0", other.portPath()}}, kUsbSer);
  EXPECT_EQ(automaticPort(map), beacon.portPath());
  SerialChannel channel;
  ASSERT_TRUE(connectDevice(channel, map, {}));
  EXPECT_TRUE(reaches(channel, beacon));
  EXPECT_FALSE(reaches(channel, other));
}

TEST(AutomaticPort, RefusesToGuessAndIsCaseSensitive) {
  DeviceEnd a, b;
  SerialChannel channel;
  FakePortMap two({{"\\Device\\USBSER000", a.portPath()}, {"\\Device\\USBSER001", b.portPath()}}, kUsbSer);
  EXPECT_FALSE(automaticPort(two));
  EXPECT_FALSE(connectDevice(channel, two, {}));
  EXPECT_FALSE(channel.isOpen());

  FakePortMap lower({{"\\Device\\usbser000", a.portPath()}}, kUsbSer);
  EXPECT_FALSE(connectDevice(channel, lower, {}));
  FakePortMap none({}, kUsbSer);
  EXPECT_FALSE(connectDevice(channel, none, {}));
}

TEST(ManualPort, IsUsedAsTypedWhateverTheMap) {
  DeviceEnd typed, mapped;
  FakePortMap map({{"\\Device\\USBSER000", mapped.portPath()}}, kUsbSer);
  SerialChannel channel;
  ASSERT_TRUE(connectDevice(channel, map, {false, typed.portPath()}));
  EXPECT_TRUE(reaches(channel, typed));
  EXPECT_FALSE(connectDevice(channel, map, {false, ""}));
  EXPECT_FALSE(connectDevice(channel, map, {false, "/dev/ttyACM-not-here"}));
}

TEST(ConnectDevice, ClosesWhatAnEarlierOperationLeftOpen) {
  DeviceEnd beacon;
  FakePortMap map({{"\\Device\\USBSER000", beacon.portPath()}}, kUsbSer);
  SerialChannel channel;
  ASSERT_TRUE(connectDevice(channel, map, {}));
  ASSERT_TRUE(connectDevice(channel, map, {})) << "the exclusive port must not block its own reconnection";
  EXPECT_TRUE(reaches(channel, beacon));
}

TEST(PortList, HoldsThePortsThatOpenInNaturalOrder) {
  DeviceEnd a, b, busy;
  FakePortMap map({{"x", b.portPath()}, {"y", a.portPath()}, {"z", busy.portPath()}, {"w", "/dev/ttyACM-gone"}},
                  kUsbSer);
  SerialChannel holder;
  ASSERT_TRUE(holder.open(busy.portPath()));
  auto first = listOpenablePorts(map, portOpens);
  std::vector<std::string> expected = {a.portPath(), b.portPath()};
  std::sort(expected.begin(), expected.end(), [](auto& l, auto& r) { return naturalLess(l, r); });
  EXPECT_EQ(first, expected);
  EXPECT_EQ(listOpenablePorts(map, portOpens), first) << "a refill gives the same list, not a doubled one";
  holder.close();
  EXPECT_EQ(listOpenablePorts(map, portOpens).size(), 3u) << "a released port is listed again";
}

TEST(PortList, ProbingLeavesAnotherDevicesLineSettingsAlone) {
  DeviceEnd other;
  int fd = ::open(other.portPath().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0);
  termios mine{};
  ASSERT_EQ(tcgetattr(fd, &mine), 0);
  mine.c_lflag |= ICANON | ECHO;
  mine.c_cflag |= HUPCL;
  cfsetspeed(&mine, B115200);
  ASSERT_EQ(tcsetattr(fd, TCSANOW, &mine), 0);

  EXPECT_TRUE(portOpens(other.portPath()));
  termios after{};
  ASSERT_EQ(tcgetattr(fd, &after), 0);
  ::close(fd);
  EXPECT_EQ(cfgetospeed(&after), B115200);
  EXPECT_EQ(after.c_lflag, mine.c_lflag);
  EXPECT_EQ(after.c_cflag, mine.c_cflag);
}

TEST(NaturalOrder, CountsDigitRunsByValue) {
  EXPECT_TRUE(naturalLess("/dev/ttyACM2", "/dev/ttyACM10"));
  EXPECT_FALSE(naturalLess("/dev/ttyACM10", "/dev/ttyACM2"));
  EXPECT_TRUE(naturalLess("/dev/ttyACM9", "/dev/ttyUSB0"));
  EXPECT_TRUE(naturalLess("COM9", "COM10"));
  EXPECT_FALSE(naturalLess("COM3", "COM3"));
  EXPECT_TRUE(naturalLess("COM3", "COM03a"));
}

class SysfsTree : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(root / "drivers" / "cdc_acm");
    fs::create_directories(root / "drivers" / "serial8250");
    addTty("ttyACM10", "cdc_acm");
    addTty("ttyACM2", "cdc_acm");
    addTty("ttyS0", "serial8250");
    fs::create_directories(root / "class" / "tty" / "tty1");  // a virtual terminal: no device
  }
  void addTty(const std::string& name, const std::string& driver) {
    fs::path device = root / "devices" / name;
    fs::create_directories(device);
    fs::create_directory_symlink(root / "drivers" / driver, device / "driver");
    fs::create_directories(root / "class" / "tty" / name);
    fs::create_directory_symlink(device, root / "class" / "tty" / name / "device");
  }
  // A USB device with the port's interface below it (CDC-ACM), or the port one level lower still (a
  // USB-to-serial adapter's driver makes a port device of its own), linked as the kernel links them.
  void addUsbTty(const std::string& name, const std::string& driver, bool portBelowInterface,
                 const std::map<std::string, std::string>& attributes) {
    const fs::path usbDevice = root / "devices" / "usb1" / ("1-" + name);
    const fs::path interface = usbDevice / ("1-" + name + ":1.0");
    const fs::path device = portBelowInterface ? interface / name : interface;
    fs::create_directories(device);
    for (const auto& [file, text] : attributes) std::ofstream(usbDevice / file) << text << '\n';
    fs::create_directory_symlink(root / "drivers" / driver, device / "driver");
    fs::create_directories(root / "class" / "tty" / name);
    fs::create_directory_symlink(fs::relative(device, root / "class" / "tty" / name),
                                 root / "class" / "tty" / name / "device");
  }
  orsa::testing::TempDir tree{"orsa-sysfs-"};
  const fs::path& root = tree.path();
};

TEST_F(SysfsTree, LinuxMapNamesEachDevicePortByItsDriver) {
  LinuxSerialPortMap map((root / "class" / "tty").string(), "/dev");
  auto entries = map.entries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].portName, "/dev/ttyACM2");
  EXPECT_EQ(entries[0].deviceName, "cdc_acm");
  EXPECT_EQ(entries[1].portName, "/dev/ttyACM10");
  EXPECT_EQ(entries[2].deviceName, "serial8250");
  EXPECT_FALSE(automaticPort(map)) << "two CDC-ACM devices: the automatic choice refuses to guess";
  fs::remove_all(root / "class" / "tty" / "ttyACM10");
  EXPECT_EQ(automaticPort(map), "/dev/ttyACM2");
}

TEST_F(SysfsTree, LinuxMapTellsBeaconsApartByWhatTheirUsbDevicesSay) {
  fs::create_directories(root / "drivers" / "ftdi_sio");
  addUsbTty("ttyACM7", "cdc_acm", false,
            {{"idVendor", "0483"},
             {"idProduct", "5740"},
             {"serial", "00A1B2"},
             {"product", "ОРСА Т4"},
             {"manufacturer", "ORSA"}});
  addUsbTty("ttyUSB0", "ftdi_sio", true, {{"idVendor", "0403"}, {"idProduct", "6001"}});
  LinuxSerialPortMap map((root / "class" / "tty").string(), "/dev");
  std::map<std::string, UsbIdentity> usb;
  for (const auto& entry : map.entries()) usb[entry.portName] = entry.usb;
  ASSERT_EQ(usb.size(), 5u);
  const UsbIdentity& beacon = usb["/dev/ttyACM7"];
  EXPECT_EQ(beacon.vendorId, "0483");
  EXPECT_EQ(beacon.productId, "5740");
  EXPECT_EQ(beacon.serialNumber, "00A1B2");
  EXPECT_EQ(beacon.product, "ОРСА Т4");
  EXPECT_EQ(beacon.manufacturer, "ORSA");
  EXPECT_EQ(usb["/dev/ttyUSB0"].vendorId, "0403") << "the USB device two levels above the port";
  EXPECT_EQ(usb["/dev/ttyUSB0"].productId, "6001");
  EXPECT_TRUE(usb["/dev/ttyUSB0"].serialNumber.empty());
  EXPECT_FALSE(usb["/dev/ttyS0"].known()) << "no USB device behind it";
}

TEST(LinuxSerialPortMap, MissingTreeIsAnEmptyMap) {
  LinuxSerialPortMap map("/nonexistent/sys/class/tty");
  EXPECT_TRUE(map.entries().empty());
  EXPECT_FALSE(automaticPort(map));
}

}  // namespace
}  // namespace orsa::link
