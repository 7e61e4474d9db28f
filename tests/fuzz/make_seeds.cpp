// Writes the seeds the code itself can make into a corpus folder (argument: tests/fuzz/corpus):
// project files and GUI.LOG records as the save commands write them, firmware files as the
// simulator stores them, and the answers of a Programmer that behaves. The HEX seeds are copies of
// tests/data/hex.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <numeric>

#include "core/job/setup_part.h"
#include "core/programmer/programmer_link.h"
#include "core/storage/project_file.h"
#include "core/storage/settings_record.h"
#include "sim/firmware_image.h"

using namespace quillet;
using Bytes = std::vector<uint8_t>;

namespace {

std::string corpus;

void Seed(const std::string& target, const std::string& name, const Bytes& bytes) {
  const std::string folder = corpus + "/" + target;
  std::filesystem::create_directories(folder);
  if (!sim::WriteBytes(folder + "/" + name, bytes)) {
    std::fprintf(stderr, "cannot write %s/%s\n", folder.c_str(), name.c_str());
    std::exit(1);
  }
}

Bytes Project(const PartCatalogue& catalogue, uint32_t code, uint8_t mode,
              std::initializer_list<std::pair<ImageArea, std::size_t>> areas) {
  JobSettings job;
  job.ProgrammerMode = mode;
  job.PartCode = code;
  SetupPart(job, catalogue);
  auto images = std::make_unique<ImageBuffers>();
  for (auto [area, size] : areas) {
    ImageBuffer& image = (*images)[area];
    for (std::size_t i = 0; i < size; ++i) image.data[i] = static_cast<uint8_t>(i * 7 + 1);
    image.size = static_cast<uint32_t>(size);
    image.UpdateSums();
    image.SetStoredName(std::string(AreaName(area)) + ".bin");
    (area == ImageArea::Aprom       ? job.ApromSelected
     : area == ImageArea::DataFlash ? job.DataFlashSelected
                                    : job.LdromSelected) = true;
  }
  job.ConfigSelected = true;
  job.BuildItemFlags();
  return EncodeProject(job, catalogue.PartName(code), *images);
}

// A wire script: a plan byte, then one answer (length and bytes) per write.
Bytes Script(uint8_t plan, std::initializer_list<Bytes> answers) {
  Bytes script{plan};
  for (const Bytes& answer : answers) {
    script.push_back(static_cast<uint8_t>(answer.size()));
    script.insert(script.end(), answer.begin(), answer.end());
  }
  return script;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
    return 2;
  }
  corpus = argv[1];
  PartCatalogue catalogue;
  catalogue.SaveComOnlyNames();

  Seed("project", "isp_aprom_ldrom.TPJ",
       Project(catalogue, 2, kTypeIsp, {{ImageArea::Aprom, 40}, {ImageArea::Ldrom, 12}}));
  Seed("project", "icp_all_areas.TPJ",
       Project(catalogue, 200, kTypeIcp | kModeGang,
               {{ImageArea::Aprom, 64}, {ImageArea::DataFlash, 16}, {ImageArea::Ldrom, 8}}));
  Seed("project", "com_isp_only_part.TPJ", Project(catalogue, 40, kTypeComIsp, {}));

  JobSettings first_run;
  ApplyFirstRunDefaults(first_run);
  Seed("settings", "first_run.LOG", EncodeSettingsRecord(first_run));
  JobSettings busy;
  busy.ProgrammerMode = kTypeIcp | kModeProduction;
  busy.PartCode = 1203;
  busy.SetPortName("/dev/ttyUSB0");
  busy.UsageLimit = {0x12, 0x34};
  busy.SnProgrammingEnabled = true;
  busy.SnAddress = 0x1FF0;
  busy.SnValue = {12345678, 87654321};
  busy.ChipCounterEnabled = true;
  busy.ChipCounter = 4242;
  Seed("settings", "icp_production.LOG", EncodeSettingsRecord(busy));

  const auto firmware = [](uint8_t type_code, std::size_t size) {
    return sim::ScrambledFile(sim::MakeFirmwareImage({type_code, kExpectedFirmwareVersion}, size));
  };
  Seed("firmware", "icp_3000.DAT", firmware(Info(FirmwareVariant::Icp).type_code, 3000));
  Seed("firmware", "isp_300.DAT", firmware(Info(FirmwareVariant::Isp).type_code, 300));

  // The link target's device: the first part of the ISP group, a firmware folder of 600-byte files
  // of 0x3C (see link_fuzz.cpp). Plan 0x40: single Programmer, port remembered.
  const uint8_t isp = Info(FirmwareVariant::IspOnly).type_code;
  const Bytes version_0710{kProgrammerAck, 0x07, 0x10};
  Seed("link", "found_at_0710", Script(0x40, {version_0710, {isp}, version_0710, version_0710}));
  Seed("link", "found_by_scan",
       Script(0x00, {version_0710, version_0710, {isp}, version_0710, version_0710}));
  Seed("link", "gang_found", Script(0x48, {{kGangTypeCode}, {kGangAck, 0x07, 0x10}, {kGangAck, 0x07, 0x10}}));
  Bytes line_cut = Script(0x40, {version_0710, {isp}});
  line_cut.push_back(0xFF);  // the version query's write finds the line cut
  Seed("link", "line_cut", line_cut);
  // Version 0x0700: the update sends 600 bytes in three blocks, the Programmer checks them and
  // returns the sum.
  std::vector<uint8_t> image(600, 0x3C);
  RestoreScrambledRanges(image, image.size());
  const uint32_t sum = std::accumulate(image.begin(), image.end(), uint32_t{0});
  const Bytes version_0700{kProgrammerAck, 0x07, 0x00};
  const Bytes ack{kProgrammerAck};
  Seed("link", "updated_from_0700",
       Script(0x40, {version_0710,
                     {isp},
                     version_0700,
                     version_0700,
                     ack,
                     {},
                     {},
                     {},
                     {},
                     ack,
                     ack,
                     {kProgrammerAck, kProgrammerAck, kProgrammerAck, kProgrammerAck,
                      static_cast<uint8_t>(sum >> 16), static_cast<uint8_t>(sum >> 8),
                      static_cast<uint8_t>(sum)}}));
  return 0;
}
