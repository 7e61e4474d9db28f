#pragma once
// The two part lists of the main window, without the widgets: the category list (ICP only) and the
// part list, what they show and select, and how a selection maps to a PartCode. The GUI binds these
// functions to its combo boxes; the caller runs SetupPart and the main-window refresh when asked.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalogue/part_catalogue.h"
#include "core/catalogue/part_categories.h"
#include "core/job/job_settings.h"

namespace quillet {

// Remembered codes: entry 0 for the list without categories, entry 1 + i for category i.
constexpr std::array<uint32_t, 8> kRememberedResetCodes{2, 110, 200, 800, 850, 900, 1000, 1100};

// What the main window keeps about the lists besides PartCode and CategoryStr (in JobSettings).
struct PartListState {
  int category_index = 0;
  std::string previous_category;
  int part_index = 0;
  std::array<uint32_t, 8> remembered = kRememberedResetCodes;
};

struct ListContent {
  std::vector<std::string> entries;
  std::optional<int> selected;  // none: the list shows no selection
};

struct SelectionOutcome {
  std::optional<int> put_back;     // an operation runs: select this index again
  bool setup_and_refresh = false;  // run SetupPart and the main-window refresh
};

// Selects the category that holds job.PartCode (category 0 outside ICP), stores it and the
// part-list index, resets the remembered codes except the current one, sets job.CategoryStr.
// The window enables the category list in ICP.
ListContent FillCategoryList(PartListState& state, JobSettings& job);

// The names of the current category's codes in ICP, else of codes 0..47, and the entry of PartCode.
ListContent FillPartList(const PartListState& state, const JobSettings& job, const PartCatalogue& catalogue);

SelectionOutcome OnCategoryChange(PartListState& state, JobSettings& job, int new_index,
                                  bool operation_running);
SelectionOutcome OnPartChange(PartListState& state, JobSettings& job, int new_index, bool operation_running);

}  // namespace quillet
