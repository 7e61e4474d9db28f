#include "core/catalogue/part_catalogue.h"

#include "core/catalogue/part_table.h"

namespace quillet {
namespace {

const PartRow kEmptyRow{};
const std::string kEmptyName;

}  // namespace

PartCatalogue::PartCatalogue() : rows_(BuildPartRows()), names_(kPartCount) {
  for (uint32_t code = 0; code < kPartCount; ++code) {
    names_[code] = rows_[code].PartName;
    rows_[code].PartName = names_[code];
  }
}

const PartRow& PartCatalogue::Row(uint32_t code) const {
  return code < kPartCount ? rows_[code] : kEmptyRow;
}

const std::string& PartCatalogue::PartName(uint32_t code) const {
  return code < kPartCount ? names_[code] : kEmptyName;
}

void PartCatalogue::SetPartName(uint32_t code, std::string_view name) {
  if (code >= kPartCount) return;
  names_[code] = name;
  rows_[code].PartName = names_[code];
}

std::optional<uint32_t> PartCatalogue::FindPartCode(std::string_view name, uint32_t first,
                                                    uint32_t last) const {
  if (name.empty()) return std::nullopt;
  for (uint32_t code = first; code <= last && code < kPartCount; ++code) {
    if (names_[code] == name) return code;
  }
  return std::nullopt;
}

void PartCatalogue::SaveComOnlyNames() {
  for (uint32_t code = kComOnlyFirst; code <= kComOnlyLast; ++code) com_only_names_[code] = names_[code];
}

void PartCatalogue::HideComOnlyNames(uint32_t last) {
  for (uint32_t code = kComOnlyFirst; code <= last && code < kPartCount; ++code) {
    SetPartName(code, "-");
  }
}

void PartCatalogue::RestoreComOnlyNames() {
  for (uint32_t code = kComOnlyFirst; code <= kComOnlyLast; ++code) SetPartName(code, com_only_names_[code]);
}

std::string_view CurrentPartName(std::string_view name) {
  for (const OldPartName& pair : kOldPartNames) {
    if (pair.old_name == name) return pair.current_name;
  }
  return name;
}

}  // namespace quillet
