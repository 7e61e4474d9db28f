// The Cortex-M0 editors: 148 (Arden, Birch, the unlisted parts), 176 (Ember), 177 (Cedar),
// 179 (Dune and Fjord). Fields on the left, brown-out and DataFlash on the right.
#include "dialogs/config/config_layout_parts.h"

namespace quillet::config_layout {
namespace {

constexpr std::array kCortexFields = std::to_array<ControlTemplate>({
    Box(kIdGroupClockSource, "Clock Source", {7, 7, 140, 38}),
    Radio(1140, 14, 18, 126),
    Radio(1141, 14, 30, 126),
    Box(kIdGroupClockFilter, "Clock Filter", {7, 49, 140, 26}),
    Radio(1167, 14, 60),
    Radio(1168, 77, 60),
    Box(kIdGroupLock, "LOCK (Code Protection)", {7, 79, 140, 26}),
    Radio(1166, 14, 90),
    Radio(1165, 77, 90),
    Box(kIdGroupBoot, "Boot Select", {7, 109, 140, 38}),
    Radio(1153, 14, 120, 126),
    Radio(1150, 14, 132, 126),
    Box(kIdGroupBrownout, "Brownout Detection", {153, 7, 140, 96}),
    Radio(1159, 160, 18),
    Radio(1158, 223, 18),
    Box(kIdGroupVoltage, "Voltage", {160, 31, 126, 36}),
    Radio(1164, 167, 42, 54),
    Radio(1122, 227, 42, 54),
    Radio(1163, 167, 54, 54),
    Radio(1162, 227, 54, 54),
    Box(kIdGroupReset, "Reset", {160, 70, 126, 26}),
    Radio(1161, 167, 81, 54),
    Radio(1160, 227, 81, 54),
    OkButton(243, 173),
});
constexpr auto kCortexControls = Join(kCortexFields, DataFlashBox(153, 107));

constexpr std::array kEmberFields = std::to_array<ControlTemplate>({
    Box(kIdGroupLock, "LOCK (Code Protection)", {7, 7, 140, 26}),
    Radio(1166, 14, 18),
    Radio(1165, 77, 18),
    Box(kIdGroupLdrom, "LDROM", {7, 37, 140, 26}),
    Radio(1161, 14, 48),
    Radio(1160, 77, 48),
    Box(kIdGroupBoot, "Boot Select", {7, 67, 140, 38}),
    Radio(1153, 14, 78, 126),
    Radio(1150, 14, 90, 126),
    Box(kIdGroupBrownout, "Brownout Detection", {7, 109, 140, 26}),
    Radio(1159, 14, 120),
    Radio(1158, 77, 120),
    OkButton(243, 121),
});
constexpr auto kEmberControls = Join(kEmberFields, DataFlashBox(153, 7));

constexpr std::array kCedarFields = std::to_array<ControlTemplate>({
    Box(kIdGroupClockFilter, "Clock Filter", {7, 7, 140, 26}),
    Radio(1167, 14, 18),
    Radio(1168, 77, 18),
    Box(kIdGroupLock, "LOCK (Code Protection)", {7, 37, 140, 26}),
    Radio(1166, 14, 48),
    Radio(1165, 77, 48),
    Box(kIdGroupBoot, "Boot Select", {7, 67, 140, 38}),
    Radio(1153, 14, 78, 126),
    Radio(1150, 14, 90, 126),
    Box(kIdGroupBrownout, "Brownout Detection", {153, 7, 140, 84}),
    Radio(1159, 160, 18),
    Radio(1158, 223, 18),
    Box(kIdGroupVoltage, "Voltage", {160, 31, 126, 26}),
    Radio(1239, 167, 42, 54),
    Radio(1240, 227, 42, 54),
    Box(kIdGroupReset, "Reset", {160, 60, 126, 26}),
    Radio(1161, 167, 71, 54),
    Radio(1160, 227, 71, 54),
    OkButton(243, 161),
});
constexpr auto kCedarControls = Join(kCedarFields, DataFlashBox(153, 95));

constexpr std::array kDuneFields = std::to_array<ControlTemplate>({
    Box(kIdGroupCpuClock, "CPU Clock Source", {7, 7, 140, 38}),
    Radio(1140, 14, 18, 126),
    Radio(1141, 14, 30, 126),
    Box(kIdGroupClockFilter, "Clock Filter", {7, 49, 140, 26}),
    Radio(1167, 14, 60),
    Radio(1168, 77, 60),
    Box(kIdGroupLock, "LOCK (Code Protection)", {7, 79, 140, 26}),
    Radio(1166, 14, 90),
    Radio(1165, 77, 90),
    Box(kIdGroupBoot, "Boot Select", {7, 109, 140, 38}),
    Radio(1153, 14, 120, 126),
    Radio(1150, 14, 132, 126),
    Box(kIdGroupBrownoutReset, "Brownout Reset", {153, 7, 140, 38}),
    Radio(1259, 160, 18, 64),
    Radio(1258, 226, 18, 64),
    Radio(1257, 160, 30, 64),
    Radio(1256, 226, 30, 64),
    OkButton(243, 133),
});
constexpr auto kDuneControls = Join(kDuneFields, DataFlashBox(153, 49));

constexpr DialogTemplate kCortex{148, kEditorTitle, 300, 194, kEditorFont, kCortexControls};
constexpr DialogTemplate kEmber{176, "CONFIG Setting for Emberlite", 300, 142, kEditorFont, kEmberControls};
constexpr DialogTemplate kCedar{177, kEditorTitle, 300, 182, kEditorFont, kCedarControls};
constexpr DialogTemplate kDune{179, kEditorTitle, 300, 154, kEditorFont, kDuneControls};

}  // namespace

const DialogTemplate& CortexTemplate() {
  return kCortex;
}
const DialogTemplate& EmberTemplate() {
  return kEmber;
}
const DialogTemplate& CedarTemplate() {
  return kCedar;
}
const DialogTemplate& DuneTemplate() {
  return kDune;
}

}  // namespace quillet::config_layout
