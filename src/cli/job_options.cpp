#include "cli/job_options.h"

#include <iostream>

#include "cli/part_finder.h"
#include "cli/verb_support.h"
#include "core/images/image_loader.h"
#include "core/job/item_selection.h"
#include "core/storage/project_commands.h"
#include "core/sys/file_io.h"

namespace quillet::cli {
namespace {

constexpr char kComIspHint[] =
    "download and update work through a Programmer: name the part with --part, and --mode isp or icp";

// The project's images go beside the settings file; a project keeps no S/N value or counter, so
// those go on from the settings file.
int LoadProject(const JobOptions& options, ProgrammerSession& session) {
  Workbench& bench = session.bench();
  JobSettings& job = bench.job();
  ConsoleReporter& reporter = session.reporter();
  const std::string folder = FolderOf(options.link.settings);
  session.SetVerbNextStep([&options, folder](const std::string& message) {
    if (message == "Open file error !") return ReadFailureReason(options.project);
    if (message.starts_with("'_"))
      return WriteFailureReason(folder + message.substr(1, message.find('\'', 1) - 1));
    if (message == "TPJ's part is not found !") return "quillet-cli check " + options.project + " says more";
    return std::string();
  });
  const std::string port = job.PortName();
  SavedPartCodes saved;
  if (!LoadProjectFile(options.project, {job, bench.images(), bench.catalogue(), saved, folder}, reporter) ||
      reporter.Failed())
    return 0;
  job.SetPortName(port);  // the project forgets it; the settings file or --port named it
  if (options.link.gang) job.ProgrammerMode = static_cast<uint8_t>(job.ProgrammerMode | kModeGang);
  DeriveModeFlags(job);
  if (bench.catalogue().PartName(job.PartCode) == "-") {
    reporter.SetDetail(options.project +
                       " names \"-\", which separates series in the part list and is no part");
    reporter.ShowWarning("TPJ's part is not found !");
    return 0;
  }
  return 1;
}

int LoadImageFiles(const JobOptions& options, ProgrammerSession& session) {
  Workbench& bench = session.bench();
  JobSettings& job = bench.job();
  ConsoleReporter& reporter = session.reporter();
  job.ApromSelected = job.DataFlashSelected = job.LdromSelected = false;
  job.ConfigSelected = false;
  for (const auto& [area, path] : options.files) {
    AttachImageFile(bench.images()[area], path);
    SelectedFlag(job, area) = true;
    reporter.SetDebugPrefix(path + ": ");
    session.SetVerbNextStep([path = path](const std::string& message) {
      return message.starts_with("Open ") ? ReadFailureReason(path) : std::string();
    });
    ReloadImages(bench.images(), job, nullptr, reporter);
    if (reporter.Failed()) return 0;
  }
  reporter.SetDebugPrefix("");
  return 1;
}

// ISP by COM Port writes CONFIG, APROM and DataFlash through the chip's boot loader; an update
// needs an APROM. 2 after a usage error, else 0.
int CheckComIspOptions(const JobOptions& options, Workbench& bench) {
  const PartRow& part = bench.catalogue().Row(bench.job().PartCode);
  if (options.link.gang || options.verify_only)
    return UsageError("--gang: ISP by COM Port programs one chip on its serial line", "leave --gang out");
  if (options.files.count(ImageArea::Ldrom))
    return UsageError("--ldrom: ISP by COM Port does not write LDROM",
                      "leave --ldrom out, or use --mode icp");
  if (!options.config.empty() && !part.FamilyFlagA)
    return UsageError("--config: " + std::string(bench.catalogue().PartName(bench.job().PartCode)) +
                          " takes no CONFIG bytes through its boot loader",
                      "leave --config out");
  if (options.project.empty() && !options.files.count(ImageArea::Aprom))
    return UsageError("no APROM: an update by COM port programs an APROM image",
                      "name the APROM image with --aprom");
  return 0;
}

// 2 after a usage error, else 0.
int CheckImageOptions(const JobOptions& options, Workbench& bench) {
  const JobSettings& job = bench.job();
  if (options.project.empty() && options.files.empty() && !(options.config_alone && !options.config.empty()))
    return UsageError("nothing to program: name the job",
                      "--project F.TPJ, or --aprom, --dataflash and --ldrom with the image files");
  if (job.Type() == kTypeComIsp) {
    if (!options.comisp)
      return UsageError("the job is for ISP by COM Port, which needs no Programmer", kComIspHint);
    if (const int code = CheckComIspOptions(options, bench)) return code;
  }
  if (!options.project.empty()) return 0;
  const PartRow& part = bench.catalogue().Row(job.PartCode);
  const std::string part_name(bench.catalogue().PartName(job.PartCode));
  const ItemSelection writable = WritableItems(part, job.Type());
  if (options.files.count(ImageArea::DataFlash) && !writable.data_flash)
    return UsageError("--dataflash: " + part_name + " has no DataFlash", "leave --dataflash out");
  if (options.files.count(ImageArea::Ldrom) && !writable.ldrom)
    return UsageError("--ldrom: LDROM is written in ICP only, on parts that have one",
                      part.HasLdrom ? "use --mode icp" : part_name + " has no LDROM: leave --ldrom out");
  return 0;
}

}  // namespace

CLI::Validator ByteValue() {
  return CLI::Validator(
      [](std::string& text) {
        std::size_t used = 0;
        try {
          if (std::stoul(text, &used, 0) <= 255 && used == text.size()) return std::string();
        } catch (const std::exception&) {
        }
        return "not a byte value: " + text;
      },
      "BYTE");
}

void AddJobOptions(CLI::App& verb, JobOptions& options) {
  AddLinkOptions(verb, options.link);
  auto* project = verb.add_option("--project", options.project,
                                  "the job as a project file (*.TPJ): part, type, images, CONFIG and the "
                                  "production settings; its images are written beside the settings file");
  auto* part = verb.get_option("--part");
  auto* mode =
      verb.add_option("--mode", options.link.mode,
                      std::string("the programmer type: isp or icp") +
                          (options.comisp ? ", or comisp (ISP by COM Port: the chip's boot loader on "
                                            "the serial line, no Programmer)"
                                          : "") +
                          " (default: the type whose list holds the part, ICP for codes from 110; without "
                          "--part, the part of the settings file)")
          ->check(options.comisp ? CLI::IsMember({"isp", "icp", "comisp"}) : CLI::IsMember({"isp", "icp"}));
  project->excludes(part)->excludes(mode);
  for (const auto& [flag, area] :
       {std::pair{"--aprom", ImageArea::Aprom}, std::pair{"--dataflash", ImageArea::DataFlash},
        std::pair{"--ldrom", ImageArea::Ldrom}}) {
    auto* file = verb.add_option_function<std::string>(
        flag, [&options, area = area](const std::string& path) { options.files[area] = path; },
        std::string("the ") + std::string(AreaName(area)) +
            " image file (binary, or Intel HEX when its "
            "extension begins with \"hex\")");
    project->excludes(file);
  }
  auto* config = verb.add_option("--config", options.config,
                                 "the eight CONFIG bytes, CONFIG0 first (0xFF,0xFF,...); selects CONFIG")
                     ->delimiter(',')
                     ->expected(8)
                     ->check(ByteValue());
  project->excludes(config);
  auto* gang = verb.add_flag("--gang", options.link.gang, "through a Gang Programmer (four sockets)");
  verb.add_flag("--verify-only", options.verify_only, "gang: the Programmers only verify the chips")
      ->needs(gang);
}

std::unique_ptr<InstanceLock> HoldSettingsLock(const std::string& settings_path, int& exit_code) {
  auto lock = std::make_unique<InstanceLock>(SettingsLockPath(settings_path));
  if (lock->state() != InstanceLock::State::Taken) return lock;
  SystemClock clock;
  ConsoleReporter reporter(clock, std::cout, std::cerr, false);
  reporter.SetDetail(settings_path +
                     " is in use by another quillet-cli or the window; run again when it has ended");
  reporter.ShowFail("This application program is running now !");
  exit_code = 1;
  return nullptr;
}

int LoadJob(const JobOptions& options, ProgrammerSession& session, int& exit_code) {
  Workbench& bench = session.bench();
  JobSettings& job = bench.job();
  exit_code = 1;
  if (!options.project.empty()) {
    if (!LoadProject(options, session)) return 0;
  }
  if ((exit_code = CheckImageOptions(options, bench)) != 0) return 0;
  exit_code = 1;
  if (options.project.empty() && !LoadImageFiles(options, session)) return 0;
  if (!options.project.empty()) {
    // The refresh after a load selects each loaded area the part and type can write; CONFIG keeps
    // the project's choice.
    ReloadImages(bench.images(), job, nullptr, session.reporter());
    if (session.reporter().Failed()) return 0;
    const ImageBuffers& images = bench.images();
    SelectLoadedItems(job, bench.catalogue().Row(job.PartCode),
                      {images.aprom.hasFile, images.dataFlash.hasFile, images.ldrom.hasFile});
    if (job.Type() == kTypeComIsp && !images.aprom.hasFile) {
      exit_code = UsageError("no APROM: " + options.project + " holds no APROM image",
                             "add an APROM image to the project");
      return 0;
    }
  }
  for (std::size_t i = 0; i < options.config.size(); ++i)
    job.ConfigBytes[7 - i] = static_cast<uint8_t>(std::stoul(options.config[i], nullptr, 0));
  if (!options.config.empty()) job.ConfigSelected = true;
  job.GangVerifyOnly = options.verify_only;
  session.SetVerbNextStep(nullptr);
  exit_code = 0;
  return 1;
}

std::string JobSummary(Workbench& bench) {
  const JobSettings& job = bench.job();
  std::string text = std::string(bench.catalogue().PartName(job.PartCode)) + " in " +
                     std::string(TypeText(job.Type())) + (job.GangMode ? " (gang)" : "");
  for (ImageArea area : kImageAreas) {
    if (!SelectedFlag(job, area)) continue;
    const ImageBuffer& image = bench.images()[area];
    text += ", " + std::string(AreaName(area)) + " " + image.fileName + " (" + std::to_string(image.size) +
            " bytes)";
  }
  if (job.ConfigSelected) text += ", CONFIG";
  return text;
}

}  // namespace quillet::cli
