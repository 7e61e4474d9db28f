#include "sim/firmware_image.h"

#include <gtest/gtest.h>

#include "support/test_files.h"
#include "core/programmer/firmware_variant.h"
#include "core/programmer/programmer_link.h"
#include "sim/fault_plan.h"
#include "support/temp_dir.h"

namespace quillet::sim {
namespace {

using V = std::vector<uint8_t>;

TEST(FirmwareImage, CarriesItsIdentityAtOffsetSixteen) {
  const V image = MakeFirmwareImage({0xB4, 0x0710}, 100);
  EXPECT_EQ(V(image.begin() + 16, image.begin() + 22), (V{'Q', 'F', 'W', 0xB4, 0x07, 0x10}));
  EXPECT_EQ(ReadFirmwareIdentity(image), (FirmwareIdentity{0xB4, 0x0710}));
  EXPECT_FALSE(ReadFirmwareIdentity(MakeFirmwareImage({0xB4, 0x0710}, 21)));
  V damaged = image;
  damaged[17] = 'X';
  EXPECT_FALSE(ReadFirmwareIdentity(damaged));
}

TEST(FirmwareImage, FilesStoreTheThreeRangesComplemented) {
  const V image = MakeFirmwareImage({0xAB, 0x0700}, 10400);
  const V file = ScrambledFile(image);
  for (std::size_t i = 0; i < image.size(); ++i) {
    const bool scrambled = (i >= 3 && i <= 255) || (i >= 2051 && i <= 2303) || (i >= 10243 && i <= 10399);
    ASSERT_EQ(file[i], scrambled ? static_cast<uint8_t>(~image[i]) : image[i]) << i;
  }
}

TEST(FirmwareImage, SetHoldsEveryVariantAndTheGangController) {
  test_support::TempDir folder;
  const auto paths = WriteFirmwareSet((folder.path() / "fw").string(), 0x0710, 3000, 4096);
  ASSERT_TRUE(paths);
  ASSERT_EQ(paths->size(), kFirmwareVariantCount + 1);
  for (std::size_t i = 0; i < kFirmwareVariantCount; ++i) {
    const VariantInfo& info = Info(static_cast<FirmwareVariant>(i));
    V file = test_support::ReadBytes(folder.File("fw/" + std::string(info.file)));
    ASSERT_EQ(file.size(), 3000u);
    RestoreScrambledRanges(file, file.size());
    EXPECT_EQ(ReadFirmwareIdentity(file), (FirmwareIdentity{info.type_code, 0x0710})) << info.file;
  }
  EXPECT_EQ(ReadFirmwareIdentity(test_support::ReadBytes(folder.File("fw/v0710_GangMCU.DAT"))),
            (FirmwareIdentity{0xAF, 0x0710}));
}

TEST(FaultPlan, ParsesKindAndCount) {
  EXPECT_EQ(ParseFault("drop-to-device:5"), (Fault{FaultKind::DropToDevice, 5}));
  EXPECT_EQ(ParseFault("silent-after:0"), (Fault{FaultKind::SilentAfter, 0}));
  EXPECT_EQ(ParseFault("disconnect-after:2050"), (Fault{FaultKind::DisconnectAfter, 2050}));
  for (const char* bad :
       {"drop-to-device", "drop-to-device:", "drop:5", "wrong-ack:-1", "wrong-ack:5x", ""}) {
    EXPECT_FALSE(ParseFault(bad)) << bad;
  }
  for (const char* text :
       {"corrupt-to-device:1", "drop-to-host:2", "corrupt-to-host:3", "extra-to-host:4", "wrong-ack:9"}) {
    EXPECT_EQ(FaultText(*ParseFault(text)), text);
  }
  const FaultPlan plan{{{FaultKind::WrongAck, 7}, {FaultKind::WrongAck, 3}}};
  EXPECT_TRUE(plan.Has(FaultKind::WrongAck, 3));
  EXPECT_FALSE(plan.Has(FaultKind::WrongAck, 4));
  EXPECT_EQ(plan.First(FaultKind::WrongAck), 3u);
  EXPECT_EQ(plan.First(FaultKind::SilentAfter), std::nullopt);
}

}  // namespace
}  // namespace quillet::sim
