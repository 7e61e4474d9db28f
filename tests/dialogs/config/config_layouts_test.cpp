// The CONFIG editors' templates against the editor tables: every control an editor drives exists
// in its template and nothing else has an id, every button sits inside its field's group box, and
// no two controls that are not group boxes overlap.
#include <gtest/gtest.h>

#include <set>

#include "core/catalogue/part_catalogue.h"
#include "dialogs/config/config_editor_model.h"
#include "dialogs/config/config_layouts.h"

namespace quillet {
namespace {

// One part of each editor; the bit editor with two pages (110) and with none (0).
constexpr uint32_t kPartsByEditor[] = {200, 810, 1000, 852, 900, 38, 40, 132, 110, 0};

bool Inside(const DialogRect& r, const DialogRect& frame) {
  return r.x >= frame.x && r.y >= frame.y && r.x + r.width <= frame.x + frame.width &&
         r.y + r.height <= frame.y + frame.height;
}

bool Overlap(const DialogRect& a, const DialogRect& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// The ids of the template are unique, lie inside the dialog and are exactly those the editor drives.
void ExpectSameIds(const DialogTemplate& dialog, const std::map<int, ConfigControlState>& driven_states,
                   uint32_t code) {
  std::set<int> in_template;
  for (const ControlTemplate& control : dialog.controls) {
    EXPECT_LE(control.rect.x + control.rect.width, dialog.width) << code << "/" << control.id;
    EXPECT_LE(control.rect.y + control.rect.height, dialog.height) << code << "/" << control.id;
    if (control.id == kNoId) continue;
    EXPECT_TRUE(in_template.insert(control.id).second) << code << ": id " << control.id << " twice";
  }
  std::set<int> driven;
  for (const auto& [id, state] : driven_states) driven.insert(id);
  EXPECT_EQ(in_template, driven) << code;
}

void ExpectNoOverlaps(const DialogTemplate& dialog) {
  for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
    for (std::size_t j = i + 1; j < dialog.controls.size(); ++j) {
      const ControlTemplate& a = dialog.controls[i];
      const ControlTemplate& b = dialog.controls[j];
      if (a.kind == ControlKind::GroupBox || b.kind == ControlKind::GroupBox) continue;
      EXPECT_FALSE(Overlap(a.rect, b.rect)) << dialog.id << ": " << a.id << " and " << b.id;
    }
  }
}

TEST(ConfigLayoutsTest, TemplatesHoldExactlyTheControlsTheEditorsDrive) {
  const PartCatalogue catalogue;
  for (uint32_t code : kPartsByEditor) {
    ConfigByteArray bytes{};
    uint16_t slider = 1;
    auto model = ConfigEditorModel::Open(code, catalogue, bytes, slider);
    ASSERT_TRUE(model) << code;
    const DialogTemplate& dialog = model->dialog_template();
    EXPECT_EQ(dialog.id, static_cast<int>(model->editor().dialog())) << code;
    EXPECT_EQ(dialog.caption, model->editor().title()) << code;
    ExpectSameIds(dialog, model->editor().States(), code);
    ExpectNoOverlaps(dialog);
    for (int page = 0; page < model->page_count(); ++page) {
      ExpectSameIds(ConfigBitPageTemplate(page), model->editor().PageStates(page), code);
      ExpectNoOverlaps(ConfigBitPageTemplate(page));
    }
  }
}

TEST(ConfigLayoutsTest, ButtonsLieInsideTheirGroupBoxAndGroupsInsideTheirParent) {
  for (ConfigDialog editor : {ConfigDialog::kCortex, ConfigDialog::kEmber, ConfigDialog::kCedar,
                              ConfigDialog::kDune, ConfigDialog::kSorrel, ConfigDialog::k8051,
                              ConfigDialog::k8051Small}) {
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
        EXPECT_EQ(radio->kind, ControlKind::Radio);
        EXPECT_EQ((radio->style & kHidden) != 0, button.hidden || field.hidden) << dialog.id << ": " << button.id;
        EXPECT_TRUE(Inside(radio->rect, group->rect)) << dialog.id << ": " << button.id;
      }
    }
  }
}

}  // namespace
}  // namespace quillet
