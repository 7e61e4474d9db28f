// The bit-by-bit editor, 150: a tab control with a page per CONFIG byte (135 for CONFIG0, 136 for
// CONFIG1), the byte values and the derived clock and brown-out texts below it. A page shows the
// eight bits in two rows, bit 7 at the top left.
#include "dialogs/config/config_layout_parts.h"

namespace quillet::config_layout {
namespace {

constexpr int kBitBoxWidth = 80;
constexpr int kBitBoxHeight = 38;

constexpr std::array<ControlTemplate, 24> BitPageControls() {
  std::array<ControlTemplate, 24> controls{};
  for (int bit = 7; bit >= 0; --bit) {
    const int slot = 7 - bit;
    const int x = 4 + (kBitBoxWidth + 2) * (slot % 4);
    const int y = 2 + (kBitBoxHeight + 4) * (slot / 4);
    controls[3 * slot] = Box(BitGroupId(bit), "", {x, y, kBitBoxWidth, kBitBoxHeight});
    controls[3 * slot + 1] = Radio(BitZeroId(bit), x + 6, y + 11, kBitBoxWidth - 10);
    controls[3 * slot + 2] = Radio(BitOneId(bit), x + 6, y + 23, kBitBoxWidth - 10);
  }
  return controls;
}
constexpr auto kPageControls = BitPageControls();

constexpr DialogTemplate kPage0{135, "CONFIG0", 334, 84, kEditorFont, kPageControls};
constexpr DialogTemplate kPage1{136, "CONFIG1", 334, 84, kEditorFont, kPageControls};

constexpr std::array kBitsControls = std::to_array<ControlTemplate>({
    {kIdBitsTab, K::TabControl, "", {7, 7, 340, 104}},
    {kIdBitsConfig0Label, K::Static, "CONFIG0's Value:", {7, 118, 60, 8}},
    {kIdBitsConfig0Value, K::Edit, "", {68, 116, 30, 12}, kReadOnly},
    {kIdBitsConfig1Label, K::Static, "CONFIG1's Value:", {110, 118, 60, 8}},
    {kIdBitsConfig1Value, K::Edit, "", {171, 116, 30, 12}, kReadOnly},
    {kNoId, K::Static, "Clock Source:", {7, 136, 60, 8}},
    {kIdBitsClockSource, K::Edit, "", {68, 134, 120, 12}, kReadOnly},
    {kNoId, K::Static, "(depends on FOSC1/0, FS1/0)", {192, 136, 110, 8}},
    {kNoId, K::Static, "Brownout Voltage:", {7, 152, 60, 8}},
    {kIdBitsBrownout, K::Edit, "", {68, 150, 120, 12}, kReadOnly},
    {kNoId, K::Static, "(depends on CBOV1/0 or BOV)", {192, 152, 110, 8}},
    OkButton(297, 115),
});

constexpr DialogTemplate kBits{150, kEditorTitle, 354, 167, kEditorFont, kBitsControls};

}  // namespace

const DialogTemplate& BitsTemplate() {
  return kBits;
}

}  // namespace quillet::config_layout

namespace quillet {

const DialogTemplate& ConfigBitPageTemplate(int page) {
  return page == 0 ? config_layout::kPage0 : config_layout::kPage1;
}

// Below the tab row, two units in from the pane's frame.
DialogRect ConfigBitPageRect() {
  const DialogRect tabs = config_layout::kBitsControls[0].rect;
  return {tabs.x + 3, tabs.y + 16, config_layout::kPage0.width, config_layout::kPage0.height};
}

const DialogTemplate& ConfigEditorTemplate(ConfigDialog editor) {
  using namespace config_layout;
  switch (editor) {
    case ConfigDialog::kCortex:
      return CortexTemplate();
    case ConfigDialog::kEmber:
      return EmberTemplate();
    case ConfigDialog::kCedar:
      return CedarTemplate();
    case ConfigDialog::kDune:
      return DuneTemplate();
    case ConfigDialog::kSorrel:
      return SorrelTemplate();
    case ConfigDialog::k8051:
      return Config8051Template();
    case ConfigDialog::k8051Small:
      return Config8051SmallTemplate();
    case ConfigDialog::kBits:
      break;
  }
  return BitsTemplate();
}

}  // namespace quillet
