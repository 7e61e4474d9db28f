// The CONFIG editors' templates against the editor tables: a template holds exactly the controls
// its editor drives, every button sits inside its field's group box, and no two controls that are
// not group boxes overlap.
#include <gtest/gtest.h>

#include <set>

#include "core/catalogue/part_catalogue.h"
#include "dialogs/config/config_editor_model.h"
#include "dialogs/config/config_layouts.h"

namespace quillet {
namespace {

bool Inside(const DialogRect& r, const DialogRect& frame) {
  return r.x >= frame.x && r.y >= frame.y && r.x + r.width <= frame.x + frame.width &&
         r.y + r.height <= frame.y + frame.height;
}

void ExpectSoundLayout(const DialogTemplate& dialog, const std::map<int, ConfigControlState>& driven,
                       uint32_t code) {
  std::set<int> ids;
  for (const ControlTemplate& a : dialog.controls) {
    EXPECT_TRUE(Inside(a.rect, {0, 0, dialog.width, dialog.height})) << code << "/" << a.id;
    if (a.id != kNoId) EXPECT_TRUE(ids.insert(a.id).second) << code << ": id " << a.id << " twice";
    for (const ControlTemplate& b : dialog.controls) {
      if (&a >= &b || a.kind == ControlKind::GroupBox || b.kind == ControlKind::GroupBox) continue;
      const bool apart = a.rect.x >= b.rect.x + b.rect.width || b.rect.x >= a.rect.x + a.rect.width ||
                         a.rect.y >= b.rect.y + b.rect.height || b.rect.y >= a.rect.y + a.rect.height;
      EXPECT_TRUE(apart) << dialog.id << ": " << a.id << " and " << b.id;
    }
  }
  std::set<int> driven_ids;
  for (const auto& [id, state] : driven) driven_ids.insert(id);
  EXPECT_EQ(ids, driven_ids) << code;
}

TEST(ConfigLayoutsTest, TemplatesHoldExactlyTheControlsTheEditorsDrive) {
  const PartCatalogue catalogue;
  // One part of each editor; the bit editor with two pages (110) and with none (0).
  for (uint32_t code : {200, 810, 1000, 852, 900, 38, 40, 132, 110, 0}) {
    ConfigByteArray bytes{};
    uint16_t slider = 1;
    auto model = ConfigEditorModel::Open(code, catalogue, bytes, slider);
    ASSERT_TRUE(model) << code;
    const DialogTemplate& dialog = model->dialog_template();
    EXPECT_EQ(dialog.id, static_cast<int>(model->editor().dialog())) << code;
    EXPECT_EQ(dialog.caption, model->editor().title()) << code;
    ExpectSoundLayout(dialog, model->editor().States(), code);
    for (int page = 0; page < model->page_count(); ++page) {
      ExpectSoundLayout(ConfigBitPageTemplate(page), model->editor().PageStates(page), code);
    }
  }
}

TEST(ConfigLayoutsTest, ButtonsLieInsideTheirGroupBoxAndGroupsInsideTheirParent) {
  for (ConfigDialog editor :
       {ConfigDialog::kCortex, ConfigDialog::kEmber, ConfigDialog::kCedar, ConfigDialog::kDune,
        ConfigDialog::kSorrel, ConfigDialog::k8051, ConfigDialog::k8051Small}) {
    const DialogTemplate& dialog = ConfigEditorTemplate(editor);
    for (const ConfigFieldRow& field : ConfigEditorTable(editor).fields) {
      const ControlTemplate* group = FindControl(dialog, field.group_id);
      ASSERT_NE(group, nullptr) << dialog.id << ": " << field.group;
      EXPECT_EQ(std::string_view(group->caption), field.group) << dialog.id;
      if (field.parent_group != 0) {
        EXPECT_TRUE(Inside(group->rect, FindControl(dialog, field.parent_group)->rect)) << field.group;
      }
      for (const ConfigButton& button : field.buttons) {
        const ControlTemplate* radio = FindControl(dialog, button.id);
        ASSERT_NE(radio, nullptr) << dialog.id << ": " << button.id;
        EXPECT_EQ((radio->style & kHidden) != 0, button.hidden || field.hidden)
            << dialog.id << ": " << button.id;
        EXPECT_TRUE(Inside(radio->rect, group->rect)) << dialog.id << ": " << button.id;
      }
    }
  }
}

}  // namespace
}  // namespace quillet
