#include "core/storage/project_commands.h"

#include <algorithm>

#include "core/report/reporter.h"
#include "core/storage/project_file.h"
#include "core/sys/file_io.h"

namespace quillet {
namespace {

constexpr char kOpenFileError[] = "Open file error !";

// A programmer type and mode that some version writes: ISP, ICP or ISP by COM Port, alone, with
// Gang or with P.M.
bool KnownMode(uint8_t mode) {
  const uint8_t extra = mode & 0xF0;
  return (mode & 0x0F) <= kTypeComIsp && (extra == 0 || extra == kModeGang || extra == kModeProduction);
}

// The name code 40..48 carries while the given type is selected.
std::string_view IspListName(const PartCatalogue& catalogue, uint32_t code, bool com_port) {
  if (code < kComOnlyFirst || code > kComOnlyLast) return catalogue.PartName(code);
  return com_port ? std::string_view(catalogue.ComOnlyPartNames()[code]) : std::string_view("-");
}

// Writes one section's image to its companion file and points the buffer at it.
void LoadSection(const ProjectSection& section, const std::string& app_folder, ImageBuffer& image,
                 Reporter& reporter) {
  const std::string companion = CompanionFileName(section.area);
  const std::string path = app_folder + companion;
  // A companion that already holds these bytes keeps its file time, which the Programmer stores as
  // the image's stamp: loading the same project again does not look like a new image.
  const auto present = ReadFileLimited(path, section.data.size() + 1);
  const bool same = present && std::equal(present->bytes.begin(), present->bytes.end(), section.data.begin(),
                                          section.data.end());
  if (!same && !WriteFileAtomically(path, section.data)) {
    reporter.ShowFail("'" + companion + "' cannot be created !");
    image.hasFile = false;
    image.fromProject = false;
    image.path.clear();
    return;
  }
  // Kept whole: another writer may fill all 64 bytes, and saving the project again keeps them.
  image.storedName = section.storedName;
  image.size = section.size;
  image.checksum = section.checksum;
  std::copy(section.data.begin(), section.data.end(), image.data.begin());
  image.path = path;
  image.hasFile = true;
  image.fromProject = true;
  image.isHex = false;
}

}  // namespace

std::vector<FileFilter> ProjectFileFilters() {
  return {{"Tool Project Files (*.TPJ)", "*.TPJ"}};
}

std::string CompanionFileName(ImageArea area) {
  static constexpr const char* kNames[] = {"_AP_file.BIN", "_DF_file.BIN", "_LD_file.BIN"};
  return kNames[static_cast<int>(area)];
}

std::optional<uint32_t> FindProjectPart(const PartCatalogue& catalogue, std::string_view part_name,
                                        uint8_t programmer_mode) {
  const std::string_view name = CurrentPartName(part_name);
  const uint8_t type = programmer_mode & 0x0F;
  if (type == kTypeIcp) return catalogue.FindPartCode(name, kIcpCodesFirst, kPartCount - 1);
  if (name.empty()) return std::nullopt;
  for (uint32_t code = 0; code <= kIspCodesLast; ++code)
    if (IspListName(catalogue, code, type == kTypeComIsp) == name) return code;
  return std::nullopt;
}

std::unique_ptr<const ProjectRead> ReadProjectFile(const std::string& path, Reporter& reporter) {
  auto file = ReadFileLimited(path, kProjectMaxSize);
  if (!file) {
    reporter.ShowFail(kOpenFileError);
    return nullptr;
  }
  auto read = std::make_unique<ProjectRead>();
  read->bytes = std::move(file->bytes);
  const auto contents = file->truncated ? std::nullopt : DecodeProject(read->bytes);
  if (!contents) {
    reporter.ShowFail(kProjectFormatError);
    return nullptr;
  }
  read->contents = *contents;
  return read;
}

int SaveProjectFile(const std::string& path, JobSettings& job, ImageBuffers& images,
                    const PartCatalogue& catalogue, Reporter& reporter) {
  job.BuildItemFlags();
  if (!WriteFileAtomically(path, EncodeProject(job, catalogue.PartName(job.PartCode), images))) {
    reporter.ShowFail(kOpenFileError);
    return 0;
  }
  images.project = SplitFileName(path);
  return 1;
}

int LoadProjectFile(const std::string& path, ProjectTarget target, Reporter& reporter,
                    bool* start_com_port_search) {
  const auto read = ReadProjectFile(path, reporter);
  if (!read) return 0;
  const ProjectContents& project = read->contents;
  if (!KnownMode(project.ProgrammerMode)) {
    reporter.ShowFail(kProjectFormatError);
    return 0;
  }
  // Looked up before anything changes: a part that is not found leaves the window as it was, type
  // included, so its part list still holds PartCode.
  const auto code = FindProjectPart(target.catalogue, project.PartName, project.ProgrammerMode);
  if (!code) {
    reporter.ShowWarning("TPJ's part is not found !");
    return 0;
  }

  JobSettings& job = target.job;
  const uint8_t type = project.ProgrammerMode & 0x0F;
  target.catalogue.RestoreComOnlyNames();
  if (type != kTypeComIsp) target.catalogue.HideComOnlyNames();
  if (type != kTypeIcp && job.CategoryMode) target.saved.SavedIcpPartCode = job.PartCode;
  if (type == kTypeIcp && !job.CategoryMode) target.saved.SavedIspPartCode = job.PartCode;
  job.PartCode = *code;
  RestoreProjectSettings(project, job);

  for (ImageArea area : kImageAreas) target.images[area].hasFile = false;
  for (const ProjectSection& section : project.sections)
    LoadSection(section, target.appFolder, target.images[section.area], reporter);
  target.images.project = SplitFileName(path);
  if (start_com_port_search) *start_com_port_search = type == kTypeComIsp;
  return 1;
}

void OnSaveProject(JobSettings& job, ImageBuffers& images, const PartCatalogue& catalogue,
                   ImageWindow& window, Reporter& reporter) {
  const auto path = window.SaveFileDialog(ProjectFileFilters(), "TPJ");
  if (path) SaveProjectFile(*path, job, images, catalogue, reporter);
}

void OnLoadProject(ProjectTarget target, ImageWindow& window, Reporter& reporter) {
  const auto path = window.OpenFileDialog(ProjectFileFilters());
  if (!path) return;
  bool start_com_port_search = false;
  if (LoadProjectFile(*path, target, reporter, &start_com_port_search))
    window.RefreshAfterProjectLoad(start_com_port_search);
}

}  // namespace quillet
