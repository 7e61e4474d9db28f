// Handlers of the main window's controls. While an operation runs a click changes no setting: the
// handler returns and the window shows the settings' state again (P.M. and Exit excepted).
#include "core/report/reporter.h"
#include "dialogs/main/main_controls.h"
#include "dialogs/main/main_layout.h"

namespace quillet {
namespace {

constexpr uint32_t kTesselFirst = 136;
constexpr uint32_t kTesselLast = 144;

}  // namespace

void MainControls::ClearPortNameFromComIsp() {
  // The next Programmer operation searches for the Programmer again.
  if (!port_name_from_com_isp_) return;
  job_.SetPortName("");
  port_name_from_com_isp_ = false;
}

void MainControls::ShowCategoryZeroDisabled() {
  category_list_.selected = 0;
  states_.Enable(kIdCategoryList, false);
}

void MainControls::LeaveProductionMode() {
  job_.ProductionMode = false;
  job_.ProgrammerMode = job_.ProgrammerMode & 0x0F;
  states_.Check(kIdPmCheck, false);
}

void MainControls::OnIspRadio() {
  const uint8_t old_type = job_.Type();
  if (Running() || old_type == kTypeIsp) return;
  catalogue_.HideComOnlyNames();
  job_.ProgrammerMode = job_.GangMode ? kModeGang : 0;
  if (old_type == kTypeIcp) {
    saved_.SavedIcpPartCode = job_.PartCode;
    job_.PartCode = saved_.SavedIspPartCode;
  }
  ClearPortNameFromComIsp();
  Setup();
  CheckTypeRadios();
  RefreshControls();
  ShowCategoryZeroDisabled();
  job_.ProductionMode = false;
  states_.Check(kIdPmCheck, false);
  ShowSnValue();
}

void MainControls::OnIcpRadio() {
  if (Running() || job_.Type() == kTypeIcp) return;
  job_.ProgrammerMode = job_.GangMode ? (kModeGang | kTypeIcp) : kTypeIcp;
  saved_.SavedIspPartCode = job_.PartCode;
  job_.PartCode = saved_.SavedIcpPartCode;
  ClearPortNameFromComIsp();
  Setup();
  CheckTypeRadios();
  category_list_ = FillCategoryList(lists_, job_);
  states_.Enable(kIdCategoryList, true);
  RefreshControls();
  ShowSnValue();
}

void MainControls::OnComIspRadio() {
  const uint8_t old_type = job_.Type();
  if (Running() || old_type == kTypeComIsp) return;
  catalogue_.RestoreComOnlyNames();
  job_.ProgrammerMode = kTypeComIsp;
  if (old_type == kTypeIcp) {
    saved_.SavedIcpPartCode = job_.PartCode;
    job_.PartCode = saved_.SavedIspPartCode;
  }
  Setup();
  CheckTypeRadios();
  RefreshControls();
  ShowCategoryZeroDisabled();
  reporter_.SetStatus("Search available COM Port...");
  if (hooks_.start_com_port_search) hooks_.start_com_port_search();
  job_.UsageLimitEnabled = false;
  ShowSnValue();
  reporter_.ResetStatus();
}

void MainControls::OnGangCheck(bool checked) {
  if (Running()) return;
  job_.GangMode = checked;
  job_.ProgrammerMode = static_cast<uint8_t>(job_.Type() | (checked ? kModeGang : 0));
  states_.Check(kIdGangCheck, checked);
  // Gang keeps the operator's choice of items, which the refresh would otherwise reset.
  const bool aprom = job_.ApromSelected, data_flash = job_.DataFlashSelected, ldrom = job_.LdromSelected,
             config = job_.ConfigSelected;
  RefreshControls();
  const struct {
    int id;
    bool& flag;
    bool kept;
  } items[] = {{kIdApromCheck, job_.ApromSelected, aprom},
               {kIdDataFlashCheck, job_.DataFlashSelected, data_flash},
               {kIdLdromCheck, job_.LdromSelected, ldrom}};
  for (const auto& item : items) {
    item.flag = item.kept;
    if (!item.kept) states_.Check(item.id, false);
  }
  RefreshButtons();
  job_.ConfigSelected = config;
  states_.Check(kIdConfigCheck, config);
  states_.Enable(kIdConfigSetting, config);
  BlockPlaceholderPart();
  job_.UsageLimitEnabled = false;
}

void MainControls::OnPmCheck(bool checked) {
  if (Running()) {
    // The only change allowed during an operation: leaving P.M., which the production loop polls.
    if (job_.ProductionMode) LeaveProductionMode();
    states_.Check(kIdPmCheck, false);
    return;
  }
  job_.ProductionMode = checked;
  job_.ProgrammerMode = static_cast<uint8_t>(job_.Type() | (checked ? kModeProduction : 0));
  states_.Check(kIdPmCheck, checked);
}

void MainControls::OnItemCheck(int id, bool checked) {
  if (Running()) return;
  bool* flag = id == kIdApromCheck       ? &job_.ApromSelected
               : id == kIdDataFlashCheck ? &job_.DataFlashSelected
               : id == kIdLdromCheck     ? &job_.LdromSelected
                                         : nullptr;
  if (!flag) return;
  *flag = checked;
  states_.Check(id, checked);
  RefreshButtons();
}

void MainControls::OnConfigCheck(bool checked) {
  if (Running()) return;
  job_.ConfigSelected = checked;
  states_.Check(kIdConfigCheck, checked);
  states_.Enable(kIdConfigSetting, checked);
}

void MainControls::OnTabChange(int index) {
  if (Running() || index < 0 || index >= static_cast<int>(tabs_.size())) return;
  tab_index_ = index;
  states_.SetText(kIdSizeLabel, index == 1 && data_flash_tab_shown_ ? "Data Size:" : "Code Size:");
  if (hooks_.reload_images) hooks_.reload_images();
}

void MainControls::OnCategoryChange(int index) {
  const SelectionOutcome outcome = quillet::OnCategoryChange(lists_, job_, index, Running());
  category_list_.selected = outcome.put_back ? *outcome.put_back : index;
  if (!outcome.setup_and_refresh) return;
  Setup();
  RefreshControls();
}

void MainControls::OnPartChange(int index) {
  const SelectionOutcome outcome = quillet::OnPartChange(lists_, job_, index, Running());
  part_list_.selected = outcome.put_back ? *outcome.put_back : index;
  if (!outcome.setup_and_refresh) return;
  Setup();
  RefreshControls();
}

ExitAction MainControls::OnExit() {
  if (!Running()) return ExitAction::Close;
  if (job_.ProductionMode) LeaveProductionMode();
  return ExitAction::Stay;
}

HotKeyAction MainControls::OnHotKey() const {
  if (job_.PartCode < kTesselFirst || job_.PartCode > kTesselLast) return HotKeyAction::NotTesselPart;
  return Running() ? HotKeyAction::Ignore : HotKeyAction::StartTrimRead;
}

// The buttons follow the same rules as after any other change: a gang outside ICP and a "-" part
// keep Verify Chip and Read Chip disabled.
void MainControls::AfterAdvancedFunctions() {
  ShowSnValue();
  ShowChipCounter();
  RefreshButtons();
  BlockPlaceholderPart();
}

}  // namespace quillet
