#pragma once
// The compiled-in part rows, before any run-time name change.
#include <array>
#include <string_view>
#include <vector>

#include "core/catalogue/part_row.h"

namespace quillet {

// Rows 0..1214, composed from the named rows and the code-range tables.
std::vector<PartRow> BuildPartRows();

// Older forms of 8051 part names, with "(I)" inside, that project files may still carry.
struct OldPartName {
  std::string_view old_name;
  std::string_view current_name;
};
extern const std::array<OldPartName, 5> kOldPartNames;

}  // namespace quillet
