#include "dialogs/main/report_layouts.h"

#include <array>

#include "dialogs/main/main_layout.h"

namespace quillet {
namespace {

using K = ControlKind;

// The result windows use the bold system font, whose character cell is about twice the dialog
// font's; their sizes in dialog units are the templates' own.
constexpr DialogFont kSystemFont{"Arial", 10, true};

constexpr std::array kAboutControls = std::to_array<ControlTemplate>({
    {kNoId, K::Icon, "", {11, 14, 21, 20}, 0, kIconApp},
    {kNoId, K::Static, "Quillet, v7.10.001", {40, 18, 119, 8}},
    {kIdOk, K::DefaultButton, "OK", {113, 41, 50, 14}},
});

constexpr std::array kPassControls = std::to_array<ControlTemplate>({
    {kNoId, K::Bitmap, "", {7, 7, 178, 28}, 0, kBitmapPass},
    {kIdPassMessage, K::Static, "", {7, 38, 178, 50}},
    {kIdPassTimeStamp, K::Static, "", {7, 96, 123, 8}, kDisabled},
    {kIdOk, K::DefaultButton, "OK", {135, 90, 50, 14}},
    {kIdCancel, K::Button, "Cancel", {135, 72, 50, 14}, kHidden},
});

constexpr std::array kFailControls = std::to_array<ControlTemplate>({
    {kNoId, K::Bitmap, "", {7, 7, 178, 28}, 0, kBitmapFail},
    {kIdFailMessage, K::Static, "", {7, 38, 178, 40}},
    {kIdFailTimeStamp, K::Static, "", {7, 86, 123, 8}, kDisabled},
    {kIdOk, K::DefaultButton, "OK", {135, 80, 50, 14}},
    {kIdCancel, K::Button, "Cancel", {135, 62, 50, 14}, kHidden},
});

constexpr DialogTemplate kAbout{100, "About Quillet", 170, 62, {"Arial", 8, false}, kAboutControls};
constexpr DialogTemplate kPass{152, "PASS", 192, 111, kSystemFont, kPassControls};
constexpr DialogTemplate kFail{153, "FAIL", 192, 101, kSystemFont, kFailControls};

}  // namespace

const DialogTemplate& AboutDialogTemplate() {
  return kAbout;
}
const DialogTemplate& PassDialogTemplate() {
  return kPass;
}
const DialogTemplate& FailDialogTemplate() {
  return kFail;
}

}  // namespace quillet
