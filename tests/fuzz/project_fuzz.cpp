// Project load: a refused file changes nothing; an accepted one leaves a part from the list of its
// programmer type and every image it holds in its buffer and companion file.
#include <cstring>
#include <memory>

#include "core/job/setup_part.h"
#include "core/storage/project_commands.h"
#include "core/storage/settings_record.h"
#include "core/sys/file_io.h"
#include "fuzz_support.h"

using namespace quillet;

namespace {

// The window as start-up leaves it with ISP selected, and an APROM file loaded. Built once: every
// input starts from a copy of the first state (a catalogue and three 256 KB buffers cost more to
// make than a load).
struct Window {
  Window() {
    catalogue.SaveComOnlyNames();
    catalogue.HideComOnlyNames(kStartUpHiddenLast);
    job.ApromSelected = true;
    job.BuildItemFlags();
    SetupPart(job, catalogue);
    ImageBuffer& aprom = images->aprom;
    std::memcpy(aprom.data.data(), "\x12\x34\x56\x78", 4);
    aprom.size = 4;
    aprom.UpdateSums();
    aprom.path = "/work/code.bin";
    aprom.SetStoredName("code.bin");
    aprom.hasFile = true;
  }

  void ResetTo(const Window& start) {
    job = start.job;
    *images = *start.images;
    saved = start.saved;
    catalogue.RestoreComOnlyNames();
    catalogue.HideComOnlyNames(kStartUpHiddenLast);
  }

  // Everything a refused load must leave as it was.
  std::vector<uint8_t> State() const {
    std::vector<uint8_t> state = EncodeSettingsRecord(job);
    const auto project = EncodeProject(job, "", *images);
    state.insert(state.end(), project.begin(), project.end());
    const bool flags[] = {job.ComPortMode,      job.CategoryMode,   job.GangMode,
                          job.ProductionMode,   job.ApromSelected,  job.DataFlashSelected,
                          job.LdromSelected,    job.ConfigSelected, job.SeparateApromErase,
                          job.UpdateIspDownload};
    state.insert(state.end(), std::begin(flags), std::end(flags));
    for (ImageArea area : kImageAreas) {
      const ImageBuffer& image = (*images)[area];
      state.insert(state.end(), {image.hasFile, image.fromProject, image.isHex});
      state.insert(state.end(), image.path.begin(), image.path.end());
    }
    for (uint32_t code = kComOnlyFirst; code <= kStartUpHiddenLast; ++code)
      state.insert(state.end(), catalogue.PartName(code).begin(), catalogue.PartName(code).end());
    state.insert(state.end(), images->project.path.begin(), images->project.path.end());
    state.push_back(static_cast<uint8_t>(saved.SavedIspPartCode));
    state.push_back(static_cast<uint8_t>(saved.SavedIcpPartCode));
    return state;
  }

  JobSettings job;
  PartCatalogue catalogue;
  std::unique_ptr<ImageBuffers> images = std::make_unique<ImageBuffers>();
  SavedPartCodes saved;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::span<const uint8_t> file(data, size);
  const std::string path = fuzz::WriteScratchFile("job.TPJ", file);
  static VirtualClock clock;
  fuzz::CountingReporter reporter(clock);
  static const Window start;
  static Window window;
  window.ResetTo(start);
  static const std::vector<uint8_t> before = start.State();
  FUZZ_CHECK(window.State() == before);

  const int result = LoadProjectFile(
      path, {window.job, *window.images, window.catalogue, window.saved, fuzz::ScratchFolder()}, reporter);
  FUZZ_CHECK(result == 0 || result == 1);
  const auto contents = DecodeProject(file);
  if (result == 0) {
    FUZZ_CHECK(reporter.fails + reporter.warnings == 1);
    FUZZ_CHECK(window.State() == before);
    return 0;
  }
  FUZZ_CHECK(contents.has_value() && reporter.fails == 0);
  const JobSettings& job = window.job;
  FUZZ_CHECK(job.ProgrammerMode == contents->ProgrammerMode && job.ItemFlags == contents->ItemFlags);
  const bool icp = job.Type() == kTypeIcp;
  FUZZ_CHECK(icp ? job.PartCode >= kIcpCodesFirst && job.PartCode < kPartCodeCount
                 : job.PartCode <= kIspCodesLast);
  FUZZ_CHECK(window.catalogue.PartName(job.PartCode) == CurrentPartName(contents->PartName));

  uint8_t loaded = 0;
  for (const ProjectSection& section : contents->sections) {
    const ImageBuffer& image = (*window.images)[section.area];
    const auto companion = ReadFileLimited(image.path, kImageCapacity);
    FUZZ_CHECK(image.hasFile && image.size == section.size && companion &&
               companion->bytes.size() == section.size);
    FUZZ_CHECK(std::equal(section.data.begin(), section.data.end(), image.data.begin()));
    FUZZ_CHECK(std::equal(section.data.begin(), section.data.end(), companion->bytes.begin()));
    FUZZ_CHECK(image.storedName == section.storedName);  // kept whole, all 64 bytes
    loaded |= SectionFlag(section.area);
  }
  for (ImageArea area : kImageAreas)
    FUZZ_CHECK((*window.images)[area].hasFile == ((loaded & SectionFlag(area)) != 0));
  return 0;
}
