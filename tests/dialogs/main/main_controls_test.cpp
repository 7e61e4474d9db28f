// The main window without its widgets: scripts of clicks and what each one changes in the settings
// and the controls. Each script's transcript is in tests/data/golden/main_controls/<name>.txt: the
// whole state after the first step, then after every step the lines that changed.
#include "dialogs/main/main_controls.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>

#include "core/report/recording_reporter.h"
#include "dialogs/main/main_layout.h"
#include "support/golden.h"
#include "support/state_transcript.h"

namespace quillet {
namespace {

const std::map<int, std::string> kNames = {
    {kIdPartList, "part list"},    {kIdHexView, "hex view"},           {kIdFileName, "file name"},
    {kIdCodeSize, "code size"},    {kIdChecksum, "checksum"},          {kIdProgress, "progress"},
    {kIdComPortName, "port name"}, {kIdBufferTabs, "buffer tabs"},     {kIdComPortList, "COM port list"},
    {kIdStatus, "status"},         {kIdCategoryList, "category list"}, {kIdSnBox, "S/N box"},
    {kIdCounterBox, "counter box"}};

class Script {
 public:
  // Steps are separated by '|'; each is a verb and its arguments (see Do).
  std::string Run(const std::string& steps) {
    return test_support::RunScript(
        steps,
        [this](const std::string& step) {
          const std::string result = Do(step);
          std::string notes;
          for (const std::string& status : reporter_.Texts(ReportEvent::Kind::Status))
            notes += "status: " + status + "\n";
          reporter_.Clear();
          return notes + (result.empty() ? "" : "-> " + result + "\n");
        },
        [this] { return State(); });
  }

 private:
  std::string Do(const std::string& step) {
    std::istringstream words(step);
    std::string verb, arg;
    words >> verb >> arg;
    int n = 0;  // the argument as a number, where it is one ("0x41", "-1", "5")
    std::istringstream(arg) >> std::setbase(0) >> n;
    if (verb == "start") {  // start MODE PART: GUI.LOG gave these
      job_.ProgrammerMode = static_cast<uint8_t>(n);
      words >> job_.PartCode;
      controls_.StartUp();
    } else if (verb == "images") {  // images ADL: the buffers holding a file
      images_ = {arg.find('A') != std::string::npos, arg.find('D') != std::string::npos,
                 arg.find('L') != std::string::npos};
    } else if (verb == "set") {  // set FIELD VALUE: the settings as another window left them
      Set(arg, words);
    } else if (verb == "running") {
      running_ = n != 0;
    } else if (verb == "isp") {
      controls_.OnIspRadio();
    } else if (verb == "icp") {
      controls_.OnIcpRadio();
    } else if (verb == "comisp") {
      controls_.OnComIspRadio();
    } else if (verb == "gang") {
      controls_.OnGangCheck(n);
    } else if (verb == "pm") {
      controls_.OnPmCheck(n);
    } else if (verb == "config") {
      controls_.OnConfigCheck(n);
    } else if (verb == "aprom" || verb == "dataflash" || verb == "ldrom") {
      controls_.OnItemCheck(ItemId(verb), n);
    } else if (verb == "tab") {
      controls_.OnTabChange(n);
    } else if (verb == "category") {
      controls_.OnCategoryChange(n);
    } else if (verb == "part") {
      controls_.OnPartChange(n);
    } else if (verb == "exit") {
      return controls_.OnExit() == ExitAction::Close ? "close" : "stay";
    } else if (verb == "hotkey") {
      const HotKeyAction action = controls_.OnHotKey();
      return action == HotKeyAction::StartTrimRead ? "trim read"
             : action == HotKeyAction::Ignore      ? "ignore"
                                                   : "not Tessel";
    } else if (verb == "advanced-closed") {
      controls_.AfterAdvancedFunctions();
    } else if (verb == "loaded") {  // loaded AREA: Load File filled that buffer
      controls_.CheckItemBox(ItemId(arg));
    } else if (verb == "project-loaded") {
      controls_.AfterProjectLoad();
    } else if (verb == "port-from-comisp") {
      controls_.SetPortNameFromComIsp(true);
    } else {
      ADD_FAILURE() << "unknown step " << step;
    }
    return "";
  }

  void Set(const std::string& field, std::istringstream& words) {
    std::string value;
    words >> value;
    uint32_t n = 0;
    std::istringstream(value) >> std::setbase(0) >> n;
    if (field == "mode") {
      job_.ProgrammerMode = static_cast<uint8_t>(n);
      DeriveModeFlags(job_);
    }
    if (field == "part") job_.PartCode = n;
    if (field == "port") job_.SetPortName(value == "-" ? "" : value);
    if (field == "sn") words >> job_.SnValue.low, job_.SnValue.high = n;
    if (field == "counter") job_.ChipCounter = n;
    if (field == "sn-programming") job_.SnProgrammingEnabled = n;
    if (field == "counting") job_.ChipCounterEnabled = n;
    if (field == "usage-limit") job_.UsageLimitEnabled = n;
    if (field == "verify-only") job_.GangVerifyOnly = n;
    if (field == "config") job_.ConfigSelected = n;
  }

  static int ItemId(const std::string& name) {
    return name == "aprom" ? kIdApromCheck : name == "dataflash" ? kIdDataFlashCheck : kIdLdromCheck;
  }

  test_support::StateLines State() {
    test_support::StateLines lines;
    char job[160];
    std::snprintf(job, sizeof job, "mode %02X part %u %s, items %c%c%c%c, usage limit %d, P.M. %d, port %s",
                  int(job_.ProgrammerMode), job_.PartCode, job_.CategoryStr.c_str(),
                  job_.ApromSelected ? 'A' : '-', job_.DataFlashSelected ? 'D' : '-',
                  job_.LdromSelected ? 'L' : '-', job_.ConfigSelected ? 'C' : '-', job_.UsageLimitEnabled,
                  bool(job_.ProductionMode), job_.PortName().c_str());
    lines["job"] = job;
    const auto list = [](const ListContent& l) {
      return std::to_string(l.entries.size()) + " entries, " +
             (!l.selected ? "none"
              : *l.selected >= 0 && *l.selected < int(l.entries.size())
                  ? std::to_string(*l.selected) + " \"" + l.entries[*l.selected] + "\""
                  : std::to_string(*l.selected) + " (no entry)");
    };
    lines["list category"] = list(controls_.category_list());
    lines["list part"] = list(controls_.part_list());
    lines["part 40 named"] = catalogue_.PartName(40);
    const PartListState& state = controls_.list_state();
    std::string remembered;
    for (uint32_t code : state.remembered) remembered += " " + std::to_string(code);
    lines["list state"] = "category " + std::to_string(state.category_index) + ", part " +
                          std::to_string(state.part_index) + ", previous \"" + state.previous_category +
                          "\", remembered" + remembered;
    std::string tabs;
    for (const std::string& tab : controls_.tabs()) tabs += tab + "; ";
    lines["tabs"] = tabs + "at " + std::to_string(controls_.tab_index());
    lines["saved codes"] = std::to_string(controls_.saved_part_codes().SavedIspPartCode) + " " +
                           std::to_string(controls_.saved_part_codes().SavedIcpPartCode);
    lines["hooks"] = "reloads " + std::to_string(reloads_) + ", port searches " + std::to_string(searches_);
    test_support::AddControlLines(lines, MainDialogTemplate(), controls_.states(), kNames);
    return lines;
  }

  JobSettings job_;
  PartCatalogue catalogue_;
  SharedValue<bool> running_ = false;
  VirtualClock clock_;
  RecordingReporter reporter_{clock_};
  ImagePresence images_;
  int reloads_ = 0, searches_ = 0;
  MainControls controls_{
      job_, catalogue_, running_, reporter_,
      MainControlHooks{[this] { return images_; }, [this] { ++reloads_; }, [this] { ++searches_; }}};
};

// clang-format off
const std::pair<const char*, const char*> kScripts[] = {
    // Control states after start-up across types, Gang, P.M., gang verify-only, parts and images.
    {"state_isp_no_image", "start 0x00 2"},
    {"state_isp_part_without_dataflash", "images ADL | start 0x00 2"},
    {"state_isp_family_a_reads_config_ignores_ldrom", "images ADL | start 0x00 37"},
    {"state_icp_8051_no_image", "start 0x01 110"},
    {"state_icp_cortex_preselects_config", "start 0x01 200"},
    {"state_icp_ldrom_image_alone", "images L | start 0x01 200"},
    {"state_icp_ldrom_part_without_dataflash", "images ADL | start 0x01 144"},
    {"state_comisp", "images A | start 0x02 2"},
    {"state_comisp_production", "images A | start 0x82 2"},
    {"state_comisp_names_the_com_only_part", "images A | start 0x02 40"},
    {"state_isp_hides_the_com_only_part", "images ADL | start 0x00 40"},
    {"state_isp_gang_neither_verifies_nor_reads", "images A | start 0x40 2"},
    {"state_icp_gang", "images A | start 0x41 200"},
    {"state_icp_gang_verifies_with_any_image", "images L | start 0x41 200"},
    {"state_icp_gang_no_image", "start 0x41 200"},
    {"state_icp_gang_verify_only", "images A | set verify-only 1 | start 0x41 200"},
    {"state_verify_only_without_gang", "images A | set verify-only 1 | start 0x01 200"},
    {"state_isp_placeholder", "images ADL | start 0x00 18"},
    {"state_icp_placeholder_8051", "images ADL | start 0x01 116"},
    {"state_icp_placeholder_cortex", "images ADL | start 0x01 232"},
    // The category holding the code is selected, the other categories' remembered codes reset.
    {"lists_follow_the_code", "start 0x01 110 | start 0x01 115 | start 0x01 143 | start 0x01 144 | start 0x01 199 | "
     "start 0x01 200 | start 0x01 349 | start 0x01 810 | start 0x01 861 | start 0x01 969 | start 0x01 999 | "
     "start 0x01 1000 | start 0x01 1103 | start 0x01 1203 | start 0x01 5 | start 0x00 5 | start 0x02 44 | "
     "start 0x02 47 | start 0x00 60 | start 0x00 850"},
    {"part_changes_map_the_index_to_a_code", "start 0x01 110 | part 5 | part 5 | start 0x01 1100 | part 2 | part -1 | "
     "part 4 | part 1000 | start 0x00 3 | part 48"},
    {"category_changes_take_the_remembered_code", "start 0x01 1000 | category 2 | category 2 | category 5 | running 1 | "
     "category 1 | running 0 | category 7 | isp | category 3"},
    {"startup_fills_the_boxes", "set port /dev/ttyUSB3 | set sn 12 34 | set counter 1234 | set counting 1 | start 0x00 2"},
    {"sn_box_only_with_sn_programming_in_icp_or_comisp",
     "set sn-programming 1 | start 0x00 2 | start 0x40 2 | start 0x01 110 | start 0x41 110 | start 0x02 2 | start 0x82 2"},
    {"type_switches_return_to_the_remembered_parts", "start 0x00 5 | icp | part 5 | isp | part 7 | icp | comisp | icp"},
    {"icp_lists_follow_the_restored_part", "start 0x01 905 | category 2 | category 4"},
    {"comisp_drops_gang_and_the_usage_limit_and_searches_ports", "images A | set usage-limit 1 | start 0x40 2 | comisp"},
    {"leaving_comisp_keeps_a_com_only_part_that_blocks_everything", "images ADL | start 0x02 41 | isp | part 2"},
    {"leaving_isp_types_forgets_a_port_from_comisp",
     "start 0x02 2 | set port /dev/ttyUSB1 | port-from-comisp | isp | set port /dev/ttyUSB2 | icp"},
    {"gang_keeps_the_unchecked_items_and_clears_the_usage_limit",
     "images ADL | set usage-limit 1 | start 0x01 200 | dataflash 0 | config 0 | gang 1 | gang 0"},
    {"item_checks_drive_the_buttons", "images A | start 0x00 2 | aprom 0 | config 1 | aprom 1"},
    {"clicks_during_an_operation_change_nothing",
     "images ADL | start 0x01 200 | running 1 | isp | comisp | gang 1 | aprom 0 | config 0 | tab 2 | part 3 | category 2 | pm 1"},
    {"pm_box_during_production_leaves_production_mode", "start 0x02 2 | pm 1 | running 1 | pm 0"},
    {"exit_closes_or_stays_and_leaves_production_mode", "start 0x82 2 | exit | running 1 | exit | exit"},
    {"hot_key_only_for_tessel_parts", "start 0x01 136 | hotkey | set part 144 | hotkey | set part 145 | hotkey | "
     "set part 135 | hotkey | running 1 | set part 136 | hotkey | set part 2 | hotkey"},
    {"tabs_name_the_size_label_and_reload", "start 0x01 200 | tab 1 | tab 2 | tab 3 | part 1"},
    {"second_tab_without_dataflash_is_ldrom", "start 0x01 144 | tab 1"},
    {"advanced_functions_closed_in_gang", "images A | start 0x40 2 | set verify-only 1 | advanced-closed | set verify-only 0 | advanced-closed"},
    {"advanced_functions_closed_without_gang",
     "start 0x01 110 | set sn-programming 1 | set sn 1 2 | set counter 999999 | set verify-only 1 | advanced-closed"},
    {"project_loaded_lists_follow_and_config_is_kept",
     "images A | start 0x00 2 | set mode 0x41 | set part 905 | set config 0 | set port - | project-loaded"},
    {"load_file_checks_the_box", "start 0x01 200 | loaded ldrom"},
};
// clang-format on

TEST(MainControls, ScriptsGoAsTheirTranscripts) {
  for (const auto& [name, steps] : kScripts) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(
        test_support::MatchesGolden(std::string("main_controls/") + name + ".txt", Script().Run(steps)));
  }
}

}  // namespace
}  // namespace quillet
