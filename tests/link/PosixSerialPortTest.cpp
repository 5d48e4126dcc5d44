// The serial backend on Linux: names, ports that are no serial ports, and a port another program holds.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include "link/SerialChannel.h"
#include "support/DeviceEnd.h"

namespace orsa::link {
namespace {

using orsa::testing::DeviceEnd;

TEST(SerialChannelOpen, MissingPortLeavesTheChannelClosed) {
  SerialChannel channel;
  EXPECT_FALSE(channel.open("/dev/ttyACM-does-not-exist"));
  EXPECT_FALSE(channel.isOpen());
  EXPECT_NE(channel.lastError().find("ttyACM-does-not-exist"), std::string::npos);
  EXPECT_FALSE(channel.open(""));
  EXPECT_FALSE(channel.open("/dev/null")) << "not a serial port";
  // Every daemon holds /dev/null; what matters is that it is no serial port, not who holds it.
  EXPECT_EQ(channel.lastError(), "/dev/null — не последовательный порт");
}

TEST(SerialChannelOpen, AProgramThatHadThePortFirstKeepsItAndIsNamed) {
  DeviceEnd pty;
  // `sleep` holds the port as a terminal program would: open, no lock.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, pty.portPath().c_str(), O_RDWR | O_NOCTTY, 0);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  char program[] = "sleep";
  char seconds[] = "30";
  char* argv[] = {program, seconds, nullptr};
  pid_t holder = 0;
  ASSERT_EQ(posix_spawnp(&holder, "sleep", &actions, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&actions);

  SerialChannel channel;
  EXPECT_FALSE(channel.open(pty.portPath()));
  EXPECT_NE(channel.lastError().find("sleep (pid " + std::to_string(holder) + ")"), std::string::npos)
      << channel.lastError();
  kill(holder, SIGTERM);
  waitpid(holder, nullptr, 0);
  EXPECT_TRUE(channel.open(pty.portPath())) << channel.lastError();
}

TEST(SerialChannelOpen, BareNameMeansTheDevicePath) {
  EXPECT_EQ(devicePathFor("ttyACM0"), "/dev/ttyACM0");
  EXPECT_EQ(devicePathFor("/dev/pts/3"), "/dev/pts/3");
}

}  // namespace
}  // namespace orsa::link
