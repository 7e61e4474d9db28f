#pragma once
// The part catalogue: one row per PartCode 0..1214. One instance lives as long as the main window;
// its rows are constant except the names of codes 40..52, which are hidden ("-") while another
// programmer type than ISP by COM Port is selected, and kept meanwhile in ComOnlyPartNames.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalogue/part_row.h"

namespace quillet {

// Codes whose names only ISP by COM Port shows.
constexpr uint32_t kComOnlyFirst = 40;
constexpr uint32_t kComOnlyLast = 48;
// Start-up hides a few more codes than the type radios put back.
constexpr uint32_t kStartUpHiddenLast = 52;

// Ranges that project files and Programmer reports search a name in.
constexpr uint32_t kIspCodesLast = 109;   // ISP and ISP by COM Port: codes 0..109
constexpr uint32_t kIcpCodesFirst = 110;  // ICP: codes 110..1214

class PartCatalogue {
 public:
  PartCatalogue();
  // Views into the names stay valid only within one instance.
  PartCatalogue(const PartCatalogue&) = delete;
  PartCatalogue& operator=(const PartCatalogue&) = delete;

  // A code beyond 1214 gives an all-zero row with an empty name.
  const PartRow& Row(uint32_t code) const;
  const std::string& PartName(uint32_t code) const;
  void SetPartName(uint32_t code, std::string_view name);

  // First code in first..last whose name equals name exactly; an empty name names no part.
  std::optional<uint32_t> FindPartCode(std::string_view name, uint32_t first, uint32_t last) const;

  // Name swap of the ISP-by-COM-Port-only codes.
  void SaveComOnlyNames();                              // ComOnlyPartNames 40..48 = names 40..48
  void HideComOnlyNames(uint32_t last = kComOnlyLast);  // names 40..last = "-"
  void RestoreComOnlyNames();                           // names 40..48 = ComOnlyPartNames 40..48
  const std::array<std::string, 100>& ComOnlyPartNames() const { return com_only_names_; }

 private:
  std::vector<PartRow> rows_;
  std::vector<std::string> names_;  // rows_[code].PartName views names_[code]
  std::array<std::string, 100> com_only_names_;
};

// The current name for an older "(I)" form of an 8051 part name; other names come back unchanged.
std::string_view CurrentPartName(std::string_view name);

}  // namespace quillet
