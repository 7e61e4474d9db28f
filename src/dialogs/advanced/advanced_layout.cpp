#include "dialogs/advanced/advanced_layout.h"

#include <array>

namespace quillet {
namespace {

using K = ControlKind;

constexpr std::array kControls = std::to_array<ControlTemplate>({
    {kIdUsageGroup, K::GroupBox, "Limited Usage Times", {7, 7, 276, 31}},
    {kIdUsageDisable, K::Radio, "Disable", {14, 20, 36, 10}},
    {kIdUsageEnable, K::Radio, "Enable", {54, 20, 36, 10}},
    {kIdUsageLabel, K::Static, "......Usage Times (1~60000):", {104, 21, 96, 8}},
    {kIdUsageEdit, K::Edit, "", {202, 19, 40, 12}, 0, 0, 5},
    {kIdSnGroup, K::GroupBox, "Serial Number (S/N) Programming", {7, 42, 276, 66}},
    {kIdSnDisable, K::Radio, "Disable", {14, 55, 36, 10}},
    {kIdSnEnable, K::Radio, "Enable", {54, 55, 36, 10}},
    {kIdSnAddressLabel, K::Static, "Address (in APROM): 0x", {14, 72, 86, 8}},
    {kIdSnAddressEdit, K::Edit, "", {101, 70, 34, 12}, 0, 0, 5},
    {kNoId, K::Static, "-", {139, 72, 6, 8}},
    {kIdSnEndEdit, K::Edit, "", {147, 70, 34, 12}, kReadOnly},
    {kIdIncrementLabel, K::Static, "Increment:", {14, 90, 36, 8}},
    {kIdIncrementEdit, K::Edit, "", {52, 88, 80, 12}, 0, 0, 16},
    {kIdSnValueLabel, K::Static, "S/N:", {144, 90, 16, 8}},
    {kIdSnValueEdit, K::Edit, "", {162, 88, 80, 12}, 0, 0, 16},
    {kIdProtocolGroup, K::GroupBox, "UART Protocol for 'ISP by COM Port'", {7, 112, 276, 28}},
    {kIdFastProtocol, K::Radio, "Fast Protocol", {14, 125, 70, 10}},
    {kIdNormalProtocol, K::Radio, "Normal Protocol", {104, 125, 80, 10}},
    {kIdCounterGroup, K::GroupBox, "Chip Counter", {7, 144, 276, 30}},
    {kIdCounterDisable, K::Radio, "Disable", {14, 157, 36, 10}},
    {kIdCounterEnable, K::Radio, "Enable", {54, 157, 36, 10}},
    {kIdCountDirection, K::Button, "Count Up", {104, 155, 56, 14}},
    {kIdCounterEdit, K::Edit, "", {166, 156, 40, 12}, 0, 0, 6},
    {kIdCounterSpin, K::UpDown, "", {206, 156, 10, 12}, kHidden},
    {kIdGangGroup, K::GroupBox, "Gang Mode Setting", {7, 178, 276, 40}},
    {kIdGangNormal, K::Radio, "Normal Mode (do Program and Verify)", {14, 191, 160, 10}},
    {kIdGangVerifyOnly, K::Radio, "Verify Mode (do Verify only)", {14, 204, 160, 10}},
    {kIdAdvOk, K::DefaultButton, "OK", {233, 224, 50, 14}},
});

constexpr DialogTemplate kAdvanced{169, "Advanced Functions", 290, 245, {"Arial", 8, false}, kControls};

}  // namespace

const DialogTemplate& AdvancedDialogTemplate() {
  return kAdvanced;
}

}  // namespace quillet
