#include "core/operations/storage_report.h"

#include <algorithm>

#include "core/images/image_loader.h"
#include "core/operations/download_header.h"

namespace quillet {

std::vector<ReportField> ExpectedStorageReport(const JobSettings& job, const ImageBuffers& images,
                                               bool part_code_high_byte, bool gang) {
  using Check = ReportField::Check;
  std::vector<ReportField> fields;
  fields.push_back({1, Check::Exact, {0x00}, {}});
  std::vector<uint8_t> part{static_cast<uint8_t>(job.PartCode)};
  if (part_code_high_byte) part.push_back(static_cast<uint8_t>(job.PartCode >> 8));
  fields.push_back({part.size(), Check::Exact, part, {}});
  fields.push_back({1, Check::Exact, {job.ItemFlags}, {}});
  for (ImageArea area : kImageAreas) {
    const ImageBuffer& image = images[area];
    const bool selected = SelectedFlag(job, area);
    std::vector<uint8_t> stamp = StampOnWire(image);
    fields.push_back({stamp.size(), selected ? Check::Exact : Check::Ignore, std::move(stamp), {}});
    fields.push_back({kStoredNameSize, selected ? Check::Name : Check::Ignore, {}, image.StoredName()});
  }
  const auto config = ConfigOnWire(job.ConfigBytes);
  fields.push_back({config.size(),
                    job.ConfigSelected ? Check::Exact : Check::Ignore,
                    std::vector<uint8_t>(config.begin(), config.end()),
                    {}});
  fields.push_back({1, gang ? Check::Exact : Check::Ignore, {uint8_t(job.GangVerifyOnly ? 0xFF : 0x00)}, {}});
  return fields;
}

bool FieldMatches(const ReportField& field, std::span<const uint8_t> received) {
  switch (field.check) {
    case ReportField::Check::Ignore:
      return true;
    case ReportField::Check::Exact:
      return std::ranges::equal(field.expected, received);
    case ReportField::Check::Name: {
      const auto end = std::find(received.begin(), received.end(), uint8_t{0});
      return std::string(received.begin(), end) == field.name;
    }
  }
  return false;
}

}  // namespace quillet
