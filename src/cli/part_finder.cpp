#include "cli/part_finder.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "core/catalogue/part_categories.h"
#include "core/job/job_settings.h"

namespace quillet::cli {
namespace {

struct ModeWord {
  std::string_view word;
  uint8_t type;
  std::string_view text;
};
constexpr std::array<ModeWord, 3> kModeWords{{
    {"isp", kTypeIsp, "ISP"},
    {"icp", kTypeIcp, "ICP"},
    {"comisp", kTypeComIsp, "ISP by COM Port"},
}};

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

std::optional<uint8_t> TypeOfModeWord(std::string_view word) {
  for (const ModeWord& mode : kModeWords) {
    if (mode.word == word) return mode.type;
  }
  return std::nullopt;
}

std::string_view ModeWordOfType(uint8_t type) {
  for (const ModeWord& mode : kModeWords) {
    if (mode.type == type) return mode.word;
  }
  return "isp";
}

std::string_view TypeText(uint8_t type) {
  for (const ModeWord& mode : kModeWords) {
    if (mode.type == type) return mode.text;
  }
  return "ISP";
}

std::vector<uint8_t> TypesOfPart(uint32_t code) {
  if (code >= kComOnlyFirst && code <= kComOnlyLast) return {kTypeComIsp};
  if (code <= kIspListLast) return {kTypeIsp, kTypeComIsp};
  if (code >= kIcpCodesFirst && code < kPartCount) return {kTypeIcp};
  return {};
}

std::string_view CoreText(const PartRow& row) {
  return row.IsCortexM0 ? "Cortex-M0" : "8051";
}

std::string_view CategoryText(uint32_t code) {
  for (const PartCategory& category : kPartCategories) {
    if (code >= category.first && code <= category.last_shown) return category.text;
  }
  return "-";
}

std::vector<NamedPart> NamedParts(const PartCatalogue& catalogue) {
  std::vector<NamedPart> parts;
  for (uint32_t code = 0; code < kPartCount; ++code) {
    const std::string& name = catalogue.PartName(code);
    if (!name.empty() && name != "-" && !TypesOfPart(code).empty()) parts.push_back({code, name});
  }
  return parts;
}

std::string CatalogueSpelling(const PartCatalogue& catalogue, std::string_view name) {
  for (const NamedPart& part : NamedParts(catalogue)) {
    if (Lower(part.name) == Lower(name)) return std::string(part.name);
  }
  return std::string(name);
}

std::vector<std::string> NearestNames(const PartCatalogue& catalogue, std::string_view name) {
  const std::string wanted = Lower(name);
  const std::size_t most = std::max<std::size_t>(2, wanted.size() / 3);
  std::vector<std::pair<std::size_t, std::string>> near;
  for (const NamedPart& part : NamedParts(catalogue)) {
    const std::size_t distance = EditDistance(wanted, Lower(part.name));
    if (distance <= most) near.emplace_back(distance, std::string(part.name));
  }
  std::stable_sort(near.begin(), near.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> names;
  for (std::size_t i = 0; i < near.size() && i < 3; ++i) names.push_back(near[i].second);
  return names;
}

std::string UnknownPartHint(const PartCatalogue& catalogue, std::string_view name,
                            std::optional<uint8_t> type) {
  if (name == "-") return "\"-\" separates series in the part list; quillet-cli parts lists the parts";
  for (const NamedPart& part : NamedParts(catalogue)) {
    if (Lower(part.name) != Lower(name)) continue;
    const uint8_t its_type = TypesOfPart(part.code).front();
    if (type)
      return std::string(part.name) + " is an " + std::string(TypeText(its_type)) + " part: use --mode " +
             std::string(ModeWordOfType(its_type));
  }
  const std::vector<std::string> near = NearestNames(catalogue, name);
  if (near.empty())
    return "quillet-cli parts lists the parts; quillet-cli parts 'PATTERN*' finds them by name";
  std::string text = "nearest names:";
  for (const std::string& n : near) text += " " + n;
  return text;
}

}  // namespace quillet::cli
