#pragma once
// A transcript rig for the Download Programmer and Update Chip operations: image files with fixed
// contents and modification times, a recording production recorder, and the exchange of a line
// from a mark on, so that a test can show the update that follows a download on its own.
#include <ctime>
#include <string>

#include "core/images/image_loader.h"
#include "core/programmer/firmware_variant.h"
#include "support/link_transcript.h"
#include "support/recording_recorder.h"
#include "support/test_files.h"

namespace quillet::test_support {

// 2026-03-07 14:05:09 UTC: minute 5, second 9 in whole-hour time zones.
constexpr std::time_t kImageFileTime = 1772892309;

struct OperationRig : TranscriptRig {
  OperationRig() { bench.SetRecorder(recorder); }

  // A file of `size` bytes (byte i is (7i + seed) mod 256) for `area`, attached and selected.
  void Image(ImageArea area, uint32_t size, uint8_t seed = 1, std::time_t modified = kImageFileTime) {
    std::vector<uint8_t> bytes(size);
    for (uint32_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(7 * i + seed);
    const std::string path = files.File(std::string(AreaName(area)) + ".bin");
    WriteBytes(path, bytes, modified);
    AttachImageFile(bench.images()[area], path);
    SelectedFlag(job, area) = true;
  }
  // The type code of a Programmer whose firmware suits the chosen part as it is.
  uint8_t SuitableTypeCode() const {
    const PartRow& row = catalogue.Row(job.PartCode);
    const FirmwareVariant start = job.Type() == kTypeIsp ? FirmwareVariant::Isp : FirmwareVariant::Icp;
    const VariantDecision decision =
        DecideVariant(ClassifyPart(job.PartCode, row.KestraPart, row.FamilyFlagB, row.FamilyFlagC), start);
    return Info(decision.action == VariantDecision::Action::Switch ? decision.target : start).type_code;
  }
  // Where the exchange on line `index` stands now.
  std::size_t Mark(std::size_t index = 0) const { return WireEvents(index).size(); }
  std::string ExchangeSince(std::size_t mark, std::size_t index = 0) const {
    const std::vector<WireEvent> events = WireEvents(index);
    return ExchangeText({events.begin() + static_cast<std::ptrdiff_t>(mark), events.end()});
  }
  // The reports and the recorder's lines, with the exchange from `mark` on.
  std::string UpdateText(int outcome, std::size_t mark, std::size_t index = 0) {
    std::string text = "outcome " + std::to_string(outcome) + "\n-- line\n" + ExchangeSince(mark, index);
    text += "-- reports\n" + ReportText(reporter.Events()) + "-- records\n" + recorder.Text();
    for (const auto& [high, low] : display.serial_numbers)
      text += "S/N box " + FormatSnValue({high, low}) + "\n";
    for (uint32_t counter : display.counters) text += "counter box " + FormatChipCounter(counter) + "\n";
    return text;
  }

  TempDir files;
  RecordingRecorder recorder;
};

}  // namespace quillet::test_support
