#include "dialogs/main/main_controls.h"

#include "core/job/item_selection.h"

#include "core/job/setup_part.h"
#include "core/serial/port_name.h"
#include "dialogs/main/main_layout.h"

namespace quillet {
namespace {

constexpr uint32_t kFirstIspPartCode = 2;
constexpr uint32_t kFirstIcpPartCode = 110;
constexpr char kPlaceholderName[] = "-";

}  // namespace

MainControls::MainControls(JobSettings& job, PartCatalogue& catalogue,
                           const SharedValue<bool>& operation_running, Reporter& reporter,
                           MainControlHooks hooks)
    : job_(job),
      catalogue_(catalogue),
      operation_running_(operation_running),
      reporter_(reporter),
      hooks_(std::move(hooks)),
      states_(MainDialogTemplate()) {}

void MainControls::StartUp() {
  states_.SetText(kIdComPortName, ShortPortName(job_.PortName()));
  Setup();
  SetTypeControls();
  catalogue_.SaveComOnlyNames();
  if (job_.Type() != kTypeComIsp) catalogue_.HideComOnlyNames(kStartUpHiddenLast);
  category_list_ = FillCategoryList(lists_, job_);
  states_.Enable(kIdCategoryList, job_.CategoryMode);
  RefreshControls();
  saved_ = {kFirstIspPartCode, kFirstIcpPartCode};
  tab_index_ = 0;
  states_.SetText(kIdProgType, "Prog. Type");
  socket_choice_ = kSocketOne;
  ShowSnValue();
  ShowChipCounter();
}

void MainControls::Setup() {
  SetupPart(job_, catalogue_);
}

void MainControls::CheckTypeRadios() {
  const uint8_t type = job_.Type();
  states_.Check(kIdIspRadio, type == kTypeIsp);
  states_.Check(kIdIcpRadio, type == kTypeIcp);
  states_.Check(kIdComIspRadio, type == kTypeComIsp);
}

void MainControls::SetTypeControls() {
  CheckTypeRadios();
  const uint8_t extra = job_.ProgrammerMode & 0xF0;
  states_.Check(kIdGangCheck, extra == kModeGang);
  states_.Check(kIdPmCheck, extra == kModeProduction);
  if (job_.Type() == kTypeComIsp) states_.Enable(kIdGangCheck, false);
}

void MainControls::RefreshControls(bool keep_tab) {
  part_list_ = FillPartList(lists_, job_, catalogue_);
  if (job_.ComPortMode) {
    states_.Enable(kIdComPortList, true);
    states_.Check(kIdGangCheck, false);
    states_.Enable(kIdGangCheck, false);
    states_.Enable(kIdPmCheck, true);
  } else {
    com_port_list_ = {};
    com_port_paths_.clear();
    states_.Enable(kIdComPortList, false);
    states_.Enable(kIdGangCheck, true);
    states_.Check(kIdPmCheck, false);
    states_.Enable(kIdPmCheck, false);
  }
  RefreshItems();
  RefreshTabs(keep_tab);
  RefreshButtons();
  if (hooks_.reload_images) hooks_.reload_images();
  BlockPlaceholderPart();
}

void MainControls::RefreshItems() {
  const ItemSelection writable = WritableItems(catalogue_.Row(job_.PartCode), job_.Type());
  const ImagePresence images = Images();
  const struct {
    int id;
    bool& flag;
    bool offered;
  } items[] = {
      {kIdApromCheck, job_.ApromSelected, images.aprom && writable.aprom},
      {kIdDataFlashCheck, job_.DataFlashSelected, images.data_flash && writable.data_flash},
      {kIdLdromCheck, job_.LdromSelected, images.ldrom && writable.ldrom},
  };
  for (const auto& item : items) {
    item.flag = item.offered;
    states_.Enable(item.id, item.offered);
    states_.Check(item.id, item.offered);
  }
  // CONFIG needs no image.
  job_.ConfigSelected = writable.config_preselected;
  states_.Enable(kIdConfigCheck, writable.config);
  states_.Check(kIdConfigCheck, job_.ConfigSelected);
  states_.Enable(kIdConfigSetting, job_.ConfigSelected);
}

void MainControls::RefreshTabs(bool keep_tab) {
  const int front = tab_index_;
  const PartRow& part = catalogue_.Row(job_.PartCode);
  tabs_ = {"APROM Buffer"};
  tab_index_ = 0;
  states_.SetText(kIdSizeLabel, "Code Size:");
  if (job_.CategoryMode) {
    data_flash_tab_shown_ = part.HasDataFlash;
    if (part.HasDataFlash) tabs_.push_back("DataFlash Buffer");
    if (part.HasLdrom) tabs_.push_back("LDROM Buffer");
  } else if (part.HasDataFlash) {
    tabs_.push_back("DataFlash Buffer");
    data_flash_tab_shown_ = true;
  }
  if (keep_tab && front < static_cast<int>(tabs_.size())) {
    tab_index_ = front;
    if (front == 1 && data_flash_tab_shown_) states_.SetText(kIdSizeLabel, "Data Size:");
  }
}

void MainControls::RefreshButtons() {
  const ImagePresence images = Images();
  const bool a = job_.ApromSelected && images.aprom;
  const bool d = job_.DataFlashSelected && images.data_flash;
  const bool l = job_.LdromSelected && images.ldrom;
  const uint8_t type = job_.Type();
  const bool icp = type == kTypeIcp, com_isp = type == kTypeComIsp;
  const bool items = icp ? (a || d || l) : a;

  states_.Enable(kIdDownloadProgrammer, !com_isp && items);
  states_.Enable(kIdUpdateChip, items);
  states_.Enable(kIdVerifyChip, !com_isp && items);
  states_.Enable(kIdReadChip, icp || (type == kTypeIsp && catalogue_.Row(job_.PartCode).FamilyFlagA));
  states_.Enable(kIdProgrammerInfo, !com_isp);
  states_.SetText(kIdVerifyChip, icp ? "Verify Chip" : "Verify\nAPROM");
  states_.SetText(kIdReadChip, icp ? "Read Chip" : "Read\nCONFIG");

  if (job_.GangMode) {
    ShowGangMode();
    // Outside ICP a gang verifies and reads nothing but through Update Chip.
    if (!job_.GangVerifyOnly) {
      states_.Enable(kIdVerifyChip, icp && images.any());
      states_.Enable(kIdReadChip, icp);
    }
  } else {
    states_.SetText(kIdUpdateChip, "Update Chip");
    states_.SetText(kIdItemsGroup, "Items to be Updated");
  }
  states_.Enable(kIdDownloadUpdateIsp, a);
  ExplainDisabledButtons();
}

void MainControls::ExplainDisabledButtons() {
  const uint8_t type = job_.Type();
  const bool placeholder = catalogue_.PartName(job_.PartCode) == kPlaceholderName;
  for (int id : {kIdDownloadProgrammer, kIdUpdateChip, kIdVerifyChip, kIdReadChip, kIdProgrammerInfo}) {
    std::string tip;
    if (states_.enabled(id)) {
      tip = "";
    } else if (placeholder) {
      tip = "\"-\" is not a part: choose a part from the list";
    } else if (type == kTypeComIsp && id != kIdUpdateChip && id != kIdReadChip) {
      tip = "Not used with ISP by COM Port";
    } else if (job_.GangMode && job_.GangVerifyOnly && (id == kIdVerifyChip || id == kIdReadChip)) {
      tip = "The gang verifies with \"Verify Chips\" in verify-only mode";
    } else if (id == kIdReadChip) {
      tip = job_.GangMode ? "A Gang Programmer reads chips in ICP only"
                          : "Reads CONFIG only of the 8051 parts whose CONFIG is written in ISP";
    } else if (job_.GangMode && id == kIdVerifyChip && type != kTypeIcp) {
      tip = "A Gang Programmer verifies chips in ICP only";
    } else {
      tip = type == kTypeIcp ? "Load a file and check APROM, DataFlash or LDROM first"
                             : "Load a file and check APROM first";
    }
    states_.SetTip(id, std::move(tip));
  }
}

void MainControls::ShowGangMode() {
  const bool verify_only = job_.GangVerifyOnly;
  states_.SetText(kIdItemsGroup, verify_only ? "Items to be Verified" : "Items to be Updated");
  states_.SetText(kIdUpdateChip, verify_only ? "Verify Chips" : "Update Chips");
  if (verify_only) {
    states_.Enable(kIdVerifyChip, false);
    states_.Enable(kIdReadChip, false);
  }
}

void MainControls::BlockPlaceholderPart() {
  if (catalogue_.PartName(job_.PartCode) != kPlaceholderName) return;
  for (int id : {kIdUpdateChip, kIdDownloadProgrammer, kIdVerifyChip, kIdReadChip, kIdConfigSetting,
                 kIdConfigCheck, kIdApromCheck, kIdDataFlashCheck, kIdLdromCheck}) {
    states_.Enable(id, false);
  }
  ExplainDisabledButtons();
}

void MainControls::ShowSnValue() {
  states_.SetText(kIdSnBox, FormatSnValue(job_.SnValue));
  const uint8_t type = job_.Type();
  const bool shown = job_.SnProgrammingEnabled && (type == kTypeIcp || type == kTypeComIsp);
  states_.Enable(kIdSnBox, shown);
  states_.Enable(kIdSnLabel, shown);
}

void MainControls::ShowChipCounter() {
  states_.SetText(kIdCounterBox, FormatChipCounter(job_.ChipCounter));
  states_.Enable(kIdCounterBox, job_.ChipCounterEnabled);
  states_.Enable(kIdCounterLabel, job_.ChipCounterEnabled);
}

void MainControls::CheckItemBox(int id) {
  states_.Enable(id, true);
  states_.Check(id, true);
}

void MainControls::AfterProjectLoad() {
  states_.SetText(kIdComPortName, ShortPortName(job_.PortName()));
  SetTypeControls();
  category_list_ = FillCategoryList(lists_, job_);
  states_.Enable(kIdCategoryList, job_.CategoryMode);
  const bool config = job_.ConfigSelected;
  RefreshControls();
  job_.ConfigSelected = config;
  states_.Check(kIdConfigCheck, config);
  states_.Enable(kIdConfigSetting, config);
  states_.Check(kIdGangCheck, job_.GangMode);
  states_.Enable(kIdGangCheck, !job_.ComPortMode);
  states_.SetText(kIdProgType, "Prog. Type");
  ShowSnValue();
  ShowChipCounter();
}

void MainControls::SetComPorts(std::vector<std::string> device_paths, int selected) {
  com_port_list_.entries.clear();
  for (const std::string& path : device_paths) com_port_list_.entries.push_back(ShortPortName(path));
  com_port_list_.selected = selected;
  com_port_paths_ = std::move(device_paths);
}

void MainControls::OnComPortChange(int index) {
  if (Running() || index < 0 || index >= static_cast<int>(com_port_list_.entries.size())) return;
  com_port_list_.selected = index;
}

void MainControls::UseSelectedComPort() {
  const int index = com_port_list_.selected.value_or(-1);
  if (index < 0 || index >= static_cast<int>(com_port_paths_.size())) return;
  job_.SetPortName(com_port_paths_[static_cast<std::size_t>(index)]);
  port_name_from_com_isp_ = true;
}

void MainControls::ShowPortField(std::string text) {
  states_.SetText(kIdComPortName, std::move(text));
}

void MainControls::ShowProgrammerType(std::string word) {
  states_.SetText(kIdProgType, std::move(word));
}

}  // namespace quillet
