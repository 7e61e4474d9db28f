#include "dialogs/main/main_layout.h"

#include <array>

namespace quillet {
namespace {

using K = ControlKind;

// Template order is creation order: frames come before the controls drawn over them.
constexpr std::array kControls = std::to_array<ControlTemplate>({
    {kNoId, K::Bitmap, "", {0, 0, 559, 27}, 0, kBitmapBanner},
    {kIdTypeGroup, K::GroupBox, "Programmer Type", {7, 28, 100, 53}},
    {kIdIspRadio, K::Radio, "ISP", {13, 41, 23, 10}},
    {kIdIcpRadio, K::Radio, "ICP", {40, 41, 24, 10}},
    {kIdGangCheck, K::CheckBox, "Gang", {70, 38, 33, 14}},
    {kIdComIspRadio, K::Radio, "ISP by COM Port...........", {13, 56, 90, 10}},
    {kNoId, K::Static, "...", {16, 71, 8, 9}},
    {kIdComPortList, K::DropDownList, "", {24, 67, 44, 248}},
    {kIdPmCheck, K::CheckBox, "P.M.", {70, 66, 33, 12}},
    {kIdPartGroup, K::GroupBox, "Part No.", {110, 28, 83, 53}},
    {kIdCategoryList, K::DropDownList, "", {115, 39, 75, 88}, kDisabled},
    {kIdPartList, K::DropDownList, "", {115, 56, 75, 268}},
    {kIdItemsGroup, K::GroupBox, "Items to be Updated", {7, 84, 186, 47}},
    {kIdApromCheck, K::CheckBox, "APROM", {15, 95, 43, 10}},
    {kIdDataFlashCheck, K::CheckBox, "DataFlash", {15, 107, 50, 9}},
    {kIdLdromCheck, K::CheckBox, "LDROM", {15, 118, 43, 10}},
    {kIdConfigCheck, K::CheckBox, "CONFIG.......", {72, 118, 50, 11}},
    {kIdConfigSetting, K::Button, "CONFIG Setting", {123, 113, 66, 14}},
    {kIdLoadFile, K::Button, "Load File", {197, 32, 51, 23}},
    {kIdLoadProject, K::Button, "Load\nProj", {197, 60, 27, 21}},
    {kIdSaveProject, K::Button, "Save\nProj", {225, 60, 23, 21}},
    {kIdDownloadProgrammer, K::Button, "Download\nProgrammer", {197, 86, 51, 22}},
    {kIdProgrammerInfo, K::Button, "Programmer\nInformation", {197, 111, 51, 20}},
    {kIdUpdateChip, K::Button, "Update Chip", {251, 32, 52, 23}},
    {kIdVerifyChip, K::Button, "Verify Chip", {251, 60, 52, 21}},
    {kIdReadChip, K::Button, "Read Chip", {251, 86, 52, 22}},
    {kIdExit, K::Button, "Exit", {251, 111, 52, 20}},
    {kNoId, K::GroupBox, "", {7, 132, 296, 158}},
    {kIdBufferTabs, K::TabControl, "", {10, 139, 287, 121}},
    {kIdHexView, K::HexView, "", {11, 153, 286, 93}},
    {kNoId, K::Static, "File Name:", {13, 249, 36, 8}},
    {kIdFileName, K::Edit, "", {52, 249, 245, 12}, kReadOnly},
    {kIdSizeLabel, K::Static, "Code Size:", {13, 262, 37, 8}},
    {kIdCodeSize, K::Edit, "", {52, 262, 51, 12}, kReadOnly},
    {kNoId, K::Static, "Checksum:", {13, 275, 39, 8}},
    {kIdChecksum, K::Edit, "", {52, 275, 51, 12}, kReadOnly},
    {kIdProgType, K::Static, "Prog. Type", {196, 280, 104, 8}, kAlignRight | kDisabled},
    {kIdStatus, K::Static, "Downloading...", {8, 293, 253, 9}},
    {kIdProgress, K::ProgressBar, "", {7, 302, 296, 9}},
    {kIdSnLabel, K::Static, "S/N:", {8, 315, 15, 8}},
    {kIdSnBox, K::Edit, "", {24, 312, 74, 12}, kReadOnly | kAlignCenter},
    {kIdCounterLabel, K::Static, "Chip Counter:", {222, 315, 45, 8}},
    {kIdCounterBox, K::Edit, "", {269, 312, 34, 12}, kReadOnly | kAlignCenter},
    {kIdComPortName, K::Edit, "", {264, 290, 39, 12}, kHidden | kDisabled},
    {kIdCancel, K::Button, "CANCEL", {105, 275, 32, 12}, kHidden},
    {kIdFwUpdate, K::Button, "FwUpdate", {230, 262, 39, 12}, kHidden | kDisabled},
    {kIdDownloadUpdateIsp, K::Button, "Download\nUpdateISP.bin", {140, 268, 51, 19}, kHidden | kDisabled},
    {kIdTestDump, K::Button, "test", {271, 262, 26, 12}, kHidden | kDisabled},
});

constexpr DialogTemplate kMainDialog{102, "Quillet, v7.10", 311, 327, {"Arial", 8, false}, kControls};

}  // namespace

const DialogTemplate& MainDialogTemplate() {
  return kMainDialog;
}

}  // namespace quillet
