#include "core/storage/project_commands.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/report/recording_reporter.h"
#include "core/job/setup_part.h"
#include "support/fake_image_window.h"
#include "core/images/image_loader.h"
#include "core/storage/project_file.h"
#include "support/test_files.h"
#include "support/temp_dir.h"

namespace quillet {
namespace {

using Kind = ReportEvent::Kind;
using test_support::FakeImageWindow;
using test_support::ReadBytes;
using test_support::TempDir;
using test_support::WriteBytes;

std::vector<uint8_t> Pattern(std::size_t size, uint8_t seed) {
  std::vector<uint8_t> bytes(size);
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

  // A project for part `code` in `mode` holding the given images, written by the save command.
  std::string SaveJob(uint32_t code, uint8_t mode,
                      const std::vector<std::pair<ImageArea, std::vector<uint8_t>>>& parts,
                      const std::string& name = "job.TPJ") {
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
    const std::string path = dir.File(name);
    // Codes 40..48 carry their names while ISP by COM Port is selected.
    if (mode == kTypeComIsp) catalogue.RestoreComOnlyNames();
    EXPECT_EQ(SaveProjectFile(path, source, *buffers, catalogue, reporter), 1);
    catalogue.HideComOnlyNames(kStartUpHiddenLast);
    return path;
  }

  // Everything a failed load must leave as it was.
  std::vector<uint8_t> State() {
    JobSettings copy = job;
    copy.BuildItemFlags();
    std::vector<uint8_t> state = EncodeProject(copy, catalogue.PartName(job.PartCode), *images);
    state.push_back(static_cast<uint8_t>(job.PartCode));
    for (ImageArea area : kImageAreas) state.push_back((*images)[area].hasFile);
    for (uint32_t code = kComOnlyFirst; code <= kComOnlyLast; ++code)
      state.insert(state.end(), catalogue.PartName(code).begin(), catalogue.PartName(code).end());
    return state;
  }

  TempDir dir;
  TempDir app;
  PartCatalogue catalogue;
  SavedPartCodes saved;
  VirtualClock clock;
  RecordingReporter reporter{clock};
  JobSettings job;
  std::unique_ptr<ImageBuffers> images = std::make_unique<ImageBuffers>();
};

TEST_F(ProjectCommandsTest, LoadWritesCompanionFilesAndPointsTheBuffersAtThem) {
  const auto aprom = Pattern(1000, 1), ldrom = Pattern(2048, 2);
  const std::string path = SaveJob(850, kTypeIcp, {{ImageArea::Aprom, aprom}, {ImageArea::Ldrom, ldrom}});
  EXPECT_EQ(ReadBytes(path).size(), 256u + 80 + 1000 + 80 + 2048);
  images->dataFlash.hasFile = true;  // not in the project: forgotten
  job.ChipCounter = 5;

  bool search = true;
  ASSERT_EQ(LoadProjectFile(path, Target(), reporter, &search), 1);
  EXPECT_FALSE(search);
  EXPECT_EQ(job.PartCode, 850u);
  EXPECT_EQ(job.Type(), kTypeIcp);
  EXPECT_TRUE(job.CategoryMode && job.ApromSelected && job.LdromSelected);
  EXPECT_EQ(job.ChipCounter, 5u);
  EXPECT_EQ(ReadBytes(app.File("_AP_file.BIN")), aprom);
  EXPECT_EQ(ReadBytes(app.File("_LD_file.BIN")), ldrom);
  const ImageBuffer& image = images->ldrom;
  EXPECT_EQ(image.path, app.File("_LD_file.BIN"));
  EXPECT_TRUE(image.hasFile && image.fromProject);
  EXPECT_FALSE(image.isHex);
  EXPECT_EQ(image.size, 2048u);
  EXPECT_EQ(image.StoredName(), "LDROM_code.bin");
  EXPECT_FALSE(images->dataFlash.hasFile);
  EXPECT_EQ(images->project.fileName, "job.TPJ");

  // The refresh's reload reads the companion files back; the view names the project.
  FakeImageWindow window;
  window.tab = 2;
  ReloadImages(*images, job, &window, reporter);
  EXPECT_EQ(images->ldrom.checksum, ByteSum(ldrom));
  EXPECT_EQ(window.shownTexts->fileName, "job.TPJ\\LDROM_code.bin");
  EXPECT_TRUE(reporter.Texts(Kind::Fail).empty());
}

TEST_F(ProjectCommandsTest, OldNamesAndComPortOnlyNamesAreFound) {
  std::vector<uint8_t> file = ReadBytes(SaveJob(110, kTypeIcp, {}));
  std::copy_n("QMC(I)04A\0", 10, file.begin() + 16);
  WriteBytes(dir.File("old.TPJ"), file);
  ASSERT_EQ(LoadProjectFile(dir.File("old.TPJ"), Target(), reporter), 1);
  EXPECT_EQ(job.PartCode, 110u);

  const std::string com_port = SaveJob(40, kTypeComIsp, {});
  bool search = false;
  ASSERT_EQ(LoadProjectFile(com_port, Target(), reporter, &search), 1);
  EXPECT_EQ(job.PartCode, 40u);
  EXPECT_TRUE(search);
  EXPECT_EQ(catalogue.PartName(40), catalogue.ComOnlyPartNames()[40]);
  EXPECT_EQ(catalogue.PartName(49), "-");  // only 40..48 come back
}

TEST_F(ProjectCommandsTest, ComPortOnlyPartInAnIspProjectIsNotFoundAndNothingChanges) {
  std::vector<uint8_t> file = ReadBytes(SaveJob(40, kTypeComIsp, {}));
  file[32] = kTypeIcp;  // the part is in the ISP list, not the ICP one
  WriteBytes(dir.File("icp.TPJ"), file);
  file[32] = kTypeIsp;  // in the ISP list, code 40 carries no name outside ISP by COM Port
  WriteBytes(dir.File("isp.TPJ"), file);
  job.ProgrammerMode = kTypeComIsp;
  catalogue.RestoreComOnlyNames();
  const auto before = State();
  for (const char* name : {"icp.TPJ", "isp.TPJ"}) {
    SCOPED_TRACE(name);
    reporter.Clear();
    EXPECT_EQ(LoadProjectFile(dir.File(name), Target(), reporter), 0);
    EXPECT_EQ(reporter.Texts(Kind::Warning), std::vector<std::string>{"TPJ's part is not found !"});
    EXPECT_EQ(State(), before);
    EXPECT_EQ(job.ProgrammerMode, kTypeComIsp);
  }
}

TEST_F(ProjectCommandsTest, MalformedFilesAreRefusedWithNothingChanged) {
  const std::vector<uint8_t> good = ReadBytes(SaveJob(200, kTypeIcp, {{ImageArea::Aprom, Pattern(300, 3)}}));
  ASSERT_EQ(LoadProjectFile(dir.File("job.TPJ"), Target(), reporter), 1);
  images->aprom.data[0] ^= 0xFF;  // tells an unchanged buffer from one written again
  const auto before = State();
  const auto buffer_before = images->aprom.data;

  auto oversized = good;
  oversized[256 + 66] = 0x04;  // section size 0x4012C
  auto bad_mode = good;
  bad_mode[32] = 0x03;
  auto both_modes = good;
  both_modes[32] = 0xC1;
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  for (const Case& c :
       {Case{"empty", {}}, Case{"header only half", {good.begin(), good.begin() + 128}},
        Case{"section cut", {good.begin(), good.end() - 1}}, Case{"oversized section", oversized},
        Case{"unknown type", bad_mode}, Case{"Gang and P.M.", both_modes},
        Case{"longer than any project", std::vector<uint8_t>(kProjectMaxSize + 1, 'A')}}) {
    SCOPED_TRACE(c.name);
    WriteBytes(dir.File("bad.TPJ"), c.bytes);
    reporter.Clear();
    EXPECT_EQ(LoadProjectFile(dir.File("bad.TPJ"), Target(), reporter), 0);
    EXPECT_EQ(reporter.Texts(Kind::Fail), std::vector<std::string>{"TPJ format error !"});
    EXPECT_EQ(State(), before);
    EXPECT_EQ(images->aprom.data, buffer_before);
  }
  reporter.Clear();
  EXPECT_EQ(LoadProjectFile(dir.File("missing.TPJ"), Target(), reporter), 0);
  EXPECT_EQ(reporter.Texts(Kind::Fail), std::vector<std::string>{"Open file error !"});
  EXPECT_EQ(State(), before);
}

TEST_F(ProjectCommandsTest, RandomFilesChangeNothing) {
  const auto before = State();
  uint32_t seed = 7;
  for (int round = 0; round < 100; ++round) {
    std::vector<uint8_t> bytes(256 + round * 73);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>((seed = seed * 1664525u + 1013904223u) >> 24);
    bytes[12] = 'A';
    WriteBytes(dir.File("random.TPJ"), bytes);
    EXPECT_EQ(LoadProjectFile(dir.File("random.TPJ"), Target(), reporter), 0);
    EXPECT_EQ(State(), before);
  }
}

TEST_F(ProjectCommandsTest, UnwritableCompanionLeavesThatAreaWithoutAFile) {
  const std::string path = SaveJob(200, kTypeIcp, {{ImageArea::Aprom, Pattern(10, 4)}});
  ProjectTarget target = Target();
  target.appFolder = app.File("no such folder") + "/";
  EXPECT_EQ(LoadProjectFile(path, target, reporter), 1);
  EXPECT_EQ(reporter.Texts(Kind::Fail), std::vector<std::string>{"'_AP_file.BIN' cannot be created !"});
  EXPECT_FALSE(images->aprom.hasFile);
  EXPECT_TRUE(images->aprom.path.empty());
  EXPECT_EQ(job.PartCode, 200u);
}

TEST_F(ProjectCommandsTest, LoadRemembersTheOtherListsPart) {
  // Now in ICP on code 850; an ISP project keeps 850 for the way back to ICP.
  job.ProgrammerMode = kTypeIcp;
  job.PartCode = 850;
  SetupPart(job, catalogue);
  const std::string isp = SaveJob(5, kTypeIsp, {});
  ASSERT_EQ(LoadProjectFile(isp, Target(), reporter), 1);
  EXPECT_EQ(saved.SavedIcpPartCode, 850u);
  EXPECT_EQ(saved.SavedIspPartCode, 2u);
  // Now in ISP on code 5; an ICP project keeps 5 for the way back to ISP.
  const std::string icp = SaveJob(900, kTypeIcp, {});
  ASSERT_EQ(LoadProjectFile(icp, Target(), reporter), 1);
  EXPECT_EQ(saved.SavedIspPartCode, 5u);
  EXPECT_EQ(job.PartCode, 900u);
}

TEST_F(ProjectCommandsTest, SaveWritesTheCurrentBuffersAndTheBuiltFlags) {
  job.ProgrammerMode = kTypeIcp;
  job.PartCode = 200;
  SetupPart(job, catalogue);
  job.ApromSelected = job.ConfigSelected = true;
  job.ItemFlags = 0x20;  // bit 5 is kept
  images->aprom.size = 3;
  images->aprom.UpdateSums();
  FakeImageWindow window;
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
  EXPECT_EQ(reporter.Texts(Kind::Fail), std::vector<std::string>{"Open file error !"});
}

TEST_F(ProjectCommandsTest, LoadButtonRefreshesTheWindowAfterALoadOnly) {
  FakeImageWindow window;
  OnLoadProject(Target(), window, reporter);  // Cancel
  EXPECT_TRUE(window.projectRefreshes.empty());
  window.chosenPath = SaveJob(41, kTypeComIsp, {});
  OnLoadProject(Target(), window, reporter);
  EXPECT_EQ(window.dialogFilters, ProjectFileFilters());
  EXPECT_EQ(window.projectRefreshes, std::vector<bool>{true});
  window.chosenPath = dir.File("missing.TPJ");
  OnLoadProject(Target(), window, reporter);
  EXPECT_EQ(window.projectRefreshes.size(), 1u);
}

}  // namespace
}  // namespace quillet
