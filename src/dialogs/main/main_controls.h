#pragma once
// The main window without its widgets: what every control shows (state, check mark, caption, list
// contents, buffer tabs) and what a click on each does to the settings. Every handler changes the
// settings first and recomputes the controls from them; the window then applies states() to its
// widgets, which also puts back a control that was clicked while an operation runs.
#include <functional>
#include <string>
#include <vector>

#include "core/catalogue/part_catalogue.h"
#include "core/job/job_settings.h"
#include "core/storage/project_commands.h"
#include "core/sys/shared_value.h"
#include "dialogs/kit/control_states.h"
#include "dialogs/main/part_lists.h"

namespace quillet {

class Reporter;

// Which image buffers hold a loaded file.
struct ImagePresence {
  bool aprom = false;
  bool data_flash = false;
  bool ldrom = false;
  bool any() const { return aprom || data_flash || ldrom; }
};

// What the main window's logic calls in other subsystems. Empty hooks do nothing (no image is then
// loaded).
struct MainControlHooks {
  std::function<ImagePresence()> images;
  std::function<void()> reload_images;          // shows the buffer of the selected tab
  std::function<void()> start_com_port_search;  // fills the COM port list on a worker thread
};

enum class ExitAction { Close, Stay };
enum class HotKeyAction { StartTrimRead, Ignore, NotTesselPart };

// Gang Programmer sockets that Verify Chip and Read Chip address, one bit per socket (#1 = bit 0).
constexpr unsigned kSocketOne = 0x1;

class MainControls {
 public:
  MainControls(JobSettings& job, PartCatalogue& catalogue, const SharedValue<bool>& operation_running,
               Reporter& reporter, MainControlHooks hooks = {});

  // Start-up, once GUI.LOG has been read: the type controls, the name swap, the part lists, every
  // control, the remembered ISP and ICP codes, the S/N and Chip Counter boxes.
  void StartUp();

  // Handlers of the controls.
  void OnIspRadio();
  void OnIcpRadio();
  void OnComIspRadio();
  void OnGangCheck(bool checked);
  void OnPmCheck(bool checked);
  void OnItemCheck(int id, bool checked);  // APROM, DataFlash or LDROM box
  void OnConfigCheck(bool checked);
  void OnTabChange(int index);
  void OnCategoryChange(int index);
  void OnPartChange(int index);
  ExitAction OnExit();
  HotKeyAction OnHotKey() const;
  // The Advanced Functions dialog has closed.
  void AfterAdvancedFunctions();

  // Refresh procedures, also run by other subsystems (project load, operations).
  void SetTypeControls();
  // `keep_tab`: the tab in front stays there when the part still has it (after Load File).
  void RefreshControls(bool keep_tab = false);
  void RefreshButtons();
  void BlockPlaceholderPart();
  void ShowSnValue();
  void ShowChipCounter();

  // Load File has loaded the area of this item box (APROM, DataFlash or LDROM).
  void CheckItemBox(int id);
  // A project has been loaded into the settings: type controls, part lists, items, the CONFIG and
  // Gang boxes, the port field, the S/N and Chip Counter boxes.
  void AfterProjectLoad();

  // The COM port search found these ports (device paths; the list shows them without "/dev/").
  void SetComPorts(std::vector<std::string> device_paths, int selected);
  // The operator picks another entry of the COM port list; put back while an operation runs.
  void OnComPortChange(int index);
  // Update Chip in ISP by COM Port is about to start: the port selected in the COM port list becomes
  // ProgrammerPortName, where the boot-loader link looks for the chip (and which leaving the type
  // clears again). Nothing changes when the list is empty.
  void UseSelectedComPort();
  // What the Programmer link shows: the port field and the "Prog. Type" field.
  void ShowPortField(std::string text);
  void ShowProgrammerType(std::string word);
  // The COM port search put the remembered ISP-by-COM-Port port into ProgrammerPortName.
  void SetPortNameFromComIsp(bool on) { port_name_from_com_isp_ = on; }

  const ControlStates& states() const { return states_; }
  const ListContent& category_list() const { return category_list_; }
  const ListContent& part_list() const { return part_list_; }
  const ListContent& com_port_list() const { return com_port_list_; }
  const std::vector<std::string>& tabs() const { return tabs_; }
  int tab_index() const { return tab_index_; }
  bool data_flash_tab_shown() const { return data_flash_tab_shown_; }
  // The part codes the ISP and ICP lists return to; project load sets them too.
  SavedPartCodes& saved_part_codes() { return saved_; }
  unsigned socket_choice() const { return socket_choice_; }
  const PartListState& list_state() const { return lists_; }

 private:
  bool Running() const { return operation_running_; }
  ImagePresence Images() const { return hooks_.images ? hooks_.images() : ImagePresence{}; }
  void CheckTypeRadios();
  void ClearPortNameFromComIsp();
  void ShowCategoryZeroDisabled();
  void RefreshItems();
  void RefreshTabs(bool keep_tab);
  void LeaveProductionMode();
  // Captions of the gang modes; verify-only also disables Verify Chip and Read Chip.
  void ShowGangMode();
  // The tooltip of each disabled operation button says why it is disabled.
  void ExplainDisabledButtons();
  void Setup();

  JobSettings& job_;
  PartCatalogue& catalogue_;
  const SharedValue<bool>& operation_running_;
  Reporter& reporter_;
  MainControlHooks hooks_;

  ControlStates states_;
  PartListState lists_;
  ListContent category_list_;
  ListContent part_list_;
  ListContent com_port_list_;
  std::vector<std::string> com_port_paths_;  // device paths of the COM port list's entries
  std::vector<std::string> tabs_;
  int tab_index_ = 0;
  bool data_flash_tab_shown_ = false;
  SavedPartCodes saved_;
  bool port_name_from_com_isp_ = false;
  unsigned socket_choice_ = kSocketOne;
};

}  // namespace quillet
