#pragma once
// The "Save\nProj" and "Load\nProj" commands: a whole job in one *.TPJ file. Loading writes each
// image it holds to a companion file in the program's folder ("_AP_file.BIN", "_DF_file.BIN",
// "_LD_file.BIN"; one that already holds the bytes is left with its file time) and points the buffer at it,
// so that the reload and every operation afterwards work from it as from any loaded file.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/catalogue/part_catalogue.h"
#include "core/images/image_buffer.h"
#include "core/images/image_window.h"
#include "core/job/job_settings.h"
#include "core/storage/project_file.h"

namespace quillet {

class Reporter;

// The part codes each list returns to when the programmer type switches lists.
struct SavedPartCodes {
  uint32_t SavedIspPartCode = 2;
  uint32_t SavedIcpPartCode = 110;
};

// What loading touches besides the job settings.
struct ProjectTarget {
  JobSettings& job;
  ImageBuffers& images;
  PartCatalogue& catalogue;
  SavedPartCodes& saved;
  std::string appFolder;  // where the companion files go, with its trailing '/'
};

std::vector<FileFilter> ProjectFileFilters();   // "Tool Project Files (*.TPJ)"
std::string CompanionFileName(ImageArea area);  // "_AP_file.BIN", "_DF_file.BIN", "_LD_file.BIN"

// The code of a project's part name in the list of its programmer type: codes 0..109 for ISP and ISP
// by COM Port, where codes 40..48 carry their names only for ISP by COM Port, or 110..1214 for ICP.
// Older "(I)" forms of names are taken as their current names.
std::optional<uint32_t> FindProjectPart(const PartCatalogue& catalogue, std::string_view part_name,
                                        uint8_t programmer_mode);

// A project file's bytes and what they hold; the sections point into the bytes.
struct ProjectRead {
  std::vector<uint8_t> bytes;
  ProjectContents contents;
};

// Reads and decodes a project file. Shows "Open file error !" when it cannot be read and "TPJ format
// error !" when it is not a whole project (see DecodeProject), and gives nothing.
std::unique_ptr<const ProjectRead> ReadProjectFile(const std::string& path, Reporter& reporter);

// Writes the job and the selected areas' current buffer contents (no reload first) to `path`,
// atomically. On failure shows "Open file error !" and returns 0.
int SaveProjectFile(const std::string& path, JobSettings& job, ImageBuffers& images,
                    const PartCatalogue& catalogue, Reporter& reporter);

// Loads the project at `path` into the job, the buffers and the companion files. Refuses, with
// nothing changed, a file that cannot be read ("Open file error !"), one that is not a whole project
// or whose programmer type no version writes ("TPJ format error !"), and one whose part is not in
// the list of its programmer type ("TPJ's part is not found !" in the WARNING box). A companion file
// that cannot be written is reported ("'_AP_file.BIN' cannot be created !") and leaves that area
// without a file. Returns 1 when the project was applied; `start_com_port_search` then tells whether
// the loaded type is ISP by COM Port (the load forgot the port, which the search finds again).
int LoadProjectFile(const std::string& path, ProjectTarget target, Reporter& reporter,
                    bool* start_com_port_search = nullptr);

// The buttons: the save or open dialog, then the file; after a load, the main window's refresh.
// The caller has already refused while an operation runs.
void OnSaveProject(JobSettings& job, ImageBuffers& images, const PartCatalogue& catalogue,
                   ImageWindow& window, Reporter& reporter);
void OnLoadProject(ProjectTarget target, ImageWindow& window, Reporter& reporter);

}  // namespace quillet
