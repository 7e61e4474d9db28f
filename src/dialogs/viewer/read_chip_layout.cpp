#include "dialogs/viewer/read_chip_layout.h"

#include <array>

namespace quillet {
namespace {

using K = ControlKind;

// The hex view lies over the tab control's pane, so the tab control comes first.
constexpr std::array kControls = std::to_array<ControlTemplate>({
    {kIdViewerTabs, K::TabControl, "", {7, 7, 330, 210}},
    {kIdViewerHex, K::HexView, "", {8, 21, 328, 195}},
    {kIdViewerSave, K::Button, "Save APROM Contents", {7, 224, 110, 14}},
    {kIdViewerShowConfig, K::Button, "Show CONFIG", {123, 224, 70, 14}},
    {kIdViewerExit, K::Button, "Exit", {287, 224, 50, 14}},
});

constexpr DialogTemplate kReadChip{146, "Read Chip", 344, 245, {"Arial", 8, false}, kControls};

}  // namespace

const DialogTemplate& ReadChipDialogTemplate() {
  return kReadChip;
}

}  // namespace quillet
