#pragma once
// What a Programmer reports after 0xC3 and its acknowledge, field by field, and what each field must
// hold for the storage to match the job: status, part code, item flags, the three stamps and names,
// CONFIG and the gang verify byte.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/images/image_buffer.h"
#include "core/job/job_settings.h"

namespace quillet {

struct ReportField {
  enum class Check : uint8_t {
    Ignore,  // read and not compared
    Exact,   // every byte equals `expected`
    Name,    // the text up to the first zero byte equals `name`
  };
  std::size_t size = 0;
  Check check = Check::Ignore;
  std::vector<uint8_t> expected;
  std::string name;
};

// The report's fields in the order they arrive; the first is the status byte (0: the storage holds
// a download). `job.ItemFlags` must already be built. The part code has its high byte only from
// firmware 0x0501 on; the gang verify byte is compared only in a gang update.
std::vector<ReportField> ExpectedStorageReport(const JobSettings& job, const ImageBuffers& images,
                                               bool part_code_high_byte, bool gang);

bool FieldMatches(const ReportField& field, std::span<const uint8_t> received);

}  // namespace quillet
