// The 8051 editors with named choices: 149 (Sorrel), 164 (FamilyFlagB parts), 165 (FamilyFlagC
// parts). Clock fields on the left, brown-out, watch-dog and LOCK in the middle, boot select and
// DataFlash on the right.
#include "dialogs/config/config_layout_parts.h"

namespace quillet::config_layout {
namespace {

constexpr std::array kSorrelFields = std::to_array<ControlTemplate>({
    Box(kIdGroupClockSource, "Clock Source", {7, 7, 140, 38}),
    Radio(1156, 14, 18, 126),
    Radio(1157, 14, 30, 126),
    Box(kIdGroupExternalXtal, "External XTAL", {7, 49, 140, 26}),
    Radio(1152, 14, 60),
    Radio(1151, 77, 60),
    Box(kIdGroupInternalOsc, "Internal OSC", {7, 79, 140, 38}),
    Radio(1148, 14, 90, 126),
    Radio(1147, 14, 102, 126),
    Box(kIdGroupClockFilter, "Clock Filter", {7, 121, 140, 26}),
    Radio(1167, 14, 132),
    Radio(1168, 77, 132),
    Box(kIdGroupCycleMode, "6T/12T Mode", {7, 151, 140, 26}),
    Radio(1146, 14, 162),
    Radio(1145, 77, 162),
    Box(kIdGroupBrownout, "Brownout Detection", {153, 7, 140, 96}),
    Radio(1158, 160, 18),
    Radio(1159, 223, 18),
    Box(kIdGroupVoltage, "Voltage", {160, 31, 126, 36}),
    Radio(1162, 167, 42, 54),
    Radio(1163, 227, 42, 54),
    Radio(1149, 167, 54, 54),
    Radio(1164, 227, 54, 54),
    Box(kIdGroupReset, "Reset", {160, 70, 126, 26}),
    Radio(1160, 167, 81, 54),
    Radio(1161, 227, 81, 54),
    Box(kIdGroupWatchdog, "Watch-dog Timer", {153, 107, 140, 38}),
    Radio(1154, 160, 118, 126),
    Radio(1155, 160, 130, 126),
    Box(kIdGroupLock, "LOCK (Code Protection)", {153, 149, 140, 26}),
    Radio(1166, 160, 160),
    Radio(1165, 223, 160),
    Box(kIdGroupBoot, "Boot Select", {299, 7, 140, 38}),
    Radio(1153, 306, 18, 126),
    Radio(1150, 306, 30, 126),
    OkButton(389, 163),
});
constexpr auto kSorrelControls = Join(kSorrelFields, DataFlashBox(299, 49));

// "Clock from XTAL1" and the "Port State" box exist hidden: their fields are still read and written.
constexpr std::array k8051Fields = std::to_array<ControlTemplate>({
    Box(kIdGroupClockSource, "Clock Source", {7, 7, 140, 38}),
    Radio(1199, 14, 18),
    Radio(1200, 77, 18, 60, kHidden),
    Radio(1157, 14, 30, 126),
    Box(kIdGroupInternalOsc, "Internal OSC", {7, 49, 140, 38}),
    Radio(1148, 14, 60, 126),
    Radio(1147, 14, 72, 126),
    Box(kIdGroupClockFilter, "Clock Filter", {7, 91, 140, 26}),
    Radio(1167, 14, 102),
    Radio(1168, 77, 102),
    Box(kIdGroupPortState, "Port State", {7, 121, 140, 38}, kHidden),
    Radio(1207, 14, 132, 126, kHidden),
    Radio(1208, 14, 144, 126, kHidden),
    Box(kIdGroupBrownout, "Brownout Detection", {153, 7, 140, 84}),
    Radio(1159, 160, 18),
    Radio(1158, 223, 18),
    Box(kIdGroupVoltage, "Voltage", {160, 31, 126, 26}),
    Radio(1197, 167, 42, 54),
    Radio(1198, 227, 42, 54),
    Box(kIdGroupReset, "Reset", {160, 60, 126, 26}),
    Radio(1160, 167, 71, 54),
    Radio(1161, 227, 71, 54),
    Box(kIdGroupWatchdog, "Watch-dog Timer", {153, 95, 140, 38}),
    Radio(1154, 160, 106, 126),
    Radio(1155, 160, 118, 126),
    Box(kIdGroupLock, "LOCK (Code Protection)", {153, 137, 140, 26}),
    Radio(1166, 160, 148),
    Radio(1165, 223, 148),
    Box(kIdGroupBoot, "Boot Select", {299, 7, 140, 38}),
    Radio(1153, 306, 18, 126),
    Radio(1150, 306, 30, 126),
    OkButton(389, 157),
});
constexpr auto k8051Controls = Join(k8051Fields, DataFlashBox(299, 49));

constexpr std::array k8051SmallControls = std::to_array<ControlTemplate>({
    Box(kIdGroupClockSource, "Clock Source", {7, 7, 140, 50}),
    Radio(1199, 14, 18, 126),
    Radio(1157, 14, 30, 126),
    Radio(1200, 14, 42, 126),
    Box(kIdGroupInternalOsc, "Internal OSC", {7, 61, 140, 38}),
    Radio(1148, 14, 72, 126),
    Radio(1147, 14, 84, 126),
    Box(kIdGroupClockFilter, "Clock Filter", {7, 103, 140, 26}),
    Radio(1167, 14, 114),
    Radio(1168, 77, 114),
    Box(kIdGroupLock, "LOCK (Code Protection)", {7, 133, 140, 26}),
    Radio(1166, 14, 144),
    Radio(1165, 77, 144),
    Box(kIdGroupBrownout, "Brownout Detection", {153, 7, 140, 84}),
    Radio(1158, 160, 18),
    Radio(1159, 223, 18),
    Box(kIdGroupVoltage, "Voltage", {160, 31, 126, 26}),
    Radio(1197, 167, 42, 54),
    Radio(1198, 227, 42, 54),
    Box(kIdGroupReset, "Reset", {160, 60, 126, 26}),
    Radio(1160, 167, 71, 54),
    Radio(1161, 227, 71, 54),
    Box(kIdGroupWatchdog, "Watch-dog Timer", {153, 95, 140, 38}),
    Radio(1154, 160, 106, 126),
    Radio(1155, 160, 118, 126),
    OkButton(243, 145),
});

constexpr DialogTemplate kSorrel{149, "CONFIG Setting for Sorrel", 446, 184, kEditorFont, kSorrelControls};
constexpr DialogTemplate k8051{164, kEditorTitle, 446, 178, kEditorFont, k8051Controls};
constexpr DialogTemplate k8051Small{165, kEditorTitle, 300, 166, kEditorFont, k8051SmallControls};

}  // namespace

const DialogTemplate& SorrelTemplate() {
  return kSorrel;
}
const DialogTemplate& Config8051Template() {
  return k8051;
}
const DialogTemplate& Config8051SmallTemplate() {
  return k8051Small;
}

}  // namespace quillet::config_layout
