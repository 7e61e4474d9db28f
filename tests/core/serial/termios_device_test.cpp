// The termios backend on a pseudo-terminal: the test holds the master side and plays the device.
#include "core/serial/termios_device.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace quillet {
namespace {

using V = std::vector<uint8_t>;

class Pty : public ::testing::Test {
 protected:
  void SetUp() override {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(master_, 0);
    ASSERT_EQ(::grantpt(master_), 0);
    ASSERT_EQ(::unlockpt(master_), 0);
    path_ = ::ptsname(master_);
  }
  void TearDown() override {
    if (master_ >= 0) ::close(master_);
  }
  void DeviceSends(const V& bytes) {
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
  }
  // What the device side receives, waiting (up to seconds on a loaded machine) for `count` bytes.
  V DeviceReceives(std::size_t count) {
    V received;
    pollfd p{master_, POLLIN, 0};
    while (received.size() < count && ::poll(&p, 1, 5000) > 0) {
      uint8_t buffer[64];
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      received.insert(received.end(), buffer, buffer + n);
    }
    return received;
  }

  int master_ = -1;
  std::string path_;
};

LineSettings Raw(uint32_t baud) {
  LineSettings line;
  line.baud_rate = baud;
  line.binary = true;
  return line;
}

TEST_F(Pty, OpensExclusively) {
  auto first = OpenTermiosDevice(path_);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(OpenTermiosDevice(path_), nullptr);
  first.reset();
  EXPECT_NE(OpenTermiosDevice(path_), nullptr);
}

// A pseudo-terminal keeps every setting but the character size and parity, which it fixes at 8N.
TEST_F(Pty, LineSettingsRoundTripAndShowOnTheOtherSide) {
  auto port = OpenTermiosDevice(path_);
  ASSERT_NE(port, nullptr);
  const LineSettings cases[] = {
      Raw(115200),
      {14400, 8, true, Parity::None, StopBits::Two, true, false, false},
      {9600, 8, false, Parity::None, StopBits::One, true, false, true},
      {57600, 8, false, Parity::None, StopBits::Two, true, false, false},
  };
  for (const LineSettings& line : cases) {
    ASSERT_TRUE(port->SetLineSettings(line));
    LineSettings read_back, other_side;
    ASSERT_TRUE(port->GetLineSettings(read_back));
    ASSERT_TRUE(GetTermiosLine(master_, other_side));
    EXPECT_EQ(read_back, line) << line.baud_rate;
    EXPECT_EQ(other_side, line) << line.baud_rate;
  }
  EXPECT_FALSE(port->SetLineSettings({9600, 9}));
}

TEST_F(Pty, MovesExactCountsAndReturnsWhatArrivedByTheTimeOut) {
  auto port = OpenTermiosDevice(path_);
  ASSERT_NE(port, nullptr);
  ASSERT_TRUE(port->SetLineSettings(Raw(115200)));
  // The first byte may take its time; 50 ms of silence after the last one end the read.
  ASSERT_TRUE(port->SetTimeouts({50, 0, 5000, 0, 1000}));
  const V sent = {0x00, 0xFF, 0x0A, 0x0D, 0x11, 0x13};  // bytes a terminal would otherwise interpret
  EXPECT_EQ(port->Write(sent).count, sent.size());
  EXPECT_EQ(DeviceReceives(sent.size()), sent);
  DeviceSends({1, 2, 3});
  uint8_t buffer[4] = {};
  const IoResult result = port->Read(buffer);
  EXPECT_EQ(result.count, 3u);
  EXPECT_FALSE(result.failed);
  EXPECT_EQ(V(buffer, buffer + 3), (V{1, 2, 3}));
  EXPECT_TRUE(port->SetDtr(true));  // no modem lines on a pseudo-terminal: accepted
  EXPECT_TRUE(port->SetDtr(false));
}

TEST_F(Pty, AHungUpLineFailsReads) {
  auto port = OpenTermiosDevice(path_);
  ASSERT_NE(port, nullptr);
  ASSERT_TRUE(port->SetTimeouts({1000, 1, 1000, 1, 1000}));
  ::close(master_);
  master_ = -1;
  uint8_t byte = 0;
  const IoResult result = port->Read({&byte, 1});
  EXPECT_EQ(result.count, 0u);
  EXPECT_TRUE(result.failed);
}

}  // namespace
}  // namespace quillet
