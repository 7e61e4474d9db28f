// quillet-cli check FILE.TPJ: loads a project as the window does (part lookup, images from the
// sections through the companion files, the refresh's item selection) and runs the checks Update
// Chip runs for that job: the size checks of the selected areas, then the S/N address. Each failure
// prints as the program words it, and the exit code is 1; 0 when all pass.
#include <stdlib.h>

#include <filesystem>
#include <memory>

#include "cli/commands.h"
#include "cli/message_reporter.h"
#include "core/images/image_loader.h"
#include "core/images/size_checks.h"
#include "core/job/item_selection.h"
#include "core/job/setup_part.h"
#include "core/storage/project_commands.h"
#include "core/storage/settings_record.h"

namespace quillet::cli {
namespace {

// A private folder for the companion files, removed with them at the end.
class CompanionFolder {
 public:
  CompanionFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillet-check-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~CompanionFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  CompanionFolder(const CompanionFolder&) = delete;
  CompanionFolder& operator=(const CompanionFolder&) = delete;
  std::string Path() const { return path_.empty() ? std::string() : path_ + "/"; }

 private:
  std::string path_;
};

int Check(const std::string& path) {
  SystemClock clock;
  MessageReporter reporter(clock);
  // A first run's window: ISP, with the names of codes 40..52 hidden.
  PartCatalogue catalogue;
  JobSettings job;
  ApplyFirstRunDefaults(job);
  catalogue.SaveComOnlyNames();
  catalogue.HideComOnlyNames(kStartUpHiddenLast);
  SetupPart(job, catalogue);

  auto images = std::make_unique<ImageBuffers>();
  SavedPartCodes saved;
  CompanionFolder folder;
  if (folder.Path().empty()) {
    reporter.ShowFail("'_AP_file.BIN' cannot be created !");
    return 1;
  }
  if (!LoadProjectFile(path, {job, *images, catalogue, saved, folder.Path()}, reporter)) return 1;
  ReloadImages(*images, job, nullptr, reporter);
  if (reporter.Reported()) return 1;

  // The refresh after the load selects each loaded area the part and type can write; CONFIG keeps
  // the project's choice.
  const PartRow& part = catalogue.Row(job.PartCode);
  SelectLoadedItems(job, part, {images->aprom.hasFile, images->dataFlash.hasFile, images->ldrom.hasFile});
  return CheckUpdateImages(part, job, *images, reporter) ? 0 : 1;
}

}  // namespace

void RegisterCheckCommand(CLI::App& app, ExitCode& exit_code) {
  auto* command =
      app.add_subcommand("check", "Check a project's images against its part, as Update Chip does");
  auto file = std::make_shared<std::string>();
  command->add_option("FILE", *file, "the project file (*.TPJ)")->required();
  command->callback([file, &exit_code] { exit_code.value = Check(*file); });
}

}  // namespace quillet::cli
