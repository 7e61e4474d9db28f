// Save Proj and Load Proj: the companion files, the part looked up in its type's list, and loads
// refused with nothing changed.
#include "core/storage/project_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "core/images/image_loader.h"
#include "core/job/setup_part.h"
#include "core/report/recording_reporter.h"
#include "support/fake_image_window.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace quillet {
namespace {

using test_support::ReadBytes;
using test_support::WriteBytes;
using V = std::vector<uint8_t>;
using S = std::vector<std::string>;

V Pattern(std::size_t size, uint8_t seed) {
  V bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 11);
  return bytes;
}

class ProjectCommandsTest : public ::testing::Test {
 protected:
  ProjectCommandsTest() {
    // As start-up leaves the names with ISP selected.
    catalogue.SaveComOnlyNames();
    catalogue.HideComOnlyNames(kStartUpHiddenLast);
    SetupPart(job, catalogue);
  }

  ProjectTarget Target() { return {job, *images, catalogue, saved, app.path().string() + "/"}; }
  int Load(const std::string& path, bool* search = nullptr) {
    return LoadProjectFile(path, Target(), reporter, search);
  }
  S Texts(ReportEvent::Kind kind) { return reporter.Texts(kind); }

  // A project for part `code` in `mode` holding the given images, written by the save command.
  std::string SaveJob(uint32_t code, uint8_t mode, const std::vector<std::pair<ImageArea, V>>& parts = {}) {
    JobSettings source;
    source.ProgrammerMode = mode;
    source.PartCode = code;
    SetupPart(source, catalogue);
    auto buffers = std::make_unique<ImageBuffers>();
    for (const auto& [area, bytes] : parts) {
      ImageBuffer& image = (*buffers)[area];
      std::copy(bytes.begin(), bytes.end(), image.data.begin());
      image.size = static_cast<uint32_t>(bytes.size());
      image.UpdateSums();
      image.SetStoredName(std::string(AreaName(area)) + "_code.bin");
      SelectedFlag(source, area) = true;
    }
    source.ChipCounter = 999;
    // Codes 40..48 carry their names while ISP by COM Port is selected.
    if (mode == kTypeComIsp) catalogue.RestoreComOnlyNames();
    EXPECT_EQ(SaveProjectFile(dir.File("job.TPJ"), source, *buffers, catalogue, reporter), 1);
    catalogue.HideComOnlyNames(kStartUpHiddenLast);
    return dir.File("job.TPJ");
  }

  // Everything a failed load must leave as it was.
  V State() {
    JobSettings copy = job;
    copy.BuildItemFlags();
    V state = EncodeProject(copy, catalogue.PartName(job.PartCode), *images);
    state.push_back(static_cast<uint8_t>(job.PartCode));
    for (ImageArea area : kImageAreas) state.push_back((*images)[area].hasFile);
    for (uint32_t code = kComOnlyFirst; code <= kComOnlyLast; ++code)
      state.insert(state.end(), catalogue.PartName(code).begin(), catalogue.PartName(code).end());
    return state;
  }

  test_support::TempDir dir, app;
  PartCatalogue catalogue;
  SavedPartCodes saved;
  VirtualClock clock;
  RecordingReporter reporter{clock};
  JobSettings job;
  std::unique_ptr<ImageBuffers> images = std::make_unique<ImageBuffers>();
};

TEST_F(ProjectCommandsTest, LoadWritesCompanionFilesAndPointsTheBuffersAtThem) {
  const V aprom = Pattern(1000, 1), ldrom = Pattern(2048, 2);
  const std::string path = SaveJob(850, kTypeIcp, {{ImageArea::Aprom, aprom}, {ImageArea::Ldrom, ldrom}});
  images->dataFlash.hasFile = true;  // not in the project: forgotten
  job.ChipCounter = 5;
  bool search = true;
  ASSERT_EQ(Load(path, &search), 1);
  EXPECT_FALSE(search);
  EXPECT_EQ(job.PartCode, 850u);
  EXPECT_TRUE(job.CategoryMode && job.ApromSelected && job.LdromSelected);
  EXPECT_EQ(job.ChipCounter, 5u);
  EXPECT_EQ(ReadBytes(app.File("_AP_file.BIN")), aprom);
  EXPECT_EQ(ReadBytes(app.File("_LD_file.BIN")), ldrom);
  const ImageBuffer& image = images->ldrom;
  EXPECT_EQ(image.path, app.File("_LD_file.BIN"));
  EXPECT_TRUE(image.hasFile && image.fromProject && !image.isHex);
  EXPECT_EQ(image.StoredName(), "LDROM_code.bin");
  EXPECT_FALSE(images->dataFlash.hasFile);
  EXPECT_EQ(images->project.fileName, "job.TPJ");

  // The refresh's reload reads the companion files back; the view names the project.
  test_support::FakeImageWindow window;
  window.tab = 2;
  ReloadImages(*images, job, &window, reporter);
  EXPECT_EQ(images->ldrom.checksum, ByteSum(ldrom));
  EXPECT_EQ(window.shownTexts->fileName, "job.TPJ\\LDROM_code.bin");
  EXPECT_TRUE(Texts(ReportEvent::Kind::Fail).empty());
}

// The Programmer stores an image's file time as its stamp: loading the same project again must not
// look like a new image, while a companion holding other bytes is written anew.
TEST_F(ProjectCommandsTest, CompanionHoldingTheProjectsBytesKeepsItsFileTime) {
  const V aprom = Pattern(1000, 1);
  const std::string path = SaveJob(850, kTypeIcp, {{ImageArea::Aprom, aprom}});
  const std::string companion = app.File("_AP_file.BIN");
  const auto old_time = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
  for (const V& before : {aprom, Pattern(1000, 9)}) {
    WriteBytes(companion, before);
    std::filesystem::last_write_time(companion, old_time);
    ASSERT_EQ(Load(path), 1);
    EXPECT_EQ(ReadBytes(companion), aprom);
    EXPECT_EQ(std::filesystem::last_write_time(companion) == old_time, before == aprom);
  }
}

// Another writer may fill the 64-byte name field without a closing zero: a load and a save keep it.
TEST_F(ProjectCommandsTest, FullStoredNameRoundTripsWhole) {
  V file = ReadBytes(SaveJob(200, kTypeIcp, {{ImageArea::Aprom, Pattern(300, 3)}}));
  std::fill_n(file.begin() + 256, kStoredNameSize, uint8_t{'N'});  // the APROM section's name
  WriteBytes(dir.File("other.TPJ"), file);
  ASSERT_EQ(Load(dir.File("other.TPJ")), 1);
  EXPECT_EQ(images->aprom.StoredName(), std::string(kStoredNameSize, 'N'));
  ASSERT_EQ(SaveProjectFile(dir.File("again.TPJ"), job, *images, catalogue, reporter), 1);
  const V again = ReadBytes(dir.File("again.TPJ"));
  EXPECT_EQ(V(again.begin() + 256, again.begin() + 256 + kStoredNameSize), V(kStoredNameSize, 'N'));
}

TEST_F(ProjectCommandsTest, OldNamesAndComPortOnlyNamesAreFoundAndTheOtherListsPartRemembered) {
  job.PartCode = 5;
  V file = ReadBytes(SaveJob(115, kTypeIcp));
  std::copy_n("QMD(I)16A\0", 10, file.begin() + 16);
  WriteBytes(dir.File("old.TPJ"), file);
  ASSERT_EQ(Load(dir.File("old.TPJ")), 1);
  EXPECT_EQ(job.PartCode, 115u);
  EXPECT_EQ(saved.SavedIspPartCode, 5u);  // for the way back to ISP

  bool search = false;
  ASSERT_EQ(Load(SaveJob(40, kTypeComIsp), &search), 1);
  EXPECT_EQ(job.PartCode, 40u);
  EXPECT_TRUE(search);
  EXPECT_EQ(saved.SavedIcpPartCode, 115u);
  EXPECT_EQ(catalogue.PartName(40), catalogue.ComOnlyPartNames()[40]);
  EXPECT_EQ(catalogue.PartName(49), "-");  // only 40..48 come back
  ASSERT_EQ(Load(SaveJob(900, kTypeIcp)), 1);
  EXPECT_EQ(saved.SavedIspPartCode, 40u);
}

TEST_F(ProjectCommandsTest, RefusedLoadsChangeNothing) {
  const V good = ReadBytes(SaveJob(200, kTypeIcp, {{ImageArea::Aprom, Pattern(300, 3)}}));
  ASSERT_EQ(Load(dir.File("job.TPJ")), 1);
  images->aprom.data[0] ^= 0xFF;  // tells an unchanged buffer from one written again
  const V com_only = ReadBytes(SaveJob(40, kTypeComIsp));
  const auto changed = [](V file, std::size_t at, uint8_t value) {
    file[at] = value;
    return file;
  };
  const struct {
    const char* name;
    V bytes;
    const char* failure;  // else the part is not found
  } cases[] = {
      {"empty", {}, "TPJ format error !"},
      {"header only half", {good.begin(), good.begin() + 128}, "TPJ format error !"},
      {"section cut", {good.begin(), good.end() - 1}, "TPJ format error !"},
      {"oversized section", changed(good, 256 + 66, 0x04), "TPJ format error !"},
      {"unknown type", changed(good, 32, 0x03), "TPJ format error !"},
      {"Gang and P.M.", changed(good, 32, 0xC1), "TPJ format error !"},
      {"longer than any project", V(kProjectMaxSize + 1, 'A'), "TPJ format error !"},
      // In the ICP list there is no such part; in the ISP list code 40 has no name outside ISP by COM Port.
      {"COM port only part in ICP", changed(com_only, 32, kTypeIcp), nullptr},
      {"COM port only part in ISP", changed(com_only, 32, kTypeIsp), nullptr},
  };
  // Even with the COM port names shown, an ISP project's code 40 names no part.
  job.ProgrammerMode = kTypeComIsp;
  catalogue.RestoreComOnlyNames();
  const V before = State();
  const V buffer_before = images->aprom.data;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(dir.File("bad.TPJ"), c.bytes);
    reporter.Clear();
    EXPECT_EQ(Load(dir.File("bad.TPJ")), 0);
    EXPECT_EQ(Texts(ReportEvent::Kind::Fail), c.failure ? S{c.failure} : S{});
    EXPECT_EQ(Texts(ReportEvent::Kind::Warning), c.failure ? S{} : S{"TPJ's part is not found !"});
    EXPECT_EQ(State(), before);
    EXPECT_EQ(images->aprom.data, buffer_before);
  }
  reporter.Clear();
  EXPECT_EQ(Load(dir.File("missing.TPJ")), 0);
  EXPECT_EQ(Texts(ReportEvent::Kind::Fail), S{"Open file error !"});
  uint32_t seed = 7;
  for (int round = 0; round < 100; ++round) {
    V bytes(256 + round * 73);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>((seed = seed * 1664525u + 1013904223u) >> 24);
    bytes[12] = 'A';
    WriteBytes(dir.File("random.TPJ"), bytes);
    EXPECT_EQ(Load(dir.File("random.TPJ")), 0);
  }
  EXPECT_EQ(State(), before);
}

TEST_F(ProjectCommandsTest, UnwritableCompanionLeavesThatAreaWithoutAFile) {
  const std::string path = SaveJob(200, kTypeIcp, {{ImageArea::Aprom, Pattern(10, 4)}});
  ProjectTarget target = Target();
  target.appFolder = app.File("no such folder") + "/";
  EXPECT_EQ(LoadProjectFile(path, target, reporter), 1);
  EXPECT_EQ(Texts(ReportEvent::Kind::Fail), S{"'_AP_file.BIN' cannot be created !"});
  EXPECT_FALSE(images->aprom.hasFile);
  EXPECT_TRUE(images->aprom.path.empty());
  EXPECT_EQ(job.PartCode, 200u);
}

TEST_F(ProjectCommandsTest, ButtonsSaveTheBuiltFlagsAndRefreshAfterALoadOnly) {
  job.ProgrammerMode = kTypeIcp;
  job.PartCode = 200;
  SetupPart(job, catalogue);
  job.ApromSelected = job.ConfigSelected = true;
  job.ItemFlags = 0x20;  // bit 5 is kept
  test_support::FakeImageWindow window;
  window.chosenPath = dir.File("out.TPJ");
  OnSaveProject(job, *images, catalogue, window, reporter);
  EXPECT_EQ(window.dialogFilters, ProjectFileFilters());
  EXPECT_EQ(window.dialogDefaultExt, "TPJ");
  const auto project = DecodeProject(ReadBytes(dir.File("out.TPJ")));
  ASSERT_TRUE(project.has_value());
  EXPECT_EQ(project->ItemFlags, 0x80 | 0x20 | 0x08 | 0x01);
  EXPECT_EQ(project->PartName, catalogue.PartName(200));
  EXPECT_EQ(images->project.fileName, "out.TPJ");
  window.chosenPath = app.File("no such folder/out.TPJ");
  OnSaveProject(job, *images, catalogue, window, reporter);
  EXPECT_EQ(Texts(ReportEvent::Kind::Fail), S{"Open file error !"});

  window.chosenPath.reset();  // Cancel
  OnLoadProject(Target(), window, reporter);
  EXPECT_TRUE(window.projectRefreshes.empty());
  window.chosenPath = SaveJob(41, kTypeComIsp);
  OnLoadProject(Target(), window, reporter);
  EXPECT_EQ(window.projectRefreshes, std::vector<bool>{true});
  window.chosenPath = dir.File("missing.TPJ");
  OnLoadProject(Target(), window, reporter);
  EXPECT_EQ(window.projectRefreshes.size(), 1u);
}

}  // namespace
}  // namespace quillet
