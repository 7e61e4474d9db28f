#pragma once
// The main window, dialog 102: its controls by id, and its layout as a template table.
#include "dialogs/kit/dialog_template.h"

namespace quillet {

// Control ids of the main window.
enum MainControl : int {
  kIdCancel = 2,
  kIdIspRadio = 1001,
  kIdIcpRadio = 1002,
  kIdPartList = 1003,
  kIdLoadFile = 1004,
  kIdUpdateChip = 1005,
  kIdDownloadProgrammer = 1006,
  kIdProgrammerInfo = 1007,
  kIdExit = 1009,
  kIdHexView = 1010,
  kIdFileName = 1013,
  kIdCodeSize = 1014,
  kIdChecksum = 1015,
  kIdProgress = 1016,
  kIdComPortName = 1017,
  kIdStatus = 1018,
  kIdFwUpdate = 1019,
  kIdVerifyChip = 1021,
  kIdConfigSetting = 1026,
  kIdConfigCheck = 1052,
  kIdDataFlashCheck = 1057,
  kIdBufferTabs = 1087,
  kIdItemsGroup = 1092,
  kIdSizeLabel = 1093,
  kIdReadChip = 1102,
  kIdTestDump = 1103,
  kIdDownloadUpdateIsp = 1106,
  kIdComIspRadio = 1107,
  kIdComPortList = 1108,
  kIdGangCheck = 1109,
  kIdApromCheck = 1111,
  kIdLdromCheck = 1113,
  kIdCategoryList = 1144,
  kIdProgType = 1146,
  kIdSaveProject = 1176,
  kIdLoadProject = 1177,
  kIdSnBox = 1246,
  kIdPmCheck = 1248,
  kIdCounterLabel = 1268,
  kIdSnLabel = 1269,
  kIdTypeGroup = 1275,
  kIdPartGroup = 1276,
  kIdCounterBox = 1277,
};

// Resource numbers of the pictures.
constexpr int kIconApp = 128;
constexpr int kBitmapPass = 159;
constexpr int kBitmapFail = 160;
constexpr int kBitmapBanner = 161;

// Texts of the system menu's entries (strings 101 and 103).
inline constexpr char kAboutMenuText[] = "&About Quillet...";
inline constexpr char kAdvancedMenuText[] = "&Advanced Functions...";

const DialogTemplate& MainDialogTemplate();

}  // namespace quillet
