#include "dialogs/main/part_lists.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillet {
namespace {

JobSettings Job(uint8_t type, uint32_t code) {
  JobSettings job;
  job.ProgrammerMode = type;
  job.PartCode = code;
  DeriveModeFlags(job);
  return job;
}

struct CategoryCase {
  uint8_t type;
  uint32_t code;
  int category;
  int part_index;
  std::size_t remembered_slot;
};

TEST(FillCategoryList, SelectsTheCategoryHoldingTheCodeAndResetsTheOthers) {
  const std::vector<CategoryCase> cases = {
      {kTypeIcp, 110, 0, 0, 1},  {kTypeIcp, 115, 0, 5, 1},  {kTypeIcp, 143, 0, 33, 1},
      {kTypeIcp, 199, 0, 89, 1}, {kTypeIcp, 200, 1, 0, 2},  {kTypeIcp, 349, 1, 149, 2},
      {kTypeIcp, 810, 2, 10, 3}, {kTypeIcp, 861, 3, 11, 4}, {kTypeIcp, 999, 4, 99, 5},
      {kTypeIcp, 1000, 5, 0, 6}, {kTypeIcp, 1103, 6, 3, 7}, {kTypeIcp, 1203, 6, 103, 7},
      {kTypeIcp, 5, 0, 5, 0},    {kTypeIsp, 5, 0, 5, 0},    {kTypeComIsp, 44, 0, 44, 0},
      {kTypeIsp, 850, 0, 0, 4},  // outside ICP the category list always shows category 0
  };
  for (const CategoryCase& c : cases) {
    JobSettings job = Job(c.type, c.code);
    PartListState state;
    state.remembered.fill(999);
    const ListContent list = FillCategoryList(state, job);
    ASSERT_EQ(list.entries.size(), 7u);
    EXPECT_EQ(list.entries[4], "Velmari_Dune");
    EXPECT_EQ(list.selected, c.category) << c.code;
    EXPECT_EQ(state.category_index, c.category) << c.code;
    EXPECT_EQ(job.CategoryStr, kPartCategories[c.category].text) << c.code;
    EXPECT_EQ(state.part_index, c.part_index) << c.code;
    for (std::size_t slot = 0; slot < 8; ++slot) {
      EXPECT_EQ(state.remembered[slot], slot == c.remembered_slot ? c.code : kRememberedResetCodes[slot])
          << c.code << " slot " << slot;
    }
  }
}

TEST(FillPartList, ShowsTheCurrentCategoryInIcpAndTheIspListOtherwise) {
  PartCatalogue catalogue;
  catalogue.SaveComOnlyNames();
  catalogue.HideComOnlyNames(kStartUpHiddenLast);
  struct ListCase {
    uint8_t type;
    uint32_t code;
    std::size_t entries;
    std::string first_entry;
    std::optional<int> selected;
  };
  const std::vector<ListCase> cases = {
      {kTypeIcp, 115, 34, "QMC04A", 5},
      {kTypeIcp, 1203, 4, "QFJ064LB", std::nullopt},
      {kTypeIcp, 5, 34, "QMC04A", std::nullopt},
      {kTypeIcp, 144, 34, "QMC04A", std::nullopt},
      {kTypeIcp, 969, 70, "QVDB032LB", 69},
      {kTypeIcp, 1000, 1, "QEL141A", 0},
      {kTypeIsp, 5, 48, "QLA04D", 5},
      {kTypeComIsp, 47, 48, "QLA04D", 47},
      {kTypeIsp, 60, 48, "QLA04D", std::nullopt},
  };
  for (const ListCase& c : cases) {
    JobSettings job = Job(c.type, c.code);
    PartListState state;
    FillCategoryList(state, job);
    const ListContent list = FillPartList(state, job, catalogue);
    ASSERT_EQ(list.entries.size(), c.entries) << c.code;
    EXPECT_EQ(list.entries.front(), c.first_entry) << c.code;
    EXPECT_EQ(list.selected, c.selected) << c.code;
    if (c.entries == 48) {
      EXPECT_EQ(list.entries[44], "-");  // hidden outside ISP by COM Port
    }
  }
}

TEST(OnPartChange, MapsTheIndexToACodeOfTheShownRange) {
  JobSettings job = Job(kTypeIcp, 110);
  PartListState state;
  FillCategoryList(state, job);
  SelectionOutcome outcome = OnPartChange(state, job, 5, false);
  EXPECT_EQ(job.PartCode, 115u);
  EXPECT_TRUE(outcome.setup_and_refresh);
  EXPECT_EQ(state.remembered[1], 115u);
  outcome = OnPartChange(state, job, 5, false);  // the same entry again
  EXPECT_FALSE(outcome.setup_and_refresh);

  job = Job(kTypeIcp, 1100);
  FillCategoryList(state, job);
  OnPartChange(state, job, 2, false);
  EXPECT_EQ(job.PartCode, 1102u);
  EXPECT_EQ(state.remembered[7], 1102u);

  job = Job(kTypeIsp, 2);
  FillCategoryList(state, job);
  outcome = OnPartChange(state, job, 5, false);
  EXPECT_EQ(job.PartCode, 5u);
  EXPECT_TRUE(outcome.setup_and_refresh);
  EXPECT_EQ(state.remembered[0], 5u);
  EXPECT_EQ(state.part_index, 5);
}

TEST(OnPartChange, PutsTheSelectionBackWhileAnOperationRuns) {
  JobSettings job = Job(kTypeIcp, 203);
  PartListState state;
  FillCategoryList(state, job);
  const SelectionOutcome outcome = OnPartChange(state, job, 7, true);
  EXPECT_EQ(outcome.put_back, 3);
  EXPECT_FALSE(outcome.setup_and_refresh);
  EXPECT_EQ(job.PartCode, 203u);
  EXPECT_EQ(state.part_index, 3);
}

TEST(OnPartChange, IgnoresIndexesTheListDoesNotHave) {
  for (int index : {-1, 4, 1000}) {
    JobSettings job = Job(kTypeIcp, 1101);
    PartListState state;
    FillCategoryList(state, job);
    const SelectionOutcome outcome = OnPartChange(state, job, index, false);
    EXPECT_FALSE(outcome.setup_and_refresh) << index;
    EXPECT_FALSE(outcome.put_back) << index;
    EXPECT_EQ(job.PartCode, 1101u) << index;
  }
  JobSettings job = Job(kTypeIsp, 3);
  PartListState state;
  FillCategoryList(state, job);
  EXPECT_FALSE(OnPartChange(state, job, 48, false).setup_and_refresh);
  EXPECT_EQ(job.PartCode, 3u);
}

TEST(OnCategoryChange, TakesTheRememberedCodeOfTheNewCategory) {
  JobSettings job = Job(kTypeIcp, 1000);
  PartListState state;
  FillCategoryList(state, job);
  SelectionOutcome outcome = OnCategoryChange(state, job, 2, false);
  EXPECT_TRUE(outcome.setup_and_refresh);
  EXPECT_EQ(job.PartCode, 800u);
  EXPECT_EQ(job.CategoryStr, "Velmari_Birch");
  EXPECT_EQ(state.previous_category, "Ember Family");
  EXPECT_EQ(state.category_index, 2);

  outcome = OnCategoryChange(state, job, 2, false);  // same text: nothing to do
  EXPECT_FALSE(outcome.setup_and_refresh);

  outcome = OnCategoryChange(state, job, 5, false);  // back: Ember remembered its code
  EXPECT_EQ(job.PartCode, 1000u);

  outcome = OnCategoryChange(state, job, 1, true);
  EXPECT_EQ(outcome.put_back, 5);
  EXPECT_EQ(job.PartCode, 1000u);

  outcome = OnCategoryChange(state, job, 7, false);
  EXPECT_FALSE(outcome.setup_and_refresh);
  EXPECT_EQ(state.category_index, 5);
}

TEST(OnCategoryChange, OutsideIcpUsesTheCodeOfTheListWithoutCategories) {
  JobSettings job = Job(kTypeIsp, 9);
  PartListState state;
  FillCategoryList(state, job);
  const SelectionOutcome outcome = OnCategoryChange(state, job, 3, false);
  EXPECT_TRUE(outcome.setup_and_refresh);
  EXPECT_EQ(job.PartCode, 9u);
}

}  // namespace
}  // namespace quillet
