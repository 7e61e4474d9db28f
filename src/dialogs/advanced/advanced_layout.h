#pragma once
// The Advanced Functions dialog, 169: its controls by id and its layout as a template table.
#include "dialogs/kit/dialog_template.h"

namespace quillet {

enum AdvancedControl : int {
  kIdAdvOk = 1,
  kIdUsageDisable = 1227,
  kIdUsageEnable = 1228,
  kIdUsageEdit = 1229,
  kIdUsageLabel = 1230,
  kIdUsageGroup = 1241,
  kIdSnGroup = 1242,
  kIdSnDisable = 1243,
  kIdSnEnable = 1244,
  kIdSnValueLabel = 1245,
  kIdSnValueEdit = 1246,
  kIdSnAddressLabel = 1249,
  kIdIncrementLabel = 1250,
  kIdIncrementEdit = 1251,
  kIdCountDirection = 1261,
  kIdCounterSpin = 1264,
  kIdCounterDisable = 1266,
  kIdCounterEnable = 1267,
  kIdGangNormal = 1268,
  kIdGangVerifyOnly = 1269,
  kIdCounterGroup = 1271,
  kIdProtocolGroup = 1272,
  kIdFastProtocol = 1273,
  kIdNormalProtocol = 1274,
  kIdGangGroup = 1275,
  kIdCounterEdit = 1277,
  kIdSnAddressEdit = 1278,
  kIdSnEndEdit = 1282,
};

const DialogTemplate& AdvancedDialogTemplate();

}  // namespace quillet
