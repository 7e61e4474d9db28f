// The bookkeeping after an update: the S/N steps by its increment modulo 10^16, the Chip Counter
// counts up or down between 0 and 999,999; the PASS text names the S/N the chip got.
#include <algorithm>
#include <cstdio>

#include "core/operations/chip_operations.h"

namespace quillet {
namespace {

constexpr uint32_t kHalf = 100'000'000;
constexpr uint32_t kCounterEnd = 999'999;

SplitDecimal Stepped(SplitDecimal value, const SplitDecimal& step) {
  uint32_t carry = 0;
  value.low += step.low;
  if (value.low >= kHalf) {
    value.low -= kHalf;
    carry = 1;
  }
  value.high += carry + step.high;
  if (value.high >= kHalf) value.high -= kHalf;
  return value;
}

}  // namespace

void StepSerialNumber(JobSettings& job) {
  job.SnValue = Stepped(job.SnValue, job.SnIncrement);
}

int RecordChipStarting(Workbench& bench, const std::optional<SplitDecimal>& sn) {
  const JobSettings& job = bench.job();
  const ChipStart start{0, sn};
  const SplitDecimal reserved = sn ? Stepped(*sn, job.SnIncrement) : job.SnValue;
  return bench.recorder().ChipsStarting({&start, 1}, {reserved, job.ChipCounter});
}

// The exact inverse of StepSerialNumber: a borrow out of the high half wraps it round 10^8 as the
// step wrapped it the other way.
void UnstepSerialNumber(JobSettings& job) {
  SplitDecimal& value = job.SnValue;
  const SplitDecimal& step = job.SnIncrement;
  uint32_t borrow = 0;
  if (value.low >= step.low) {
    value.low -= step.low;
  } else {
    value.low = value.low + kHalf - step.low;
    borrow = 1;
  }
  const uint32_t down = borrow + step.high;
  value.high = value.high >= down ? value.high - down : value.high + kHalf - down;
}

void StepChipCounter(JobSettings& job, uint32_t step) {
  if (!job.ChipCounterEnabled) return;
  if (job.CountDown)
    job.ChipCounter = job.ChipCounter > step ? job.ChipCounter - step : 0;
  else
    job.ChipCounter = std::min(job.ChipCounter + step, kCounterEnd);
}

std::string ChipPassText(const JobSettings& job) {
  std::string text = "Chip is successfully updated !";
  if (job.SnProgrammingEnabled) {
    char sn[96];
    std::snprintf(sn, sizeof sn, "\n\n( S/N='%08u,%08u' at address 0x%X )", job.SnValue.high, job.SnValue.low,
                  job.SnAddress);
    text += sn;
  }
  return text;
}

}  // namespace quillet
