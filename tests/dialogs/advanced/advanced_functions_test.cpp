// The Advanced Functions dialog without its widgets: scripts of clicks and typing, and what each one
// changes in the settings and the controls. Each script's transcript is in
// tests/data/golden/advanced/<name>.txt: the whole state after the first step, then the changes.
#include "dialogs/advanced/advanced_functions.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "core/storage/settings_record.h"
#include "dialogs/advanced/advanced_layout.h"
#include "support/golden.h"
#include "support/state_transcript.h"

namespace quillet {
namespace {

// Controls by the names the scripts and transcripts use.
// clang-format off
const std::map<int, std::string> kNames = {
    {kIdAdvOk, "ok"}, {kIdUsageGroup, "usage group"}, {kIdUsageDisable, "usage-off"},
    {kIdUsageEnable, "usage-on"}, {kIdUsageLabel, "usage label"}, {kIdUsageEdit, "usage"},
    {kIdSnGroup, "S/N group"}, {kIdSnDisable, "sn-off"}, {kIdSnEnable, "sn-on"},
    {kIdSnAddressLabel, "address label"}, {kIdSnAddressEdit, "address"}, {kIdSnEndEdit, "end address"},
    {kIdIncrementLabel, "increment label"}, {kIdIncrementEdit, "increment"}, {kIdSnValueLabel, "S/N label"},
    {kIdSnValueEdit, "sn"}, {kIdProtocolGroup, "protocol group"}, {kIdFastProtocol, "fast"},
    {kIdNormalProtocol, "normal"}, {kIdCounterGroup, "counter group"}, {kIdCounterDisable, "counter-off"},
    {kIdCounterEnable, "counter-on"}, {kIdCountDirection, "count-direction"}, {kIdCounterEdit, "counter"},
    {kIdCounterSpin, "counter spin"}, {kIdGangGroup, "gang group"}, {kIdGangNormal, "gang-normal"},
    {kIdGangVerifyOnly, "verify-only"}};
// clang-format on

int IdOf(const std::string& name) {
  for (const auto& [id, n] : kNames) {
    if (n == name) return id;
  }
  ADD_FAILURE() << "no control " << name;
  return kIdAdvOk;
}

class Script {
 public:
  Script() {
    job_.UsageLimit = {0x04, 0xD2};  // 1234
    job_.SnAddress = 0x100;
    job_.SnValue = {0, 42};
    job_.ChipCounter = 77;
  }

  // Steps are separated by '|': "set FIELD VALUES" before "open MODE", then "click NAME" and
  // "type NAME TEXT" (no text: the field emptied).
  std::string Run(const std::string& steps) {
    return test_support::RunScript(
        steps,
        [this](const std::string& step) {
          const std::string error = Do(step);
          return error.empty() ? "" : "-> ERROR " + error + "\n";
        },
        [this] { return State(); });
  }

 private:
  std::string Do(const std::string& step) {
    std::istringstream words(step);
    std::string verb, name, text;
    uint32_t a = 0, b = 0;
    words >> verb >> name;
    if (verb == "open") {
      job_.ProgrammerMode = static_cast<uint8_t>(std::stoul(name, nullptr, 0));
      DeriveModeFlags(job_);
      dialog_ = std::make_unique<AdvancedFunctions>(job_);
    } else if (verb == "set") {  // usage and address in hexadecimal, the rest decimal
      std::string first;
      words >> first >> b;
      a = static_cast<uint32_t>(std::stoul(first, nullptr, name == "usage" || name == "address" ? 16 : 10));
      if (name == "usage") job_.UsageLimit = {static_cast<uint8_t>(a >> 8), static_cast<uint8_t>(a)};
      if (name == "address") job_.SnAddress = a;
      if (name == "counter") job_.ChipCounter = a;
      if (name == "sn") job_.SnValue = {a, b};
      if (name == "increment") job_.SnIncrement = {a, b};
      if (name == "enabled") job_.UsageLimitEnabled = job_.SnProgrammingEnabled = job_.ChipCounterEnabled = a;
      if (name == "count-down") job_.CountDown = a;
      if (name == "fast") job_.FastProtocol = a;
      if (name == "verify-only") job_.GangVerifyOnly = a;
    } else if (verb == "click") {
      dialog_->OnClick(IdOf(name));
    } else if (verb == "type") {
      std::getline(words >> std::ws, text);
      const std::string error = dialog_->OnEditChange(IdOf(name), text);
      // Whatever the field shows now is accepted as it stands.
      const auto before = EncodeSettingsRecord(job_);
      EXPECT_EQ(dialog_->OnEditChange(IdOf(name), dialog_->states().text(IdOf(name))), "") << step;
      EXPECT_EQ(EncodeSettingsRecord(job_), before) << step;
      return error;
    } else {
      ADD_FAILURE() << "unknown step " << step;
    }
    return "";
  }

  test_support::StateLines State() const {
    test_support::StateLines lines;
    char job[200];
    std::snprintf(job, sizeof job,
                  "usage %s %u, S/N %s at %X + %u,%u now %u,%u, counter %s %u %s, %s protocol, gang %s",
                  job_.UsageLimitEnabled ? "on" : "off", UsageLimitForDisplay(job_.UsageLimit),
                  job_.SnProgrammingEnabled ? "on" : "off", job_.SnAddress, job_.SnIncrement.high,
                  job_.SnIncrement.low, job_.SnValue.high, job_.SnValue.low,
                  job_.ChipCounterEnabled ? "on" : "off", job_.ChipCounter, job_.CountDown ? "down" : "up",
                  job_.FastProtocol ? "fast" : "normal", job_.GangVerifyOnly ? "verify only" : "normal");
    lines["job"] = job;
    if (dialog_) test_support::AddControlLines(lines, AdvancedDialogTemplate(), dialog_->states(), kNames);
    return lines;
  }

  JobSettings job_;
  std::unique_ptr<AdvancedFunctions> dialog_;
};

// clang-format off
const std::pair<const char*, const char*> kScripts[] = {
    {"usage_limit_edits", "open 0x01 | type usage 60001 | type usage 0 | type usage 12a | type usage 60000 | type usage"},
    {"address_edits", "open 0x01 | type address 1fff9 | type address 12g | type address 1fff0 | type address"},
    {"increment_edits", "open 0x01 | type increment 12345678 | type increment 100000002 | type increment +5 | type increment"},
    {"serial_number_edits", "open 0x01 | type sn 123456789 | type sn 9999999999999999 | type sn -5"},
    // Only the first six characters of the counter are examined.
    {"counter_edits", "open 0x01 | type counter 999999 | type counter 12.5 | type counter 123456x | type counter"},
    {"groups_isp", "set enabled 1 | open 0x00"},
    {"groups_icp", "set enabled 1 | open 0x01"},
    {"groups_comisp", "set enabled 1 | open 0x02"},
    {"groups_comisp_production", "set enabled 1 | open 0x82"},
    {"groups_isp_gang", "set enabled 1 | open 0x40"},
    {"groups_icp_gang", "set enabled 1 | open 0x41"},
    {"opening_shows_every_field", "set sn 1 23456789 | set increment 1 2 | set counter 1234 | set address 1FFF0 | "
     "set usage FFFF | set count-down 1 | set fast 1 | set verify-only 1 | open 0x02"},
    {"small_increment_without_leading_zeros", "set increment 0 5 | open 0x01"},
    {"opening_brings_damaged_values_into_range", "set sn 123456789 5 | set increment 100000001 0 | set usage FFFE | "
     "set address FFFFFFFF | set counter 4294967295 | open 0x01"},
    {"zero_limit_of_a_first_run_opens_as_the_maximum", "set usage 0 | open 0x01"},
    {"clicks_store_at_once_and_enable_their_controls", "open 0x41 | click usage-on | click usage-off | click sn-on | "
     "click sn-off | click counter-on | click counter-off | click fast | click normal | click verify-only | click gang-normal"},
    {"count_button_toggles_direction_and_caption", "open 0x01 | click count-direction | click count-direction"},
};
// clang-format on

TEST(AdvancedFunctions, ScriptsGoAsTheirTranscripts) {
  for (const auto& [name, steps] : kScripts) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(test_support::MatchesGolden(std::string("advanced/") + name + ".txt", Script().Run(steps)));
  }
}

}  // namespace
}  // namespace quillet
