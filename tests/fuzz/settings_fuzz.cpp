// GUI.LOG restore: whatever the file holds, the window gets a part in the catalogue, a programmer
// type and mode that some version writes, and a port name that fits its field; and what it gets
// survives a save and a restore.
#include "core/storage/settings_record.h"
#include "fuzz_support.h"

using namespace quillet;

namespace {

bool SaneSettings(const JobSettings& job) {
  const uint8_t mode = job.ProgrammerMode;
  const uint8_t extra = mode & 0xF0;
  return job.PartCode < kPartCodeCount && (mode & 0x0F) <= kTypeComIsp &&
         (extra == 0 || extra == kModeGang || extra == kModeProduction) &&
         job.PortName().size() <= kMaxPortNameLength;
}

// The fields a save and a restore carry exactly. Not the usage limit (a 0, 0 pair reads back as
// 0xFF, 0xFF) nor the S/N halves (stored in eight digits; a damaged file may give more).
bool SameStoredFields(const JobSettings& a, const JobSettings& b) {
  return a.ProgrammerMode.load() == b.ProgrammerMode.load() && a.PartCode == b.PartCode &&
         a.PortName() == b.PortName() && a.SnProgrammingEnabled == b.SnProgrammingEnabled &&
         a.SnAddress == b.SnAddress && a.ChipCounterEnabled == b.ChipCounterEnabled &&
         a.CountDown == b.CountDown && a.ChipCounter == b.ChipCounter && a.FastProtocol == b.FastProtocol;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::span<const uint8_t> file(data, size);
  JobSettings job;  // as start-up finds it before reading the file
  RestoreSettingsRecord(file, job);
  FUZZ_CHECK(SaneSettings(job));

  const std::vector<uint8_t> saved = EncodeSettingsRecord(job);
  FUZZ_CHECK(saved.size() >= kSettingsRecordSize && saved.size() <= kSettingsRecordSize + kMaxPortNameLength);
  JobSettings again;
  RestoreSettingsRecord(saved, again);
  FUZZ_CHECK(SameStoredFields(job, again));
  // Settings that were saved and restored once are saved byte for byte the same from then on.
  const std::vector<uint8_t> saved_again = EncodeSettingsRecord(again);
  JobSettings third;
  RestoreSettingsRecord(saved_again, third);
  FUZZ_CHECK(EncodeSettingsRecord(third) == saved_again);
  return 0;
}
