// quillet-cli check FILE.TPJ: loads a project as the window does (part lookup, images from the
// sections through the companion files, the refresh's item selection) and runs the checks Update
// Chip runs for that job: the size checks of the selected areas, then the S/N address. The first
// failure prints as the program words it, exit code 1; when all pass, one line says the part and
// each area's size against its capacity.
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "cli/commands.h"
#include "cli/part_finder.h"
#include "cli/verb_support.h"
#include "core/images/image_loader.h"
#include "core/images/size_checks.h"
#include "core/job/item_selection.h"
#include "core/job/setup_part.h"
#include "core/report/recording_reporter.h"
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

struct CheckOptions {
  std::string file;
  OutputOptions output;
};

struct AreaFit {
  ImageArea area;
  uint32_t size;
  int64_t capacity;
};

// Where the project's part is, when its list does not hold it.
std::string PartNotFoundDetail(const std::string& path) {
  SystemClock clock;
  RecordingReporter silent(clock);
  const auto read = ReadProjectFile(path, silent);
  if (!read) return {};
  const PartCatalogue catalogue;
  const uint8_t type = read->contents.ProgrammerMode & 0x0F;
  return path + " names " + read->contents.PartName + " for " + std::string(TypeText(type)) + "; " +
         UnknownPartHint(catalogue, read->contents.PartName, type);
}

std::string Summary(const PartCatalogue& catalogue, const JobSettings& job,
                    const std::vector<AreaFit>& fits) {
  std::string text = catalogue.PartName(job.PartCode) + " in " + std::string(TypeText(job.Type())) + ":";
  if (fits.empty() && !job.ConfigSelected) return text + " no area is selected, nothing to write";
  std::string sep = " ";
  for (const AreaFit& fit : fits) {
    text += sep + std::string(AreaName(fit.area)) + " " + std::to_string(fit.size) + " of " +
            std::to_string(fit.capacity) + " bytes";
    sep = ", ";
  }
  if (job.ConfigSelected) text += sep + "CONFIG";
  if (job.SnProgrammingEnabled) {
    char address[16];
    std::snprintf(address, sizeof address, "0x%05X", job.SnAddress);
    text += std::string(", S/N at ") + address;
  }
  return text;
}

int Check(const std::string& path, ConsoleReporter& reporter, nlohmann::ordered_json& json) {
  reporter.SetNextStep([path](const std::string& message) {
    if (message == "Open file error !") return ReadFailureReason(path);
    if (message == "TPJ's part is not found !") return PartNotFoundDetail(path);
    return std::string();
  });
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
  if (catalogue.PartName(job.PartCode) == "-") {
    reporter.SetDetail(path + " names \"-\", which separates series in the part list and is no part");
    reporter.ShowWarning("TPJ's part is not found !");
    return 1;
  }
  ReloadImages(*images, job, nullptr, reporter);
  if (reporter.Failed()) return 1;

  // The refresh after the load selects each loaded area the part and type can write; CONFIG keeps
  // the project's choice.
  const PartRow& part = catalogue.Row(job.PartCode);
  SelectLoadedItems(job, part, {images->aprom.hasFile, images->dataFlash.hasFile, images->ldrom.hasFile});
  json["part"] = catalogue.PartName(job.PartCode);
  json["mode"] = ModeWordOfType(job.Type());
  const std::size_t warnings = reporter.Warnings().size();
  if (!CheckUpdateImages(part, job, *images, reporter) || reporter.Warnings().size() > warnings) return 1;

  std::vector<AreaFit> fits;
  if (job.ApromSelected)
    fits.push_back({ImageArea::Aprom, images->aprom.size, ApromCapacity(part, job, images->FlashEnd)});
  if (job.DataFlashSelected)
    fits.push_back({ImageArea::DataFlash, images->dataFlash.size,
                    DataFlashCapacity(part, job, images->FlashEnd).capacity});
  if (job.LdromSelected) fits.push_back({ImageArea::Ldrom, images->ldrom.size, part.LdromLastAddress + 1});
  nlohmann::ordered_json areas = nlohmann::ordered_json::array();
  for (const AreaFit& fit : fits)
    areas.push_back({{"area", AreaName(fit.area)}, {"size", fit.size}, {"capacity", fit.capacity}});
  json["areas"] = areas;
  json["config"] = job.ConfigSelected;
  json["snAddress"] = job.SnProgrammingEnabled ? nlohmann::ordered_json(job.SnAddress) : nullptr;
  reporter.ShowPass(Summary(catalogue, job, fits));
  return 0;
}

int Run(const CheckOptions& options) {
  SystemClock clock;
  ConsoleReporter reporter(clock, std::cout, std::cerr, false, options.output);
  nlohmann::ordered_json extra;
  const int code = Check(options.file, reporter, extra);
  if (options.output.json) {
    nlohmann::ordered_json json = ResultJson(reporter);
    json.update(extra);
    PrintJson(json);
  }
  return code;
}

}  // namespace

void RegisterCheckCommand(CLI::App& app, ExitCode& exit_code) {
  auto* command = app.add_subcommand(
      "check",
      "Check a project file as Update Chip would before programming: load it as Load Proj does, then "
      "check each selected image against the space its part offers (with DataFlash and LDROM as the "
      "project's CONFIG sets them) and the serial number's address. Nothing is sent to a Programmer.");
  auto options = std::make_shared<CheckOptions>();
  command->add_option("FILE", options->file, "the project file (*.TPJ)")->required();
  AddOutputOptions(*command, options->output);
  command->footer(
      HelpFooter("Exit codes: 0 every check passed; 1 the project cannot be read or a check "
                 "failed (the window's message on stderr); 2 a usage error.",
                 "", "quillet-cli check line3.TPJ"));
  command->callback([options, &exit_code] { exit_code.value = Run(*options); });
}

}  // namespace quillet::cli
