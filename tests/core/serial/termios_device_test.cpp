// The termios backend on a pseudo-terminal: the test holds the master side and plays the device.
// Raw transfers and read time-outs run end to end in tests/sim/*.py.
#include "core/serial/termios_device.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
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
      {57600, 8, false, Parity::None, StopBits::Two, true, false, false, true},
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

// With abort-on-error the terminal marks line errors and doubles a received 0xFF; the read undoes
// the doubling, so every byte value still arrives as itself.
TEST_F(Pty, AbortOnErrorPassesEveryByteValue) {
  auto port = OpenTermiosDevice(path_);
  ASSERT_NE(port, nullptr);
  LineSettings line = Raw(115200);
  line.abort_on_error = true;
  ASSERT_TRUE(port->SetLineSettings(line));
  ASSERT_TRUE(port->SetTimeouts({50, 0, 5000, 0, 1000}));
  const V sent = {0xFF, 0x00, 0xFF, 0xFF, 0x41};
  DeviceSends(sent);
  uint8_t buffer[5] = {};
  const IoResult result = port->Read(buffer);
  EXPECT_EQ(V(buffer, buffer + result.count), sent);
  EXPECT_FALSE(result.failed);
}

// A pseudo-terminal passes bytes on at once: the drain itself waits their wire time.
TEST_F(Pty, DrainWaitsTheWireTimeOfWhatWasWritten) {
  auto port = OpenTermiosDevice(path_);
  ASSERT_NE(port, nullptr);
  ASSERT_TRUE(port->SetLineSettings(Raw(1200)));  // 10 bits a byte: 120 bytes take one second
  ASSERT_TRUE(port->SetTimeouts({0, 0, 0, 0, 1000}));
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(port->Write(V(12, 0x55)).count, 12u);
  EXPECT_TRUE(port->Drain());
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
}

// Marked input: 0xFF 0xFF is a received 0xFF; 0xFF 0x00 x is a byte with a line error, which ends
// the decoding. Sequences may be split across reads.
TEST(MarkedInput, DecodesDoubledBytesAndStopsAtAMarkedOne) {
  struct {
    const char* name;
    std::vector<V> reads;
    V decoded;
    bool error;
  } const cases[] = {
      {"plain", {{0x01, 0x00, 0xFE}}, {0x01, 0x00, 0xFE}, false},
      {"doubled", {{0xFF, 0xFF, 0x02}}, {0xFF, 0x02}, false},
      {"doubled across reads", {{0x01, 0xFF}, {0xFF}}, {0x01, 0xFF}, false},
      {"parity or framing error", {{0x01, 0xFF, 0x00, 0x41, 0x02}}, {0x01}, true},
      {"break", {{0xFF, 0x00, 0x00}}, {}, true},
      {"mark across reads", {{0x03, 0xFF}, {0x00}, {0x41}}, {0x03}, true},
      {"never sent by a terminal", {{0xFF, 0x41}}, {}, true},
  };
  for (const auto& c : cases) {
    MarkedInput state;
    V decoded;
    bool error = false;
    for (V read : c.reads) {
      const DecodedInput result = DecodeMarkedInput(read, state);
      decoded.insert(decoded.end(), read.begin(), read.begin() + result.count);
      error = error || result.error;
    }
    EXPECT_EQ(decoded, c.decoded) << c.name;
    EXPECT_EQ(error, c.error) << c.name;
    EXPECT_EQ(state.pending, 0) << c.name;
  }
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
