#include "core/images/image_loader.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/report/recording_reporter.h"
#include "support/fake_image_window.h"
#include "core/images/hex_to_bin.h"
#include "support/test_files.h"
#include "support/temp_dir.h"

namespace quillet {
namespace {

using Kind = ReportEvent::Kind;
using test_support::FakeImageWindow;
using test_support::ReadBytes;
using test_support::ScopedTimeZone;
using test_support::TempDir;
using test_support::WriteBytes;
using test_support::WriteText;

// 2011-03-13 07:06:40 UTC.
constexpr std::time_t kModified = 1300000000;

std::vector<uint8_t> Pattern(std::size_t size, uint8_t start = 1) {
  std::vector<uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(start + i * 7);
  return bytes;
}

class ImageLoaderTest : public ::testing::Test {
 protected:
  // Points an area at a file, as Load File does, without the dialog.
  void Give(ImageArea area, const std::string& name) { AttachImageFile((*images)[area], dir.File(name)); }
  // Gives each area its own file holding `bytes`, changed at kModified.
  void GiveEveryArea(const std::vector<uint8_t>& bytes) {
    for (ImageArea area : kImageAreas) {
      WriteBytes(dir.File(std::string(AreaName(area)) + ".bin"), bytes, kModified);
      Give(area, std::string(AreaName(area)) + ".bin");
    }
  }
  void Reload() { ReloadImages(*images, job, &window, reporter); }
  std::vector<uint8_t> Stamp(ImageArea area) {
    const auto bytes = (*images)[area].Stamp();
    return {bytes.begin(), bytes.end()};
  }

  ScopedTimeZone zone{"UTC0"};
  TempDir dir;
  VirtualClock clock;
  RecordingReporter reporter{clock};
  std::unique_ptr<ImageBuffers> images = std::make_unique<ImageBuffers>();
  JobSettings job;
  FakeImageWindow window;
};

TEST_F(ImageLoaderTest, HexIsJudgedByTheExtensionsFirstThreeLetters) {
  struct Case {
    ImageArea area;
    const char* ext;
    bool hex;
  };
  for (const Case& c : {Case{ImageArea::Aprom, "HEX", true}, Case{ImageArea::Aprom, "hex", true},
                        Case{ImageArea::Ldrom, "Hex", true}, Case{ImageArea::Aprom, "hexfile", true},
                        Case{ImageArea::Aprom, "hx", false}, Case{ImageArea::Aprom, "", false},
                        Case{ImageArea::Aprom, "bin", false}, Case{ImageArea::Ldrom, "xhex", false},
                        Case{ImageArea::DataFlash, "hex", false}}) {
    SCOPED_TRACE(c.ext);
    EXPECT_EQ(IsHexFile(c.area, c.ext), c.hex);
  }
}

TEST_F(ImageLoaderTest, EmptyFilesGiveSizeZeroAndAllOnesAddresses) {
  GiveEveryArea({});
  job.ApromSelected = job.DataFlashSelected = job.LdromSelected = true;
  Reload();
  // 07:06:40 gives second 40 (0x28) and minute 6.
  EXPECT_EQ(images->aprom.size, 0u);
  EXPECT_EQ(images->aprom.checksum, 0u);
  EXPECT_EQ(images->aprom.lastAddress, 0xFFFFFFFFu);
  EXPECT_EQ(Stamp(ImageArea::Aprom), (std::vector<uint8_t>{0, 0, 0x28, 6, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(Stamp(ImageArea::DataFlash), (std::vector<uint8_t>{0x28, 6, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(Stamp(ImageArea::Ldrom), (std::vector<uint8_t>{0x28, 6, 0, 0, 0, 0xFF, 0xFF}));
}

TEST_F(ImageLoaderTest, StampsCarryTimeSumsAndConfigChecksum) {
  // 70,000 bytes whose sum and last address use every stamp byte.
  const std::vector<uint8_t> code(70000, 0xFF);  // sum 0x01105E90, last address 0x01116F
  GiveEveryArea(code);
  job.ApromSelected = job.DataFlashSelected = job.LdromSelected = job.ConfigSelected = true;
  job.ConfigBytes = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x9F, 0xFF, 0xFE};  // sum 0x0797
  Reload();
  EXPECT_EQ(images->ConfigChecksum, 0x0797);
  EXPECT_EQ(Stamp(ImageArea::Aprom),
            (std::vector<uint8_t>{0x97, 0x07, 0x28, 6, 0x90, 0x5E, 0x10, 0x01, 0x6F, 0x11, 0x01}));
  EXPECT_EQ(Stamp(ImageArea::DataFlash),
            (std::vector<uint8_t>{0x28, 6, 0x90, 0x5E, 0x10, 0x01, 0x6F, 0x11, 0x01}));
  EXPECT_EQ(Stamp(ImageArea::Ldrom), (std::vector<uint8_t>{0x28, 6, 0x90, 0x5E, 0x10, 0x6F, 0x11}));
  EXPECT_EQ(images->aprom.sizeLow, 70000u & 0xFF);
  EXPECT_EQ(images->aprom.sizeHigh, 70000u >> 8);
}

TEST_F(ImageLoaderTest, StampTimeIsLocalTime) {
  ScopedTimeZone kathmandu("QQQ-05:45");  // 07:06:40 UTC is 12:51:40 here
  WriteBytes(dir.File("a.bin"), {1}, kModified);
  Give(ImageArea::Ldrom, "a.bin");
  Reload();
  EXPECT_EQ(images->ldrom.ImageStamp[0], 40);
  EXPECT_EQ(images->ldrom.ImageStamp[1], 51);
}

TEST_F(ImageLoaderTest, UnselectedAreasAndConfigLoseTheirLowChecksumBytes) {
  WriteBytes(dir.File("a.bin"), {0x12, 0x34, 0x56}, kModified);
  Give(ImageArea::Aprom, "a.bin");
  Give(ImageArea::DataFlash, "a.bin");
  job.ApromSelected = true;
  job.ConfigSelected = false;
  job.ConfigBytes = {1, 2, 3, 4, 5, 6, 7, 8};
  Reload();
  EXPECT_EQ(images->ConfigChecksum, 0);
  EXPECT_EQ(Stamp(ImageArea::Aprom), (std::vector<uint8_t>{0, 0, 0x28, 6, 0x9C, 0, 0, 0, 2, 0, 0}));
  EXPECT_EQ(Stamp(ImageArea::DataFlash), (std::vector<uint8_t>{0x28, 6, 0, 0, 0, 0, 2, 0, 0}));
}

TEST_F(ImageLoaderTest, ShorterFileKeepsTheRestOfTheBuffer) {
  const std::vector<uint8_t> first = Pattern(2000, 3);
  WriteBytes(dir.File("a.bin"), first);
  Give(ImageArea::Aprom, "a.bin");
  Reload();
  const std::vector<uint8_t> second(1000, 0x01);
  WriteBytes(dir.File("a.bin"), second);
  Reload();
  EXPECT_EQ(images->aprom.size, 1000u);
  EXPECT_EQ(images->aprom.checksum, 1000u);
  EXPECT_TRUE(std::equal(first.begin() + 1000, first.end(), images->aprom.data.begin() + 1000));
  EXPECT_EQ(window.shownBytes, second);
  EXPECT_EQ(window.shownTexts->size, "1000 Bytes");
  EXPECT_EQ(window.shownTexts->checksum, "0x03E8");
}

TEST_F(ImageLoaderTest, ViewShowsTheCurrentTabsArea) {
  std::vector<uint8_t> bytes(0x12345 / 0xFF, 0xFF);  // 0x12345 = 292 * 0xFF + 0x69
  bytes.push_back(0x69);
  WriteBytes(dir.File("d.dat"), bytes);
  Give(ImageArea::DataFlash, "d.dat");
  window.tab = 1;
  Reload();
  EXPECT_EQ(window.shownTexts, (ImageTexts{dir.File("d.dat"), "293 Bytes", "0x2345", "Data Size:"}));
  window.dataFlashTabShown = false;  // tab 1 is LDROM now, which has no file
  Reload();
  EXPECT_FALSE(window.shownTexts.has_value());
}

TEST_F(ImageLoaderTest, ProjectImagesShowTheProjectNameAndStoredName) {
  ImageBuffer& image = images->ldrom;
  image.fromProject = true;
  image.SetStoredName("code.bin");
  image.path = "/opt/q/_LD_file.BIN";
  EXPECT_EQ(TextsOf(image, "job.TPJ").fileName, "job.TPJ\\code.bin");
  EXPECT_EQ(TextsOf(image, "job.TPJ").sizeLabel, "Code Size:");
  image.fromProject = false;
  EXPECT_EQ(TextsOf(image, "job.TPJ").fileName, "/opt/q/_LD_file.BIN");
}

TEST_F(ImageLoaderTest, StoredNameIsCutToSixtyThreeBytesOnACharacterBoundary) {
  ImageBuffer& image = images->aprom;
  image.SetStoredName(std::string(70, 'a'));
  EXPECT_EQ(image.StoredName(), std::string(63, 'a'));
  EXPECT_EQ(image.storedName[63], '\0');
  image.SetStoredName(std::string(62, 'a') + "\xC3\xA9" + "x");  // the 2-byte letter would straddle byte 63
  EXPECT_EQ(image.StoredName(), std::string(62, 'a'));
}

TEST_F(ImageLoaderTest, HexFilesConvertAndBinaryLookalikesLoadRaw) {
  const std::string hex = ":0200100012347A\n:00000001FF\n";
  for (const char* name : {"code.HEX", "code.hexfile"}) {
    SCOPED_TRACE(name);
    WriteText(dir.File(name), hex);
    Give(ImageArea::Aprom, name);
    Reload();
    EXPECT_EQ(images->aprom.size, 0x12u);
    EXPECT_EQ(images->aprom.data[0x10], 0x12);
  }
  for (const char* name : {"code.hx", "code"}) {
    SCOPED_TRACE(name);
    WriteText(dir.File(name), hex);
    Give(ImageArea::Aprom, name);
    Reload();
    EXPECT_EQ(images->aprom.size, hex.size());
    EXPECT_EQ(images->aprom.data[0], ':');
  }
  WriteText(dir.File("data.hex"), hex);
  Give(ImageArea::DataFlash, "data.hex");
  Reload();
  EXPECT_EQ(images->dataFlash.size, hex.size());
}

// One area's file cannot be read: earlier areas are renewed, this and later ones keep everything,
// the view and the sums of the last steps are untouched.
TEST_F(ImageLoaderTest, OpenFailureStopsTheReloadAtThatArea) {
  WriteBytes(dir.File("a.bin"), {1, 2, 3}, kModified);
  WriteBytes(dir.File("d.bin"), {4, 5}, kModified);
  WriteBytes(dir.File("l.bin"), {6}, kModified);
  Give(ImageArea::Aprom, "a.bin");
  Give(ImageArea::DataFlash, "d.bin");
  Give(ImageArea::Ldrom, "l.bin");
  job.ApromSelected = job.DataFlashSelected = job.LdromSelected = job.ConfigSelected = true;
  Reload();
  const ImageBuffers before = *images;
  const int clears = window.clears;

  WriteBytes(dir.File("a.bin"), {9, 9, 9, 9}, kModified + 1);
  std::remove(dir.File("d.bin").c_str());
  WriteBytes(dir.File("l.bin"), {7, 7}, kModified + 1);
  job.ConfigBytes[0] = 0;
  reporter.Clear();
  Reload();

  EXPECT_EQ(reporter.Texts(Kind::Fail), std::vector<std::string>{"Open DataFlash file error !"});
  EXPECT_EQ(images->aprom.size, 4u);
  EXPECT_EQ(images->aprom.ImageStamp[2], 41);
  EXPECT_EQ(images->dataFlash.size, before.dataFlash.size);
  EXPECT_EQ(images->dataFlash.ImageStamp, before.dataFlash.ImageStamp);
  EXPECT_EQ(images->ldrom.size, 1u);
  EXPECT_EQ(images->ldrom.ImageStamp, before.ldrom.ImageStamp);
  EXPECT_EQ(images->ConfigChecksum, before.ConfigChecksum);
  EXPECT_EQ(window.clears, clears);
}

TEST_F(ImageLoaderTest, HexFailureZeroesTheDataButKeepsSizeAndSums) {
  WriteText(dir.File("a.hex"), ":0300000001020300\n:00000001FF\n", kModified);
  Give(ImageArea::Aprom, "a.hex");
  job.ApromSelected = true;
  Reload();
  ASSERT_EQ(images->aprom.size, 3u);
  const auto stamp_before = images->aprom.ImageStamp;

  WriteText(dir.File("a.hex"), ":0300000001", kModified + 75);  // 07:07:55
  reporter.Clear();
  Reload();
  EXPECT_EQ(reporter.Texts(Kind::Debug), std::vector<std::string>{kNotIntelHexMessage});
  EXPECT_EQ(reporter.Texts(Kind::Fail), std::vector<std::string>{"Hex_to_Bin conversion failed !"});
  EXPECT_EQ(images->aprom.size, 3u);
  EXPECT_EQ(images->aprom.checksum, 6u);
  EXPECT_TRUE(
      std::all_of(images->aprom.data.begin(), images->aprom.data.end(), [](uint8_t b) { return b == 0; }));
  auto expected = stamp_before;
  expected[2] = 55;
  expected[3] = 7;
  EXPECT_EQ(images->aprom.ImageStamp, expected);
}

TEST_F(ImageLoaderTest, BinaryOverTheBufferIsRefusedUnread) {
  WriteBytes(dir.File("big.bin"), Pattern(kImageCapacity + 1));
  WriteBytes(dir.File("full.bin"), Pattern(kImageCapacity));
  Give(ImageArea::Ldrom, "full.bin");
  Reload();
  EXPECT_EQ(images->ldrom.size, kImageCapacity);
  Give(ImageArea::Ldrom, "big.bin");
  images->ldrom.data.assign(kImageCapacity, 0xA5);
  reporter.Clear();
  Reload();
  EXPECT_EQ(reporter.Texts(Kind::Fail), std::vector<std::string>{"LDROM file is too large (> 256 KB) !"});
  EXPECT_EQ(images->ldrom.size, kImageCapacity);
  EXPECT_TRUE(
      std::all_of(images->ldrom.data.begin(), images->ldrom.data.end(), [](uint8_t b) { return b == 0xA5; }));
}

TEST_F(ImageLoaderTest, NoFilesClearsTheViewOnly) {
  images->aprom.ImageStamp[5] = 0x77;
  images->ConfigChecksum = 0x1234;
  job.ConfigSelected = false;
  Reload();
  EXPECT_EQ(window.clears, 1);
  EXPECT_EQ(images->aprom.ImageStamp[5], 0x77);
  EXPECT_EQ(images->ConfigChecksum, 0x1234);
}

TEST_F(ImageLoaderTest, LoadFileOffersFiltersPerArea) {
  window.chosenPath.reset();
  OnLoadFile(*images, job, window, reporter);
  EXPECT_EQ(window.dialogFilters, (std::vector<FileFilter>{{"HEX Files (*.HEX)", "*.HEX"},
                                                           {"Binary Files (*.BIN)", "*.BIN"},
                                                           {"All Files (*.*)", "*.*"}}));
  window.tab = 1;
  OnLoadFile(*images, job, window, reporter);
  EXPECT_EQ(window.dialogFilters, (std::vector<FileFilter>{{"All Files (*.*)", "*.*"}}));
  // Cancel changes nothing.
  EXPECT_FALSE(images->dataFlash.hasFile);
  EXPECT_EQ(window.refreshes, 0);
}

TEST_F(ImageLoaderTest, LoadFileFillsTheAreaAndSelectsIt) {
  WriteText(dir.File("fw.Hex"), ":0100000042BD\n:00000001FF\n");
  window.tab = 2;
  window.chosenPath = dir.File("fw.Hex");
  images->ldrom.fromProject = true;
  OnLoadFile(*images, job, window, reporter);
  const ImageBuffer& image = images->ldrom;
  EXPECT_EQ(image.path, dir.File("fw.Hex"));
  EXPECT_EQ(image.fileName, "fw.Hex");
  EXPECT_EQ(image.fileTitle, "fw");
  EXPECT_EQ(image.fileExt, "Hex");
  EXPECT_EQ(image.StoredName(), "fw.Hex");
  EXPECT_TRUE(image.isHex && image.hasFile);
  EXPECT_FALSE(image.fromProject);
  EXPECT_EQ(image.size, 1u);
  EXPECT_TRUE(job.LdromSelected);
  EXPECT_EQ(window.checkedBoxes, std::vector<ImageArea>{ImageArea::Ldrom});
  EXPECT_EQ(window.refreshes, 1);
  EXPECT_EQ(window.shownBytes, std::vector<uint8_t>{0x42});
}

TEST_F(ImageLoaderTest, LoadFileSelectsTheAreaEvenWhenTheFileFails) {
  WriteText(dir.File("bad.hex"), "no hex here");
  window.chosenPath = dir.File("bad.hex");
  OnLoadFile(*images, job, window, reporter);
  EXPECT_EQ(reporter.Texts(Kind::Fail), std::vector<std::string>{"Hex_to_Bin conversion failed !"});
  EXPECT_TRUE(job.ApromSelected);
  EXPECT_EQ(window.refreshes, 1);
}

TEST_F(ImageLoaderTest, LoadFileWithoutATabFails) {
  window.tab = -1;
  window.chosenPath = dir.File("x.bin");
  OnLoadFile(*images, job, window, reporter);
  EXPECT_EQ(reporter.Texts(Kind::Fail), std::vector<std::string>{"Load file buffer error !"});
  EXPECT_TRUE(window.dialogFilters.empty());
  EXPECT_FALSE(images->AnyFile());
}

}  // namespace
}  // namespace quillet
