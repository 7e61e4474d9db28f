#include "core/storage/settings_record.h"

#include <cstring>

#include "core/report/reporter.h"
#include "core/serial/port_name.h"
#include "core/storage/packed_bcd.h"
#include "core/sys/file_io.h"

namespace quillet {
namespace {

// Field offsets in the record.
constexpr std::size_t kMode = 0, kPartCode = 1, kUsageHigh = 8, kUsageLow = 9, kSnEnabled = 10,
                      kSnAddress = 11, kSnIncrement = 16, kSnValue = kSnValueOffset, kCounterEnabled = 32,
                      kCountDown = 33, kChipCounter = kChipCounterOffset, kFastProtocol = 40;

uint32_t GetLe(std::span<const uint8_t> bytes, std::size_t at, std::size_t size) {
  uint32_t value = 0;
  for (std::size_t i = size; i-- > 0;) value = (value << 8) | bytes[at + i];
  return value;
}

void PutLe(std::vector<uint8_t>& bytes, std::size_t at, std::size_t size, uint32_t value) {
  for (std::size_t i = 0; i < size; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A type or mode nibble that no version writes (a damaged file) falls back to plain ISP.
uint8_t SaneMode(uint8_t mode) {
  const uint8_t type = mode & 0x0F, extra = mode & 0xF0;
  const bool type_ok = type <= kTypeComIsp;
  const bool extra_ok = extra == 0 || extra == kModeGang || extra == kModeProduction;
  return static_cast<uint8_t>((type_ok ? type : 0) | (extra_ok ? extra : 0));
}

uint8_t Flag(bool on) {
  return on ? 0xFF : 0x00;
}

}  // namespace

void ApplyFirstRunDefaults(JobSettings& job) {
  job.ProgrammerMode = 0;
  job.PartCode = kFirstRunPartCode;
  job.SetPortName(kFirstRunPortName);
  job.SnValue = {0, 0};
  job.SnIncrement = {0, 1};
}

void RestoreSettingsRecord(std::span<const uint8_t> file, JobSettings& job) {
  // True when the field [at, at + size) lies wholly inside the file.
  const auto has = [&](std::size_t at, std::size_t size) { return at + size <= file.size(); };

  if (has(kMode, 1)) job.ProgrammerMode = SaneMode(file[kMode]);
  if (has(kPartCode, 2)) {
    const uint32_t code = GetLe(file, kPartCode, 2);
    job.PartCode = code < kPartCodeCount ? code : kFirstRunPartCode;
  }
  if (file.size() > kSettingsRecordSize) {
    const auto name = file.subspan(kSettingsRecordSize);
    std::string_view text(reinterpret_cast<const char*>(name.data()), name.size());
    job.SetPortName(text.substr(0, text.find('\0')));  // a name over 15 characters is not stored
  }
  if (has(kUsageHigh, 2)) {
    job.UsageLimit = {file[kUsageHigh], file[kUsageLow]};
    if (job.UsageLimit == UsageLimitBytes{0, 0}) job.UsageLimit = {0xFF, 0xFF};
  }
  if (has(kSnEnabled, 1)) job.SnProgrammingEnabled = file[kSnEnabled] != 0;
  if (has(kSnAddress, 4)) job.SnAddress = GetLe(file, kSnAddress, 4);
  if (has(kSnIncrement, 8)) job.SnIncrement = FromPackedBcd(file.subspan<kSnIncrement, 8>());
  if (has(kSnValue, 8)) job.SnValue = FromPackedBcd(file.subspan<kSnValue, 8>());
  if (has(kCounterEnabled, 1)) job.ChipCounterEnabled = file[kCounterEnabled] != 0;
  if (has(kCountDown, 1)) job.CountDown = file[kCountDown] != 0;
  if (has(kChipCounter, 4)) job.ChipCounter = GetLe(file, kChipCounter, 4);
  if (has(kFastProtocol, 1)) job.FastProtocol = file[kFastProtocol] == 0;
}

std::vector<uint8_t> EncodeSettingsRecord(const JobSettings& job) {
  std::vector<uint8_t> bytes(kSettingsRecordSize, 0);
  bytes[kMode] = job.ProgrammerMode;
  PutLe(bytes, kPartCode, 2, job.PartCode);
  bytes[kUsageHigh] = job.UsageLimit.high;
  bytes[kUsageLow] = job.UsageLimit.low;
  bytes[kSnEnabled] = Flag(job.SnProgrammingEnabled);
  PutLe(bytes, kSnAddress, 4, job.SnAddress);
  const PackedBcd increment = ToPackedBcd(job.SnIncrement);
  const PackedBcd value = ToPackedBcd(job.SnValue);
  std::memcpy(&bytes[kSnIncrement], increment.data(), increment.size());
  std::memcpy(&bytes[kSnValue], value.data(), value.size());
  bytes[kCounterEnabled] = Flag(job.ChipCounterEnabled);
  bytes[kCountDown] = Flag(job.CountDown);
  PutLe(bytes, kChipCounter, 4, job.ChipCounter);
  bytes[kFastProtocol] = Flag(!job.FastProtocol);  // stored inverted: 0x00 means Fast Protocol
  const std::string name = job.PortName();
  bytes.insert(bytes.end(), name.begin(), name.end());
  return bytes;
}

bool LoadSettingsFile(const std::string& path, JobSettings& job) {
  // One byte more than the longest usable record tells an over-long port name from a usable one.
  const auto file = ReadFileLimited(path, kSettingsRecordSize + kPortNameSize + 1);
  if (!file) {
    ApplyFirstRunDefaults(job);
    return false;
  }
  RestoreSettingsRecord(file->bytes, job);
  return true;
}

int SaveSettingsFile(const std::string& path, const JobSettings& job, Reporter& reporter) {
  if (WriteFileAtomically(path, EncodeSettingsRecord(job))) return 1;
  reporter.ShowFail("'GUI.LOG' cannot be created !");
  return 0;
}

}  // namespace quillet
