#include <gtest/gtest.h>

#include <set>

#include "dialogs/advanced/advanced_layout.h"
#include "dialogs/kit/dialog_template.h"
#include "dialogs/kit/dialog_units.h"
#include "dialogs/main/main_layout.h"
#include "dialogs/main/report_layouts.h"

namespace quillet {
namespace {

TEST(DialogUnitsTest, BaseUnitsRoundTheMeanLetterWidth) {
  // 52 letters 286 px wide: mean 5.5 px rounds to 6; 259 px: mean 4.98 rounds to 5.
  EXPECT_EQ(BaseUnitsFromFont(286, 14), (DialogBaseUnits{6, 14}));
  EXPECT_EQ(BaseUnitsFromFont(259, 13), (DialogBaseUnits{5, 13}));
}

TEST(DialogUnitsTest, MapsQuartersAndEighthsRoundingHalvesUp) {
  const DialogBaseUnits base{6, 14};
  EXPECT_EQ(MapDialogRect({311, 327, 1, 3}, base), (PixelRect{467, 572, 2, 5}));  // 466.5, 572.25, 1.5, 5.25
  EXPECT_EQ(MapDialogRect({0, 0, 4, 8}, base), (PixelRect{0, 0, 6, 14}));
  EXPECT_EQ(ScaleRounded(-3, 6, 4), -5);  // -4.5 rounds away from zero
}

const DialogTemplate* const kDialogs[] = {&MainDialogTemplate(), &AboutDialogTemplate(),
                                          &PassDialogTemplate(), &FailDialogTemplate(),
                                          &AdvancedDialogTemplate()};

TEST(DialogLayoutTest, IdsAreUniqueAndEveryControlIsFoundByItsId) {
  for (const DialogTemplate* dialog : kDialogs) {
    std::set<int> ids;
    for (const ControlTemplate& control : dialog->controls) {
      if (control.id == kNoId) continue;
      EXPECT_TRUE(ids.insert(control.id).second) << dialog->id << ": id " << control.id << " twice";
      EXPECT_EQ(FindControl(*dialog, control.id), &control);
    }
    EXPECT_EQ(FindControl(*dialog, 9999), nullptr);
  }
}

TEST(DialogLayoutTest, ControlsLieInsideTheirDialog) {
  for (const DialogTemplate* dialog : kDialogs) {
    for (const ControlTemplate& control : dialog->controls) {
      // The banner picture is wider than the window and cut at its edge; a drop-down's height is
      // that of its opened list.
      if (control.kind == ControlKind::Bitmap && dialog == &MainDialogTemplate()) continue;
      const int height = control.kind == ControlKind::DropDownList ? 12 : control.rect.height;
      EXPECT_LE(control.rect.x + control.rect.width, dialog->width) << dialog->id << "/" << control.id;
      EXPECT_LE(control.rect.y + height, dialog->height) << dialog->id << "/" << control.id;
    }
  }
}

// Controls that a group box frames lie wholly inside it.
TEST(DialogLayoutTest, FramedControlsLieInsideTheirGroupBox) {
  const DialogTemplate& main = MainDialogTemplate();
  const struct {
    int group;
    std::vector<int> members;
  } groups[] = {
      {kIdTypeGroup, {kIdIspRadio, kIdIcpRadio, kIdGangCheck, kIdComIspRadio, kIdPmCheck}},
      {kIdPartGroup, {kIdCategoryList, kIdPartList}},
      {kIdItemsGroup, {kIdApromCheck, kIdDataFlashCheck, kIdLdromCheck, kIdConfigCheck, kIdConfigSetting}},
  };
  for (const auto& g : groups) {
    const DialogRect frame = FindControl(main, g.group)->rect;
    for (int id : g.members) {
      const DialogRect r = FindControl(main, id)->rect;
      const int height = FindControl(main, id)->kind == ControlKind::DropDownList ? 12 : r.height;
      EXPECT_GE(r.x, frame.x) << id;
      EXPECT_GE(r.y, frame.y) << id;
      EXPECT_LE(r.x + r.width, frame.x + frame.width) << id;
      EXPECT_LE(r.y + height, frame.y + frame.height) << id;
    }
  }
}

}  // namespace
}  // namespace quillet
