#include "core/serial/wire_trace.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/temp_dir.h"

namespace quillet {
namespace {

TEST(WireTrace, WritesOneLinePerByteAndReadsItBack) {
  test_support::TempDir folder;
  const std::string path = folder.File("line.trace");
  {
    WireTrace trace;
    ASSERT_TRUE(trace.OpenFile(path));
    trace.SetOrigin(Micros(1000));
    trace.Byte(Micros(1087), WireDirection::ToDevice, 0xC1);
    trace.Note(Micros(1100), "open /dev/pts/3");
    trace.Byte(Micros(1174), WireDirection::ToHost, 0xA5);
    EXPECT_EQ(trace.Bytes(WireDirection::ToHost), std::vector<uint8_t>{0xA5});
  }
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(),
            "# wire trace: time in microseconds, '>' host to device, '<' device to host\n"
            "        87 > C1\n"
            "       100 # open /dev/pts/3\n"
            "       174 < A5\n");
  EXPECT_EQ(ParseWireTrace(text.str()), (std::vector<WireEvent>{{Micros(87), WireDirection::ToDevice, 0xC1},
                                                                {Micros(174), WireDirection::ToHost, 0xA5}}));
  EXPECT_TRUE(ParseWireTrace("12 > 1FF\n12 = 01\nx > 01\n").empty());
}

}  // namespace
}  // namespace quillet
