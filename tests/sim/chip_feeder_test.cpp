// The chip feeder: how many chips it hands out, which sockets stay empty, and --chip's text.
#include <gtest/gtest.h>

#include "sim/chip_feeder.h"

namespace quillet::sim {
namespace {

TEST(ChipFeeder, HandsOutItsChipsInTurnAndAFreshOneAfterEach) {
  ChipFeeder feeder(3);
  feeder.AddFlaw(2, ChipFlaw::Missing);
  feeder.AddFlaw(4, ChipFlaw::Locked);
  EXPECT_EQ(feeder.Seat(2), nullptr);
  Chip* first = feeder.Seat(1);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(feeder.Seat(1), first);  // the same chip until it is done
  ASSERT_NE(feeder.Seat(4), nullptr);
  EXPECT_TRUE(feeder.Seat(4)->Locked());
  EXPECT_FALSE(first->Locked());
  feeder.Done(1, true, "0000000000000001");
  feeder.Done(4, false, "");
  ASSERT_NE(feeder.Seat(1), nullptr);  // the third chip
  feeder.Done(1, true, "");
  EXPECT_EQ(feeder.Seat(1), nullptr);
  EXPECT_EQ(feeder.Seat(3), nullptr);
  ASSERT_EQ(feeder.programmed().size(), 3u);
  EXPECT_EQ(feeder.programmed()[1].seq, 2u);
  EXPECT_EQ(feeder.programmed()[1].socket, 4);
  EXPECT_FALSE(feeder.programmed()[1].passed);
}

TEST(ChipFeeder, SocketFlawText) {
  const auto parsed = ParseSocketFlaw("3:fail-dataflash");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->socket, 3);
  EXPECT_EQ(parsed->flaw, ChipFlaw::FailDataFlash);
  for (const char* bad : {"5:locked", "locked", ":locked", "1:", "1:fail", "x:missing", "-1:missing"}) {
    EXPECT_FALSE(ParseSocketFlaw(bad)) << bad;
  }
}

}  // namespace
}  // namespace quillet::sim
