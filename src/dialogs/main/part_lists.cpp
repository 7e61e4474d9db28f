#include "dialogs/main/part_lists.h"

namespace quillet {
namespace {

constexpr int kCategoryCount = static_cast<int>(kPartCategories.size());

bool ValidCategory(int index) {
  return index >= 0 && index < kCategoryCount;
}

// The codes a list shows: the current category's in ICP, else the list without categories.
struct ShownRange {
  uint32_t first;
  uint32_t last;
  std::size_t remembered_slot;
};

std::optional<ShownRange> CurrentRange(const PartListState& state, const JobSettings& job) {
  if (!job.CategoryMode) return ShownRange{0, kIspListLast, 0};
  if (!ValidCategory(state.category_index)) return std::nullopt;
  const PartCategory& category = kPartCategories[state.category_index];
  return ShownRange{category.first, category.last_shown, static_cast<std::size_t>(state.category_index) + 1};
}

}  // namespace

ListContent FillCategoryList(PartListState& state, JobSettings& job) {
  ListContent list;
  for (const PartCategory& category : kPartCategories) list.entries.emplace_back(category.text);

  // Categories are tested from the highest range down; codes below 110 use the list without categories.
  const uint32_t code = job.PartCode;
  int category = 0;
  for (int i = kCategoryCount - 1; i >= 0; --i) {
    if (code >= kPartCategories[i].first) {
      category = i;
      break;
    }
  }
  const bool categorised = code >= kPartCategories[0].first;
  state.category_index = category;
  state.remembered = kRememberedResetCodes;
  state.remembered[categorised ? category + 1 : 0] = code;
  state.part_index = static_cast<int>(categorised ? code - kPartCategories[category].first : code);
  job.CategoryStr = kPartCategories[category].text;
  if (!job.CategoryMode) {
    state.category_index = 0;
    job.CategoryStr = kPartCategories[0].text;
  }
  list.selected = state.category_index;
  return list;
}

ListContent FillPartList(const PartListState& state, const JobSettings& job, const PartCatalogue& catalogue) {
  ListContent list;
  const std::optional<ShownRange> range = CurrentRange(state, job);
  if (!range) return list;
  for (uint32_t code = range->first; code <= range->last; ++code)
    list.entries.push_back(catalogue.PartName(code));
  if (job.PartCode >= range->first && job.PartCode <= range->last) {
    list.selected = static_cast<int>(job.PartCode - range->first);
  }
  return list;
}

SelectionOutcome OnCategoryChange(PartListState& state, JobSettings& job, int new_index,
                                  bool operation_running) {
  if (operation_running) return {state.category_index, false};
  if (!ValidCategory(new_index)) return {};
  state.previous_category = job.CategoryStr;
  state.category_index = new_index;
  job.CategoryStr = kPartCategories[new_index].text;
  if (job.CategoryStr == state.previous_category) return {};
  job.PartCode = job.CategoryMode ? state.remembered[new_index + 1] : state.remembered[0];
  return {std::nullopt, true};
}

SelectionOutcome OnPartChange(PartListState& state, JobSettings& job, int new_index, bool operation_running) {
  if (operation_running) return {state.part_index, false};
  const std::optional<ShownRange> range = CurrentRange(state, job);
  if (!range || new_index < 0 || static_cast<uint32_t>(new_index) > range->last - range->first) return {};
  state.part_index = new_index;
  job.PartCode = range->first + static_cast<uint32_t>(new_index);
  uint32_t& remembered = state.remembered[range->remembered_slot];
  if (job.PartCode == remembered) return {};
  remembered = job.PartCode;
  return {std::nullopt, true};
}

}  // namespace quillet
