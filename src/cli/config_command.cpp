// quillet-cli config show|set (--part NAME | --code N) [--config B1,...,B8] [--slider N] [--view]
//   [--json] [FIELD=CHOICE...]: a part's CONFIG bytes through its CONFIG editor, as the window's
//   "CONFIG Setting" dialog shows and sets them.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iomanip>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>

#include "cli/commands.h"
#include "cli/job_options.h"
#include "cli/part_finder.h"
#include "cli/verb_support.h"
#include "core/config/config_editor.h"
#include "core/images/size_checks.h"
#include "core/job/setup_part.h"

namespace quillet::cli {
namespace {

constexpr char kPagesField[] = "Pages";

struct ConfigOptions {
  std::string part;
  int64_t code = -1;
  std::vector<std::string> config;  // CONFIG0 first
  int64_t slider = -1;
  bool view = false;
  bool json = false;
  std::vector<std::string> assignments;
};

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// One choice as the CLI names it: a group box caption, or CONFIGn.b with the bit's name.
struct FieldView {
  std::string field;
  std::string name;
  int page = -1;  // the bit editor's page, -1 for a named choice
  std::vector<int> ids;
  std::vector<std::string> choices;
  std::string choice;
  bool enabled = false;
  bool visible = false;
};

FieldView Collect(std::string field, std::string name, int page, const std::vector<int>& ids,
                  const std::map<int, ConfigControlState>& states) {
  FieldView view{std::move(field), std::move(name), page, ids, {}, "", false, false};
  for (int id : ids) {
    const ConfigControlState& s = states.at(id);
    view.choices.push_back(s.text);
    if (s.checked) view.choice = s.text;
    view.enabled = view.enabled || (s.enabled && s.visible);
    view.visible = view.visible || s.visible;
  }
  return view;
}

std::vector<FieldView> Fields(const ConfigEditor& editor) {
  std::vector<FieldView> fields;
  const auto states = editor.States();
  for (const ConfigFieldRow& row : editor.table().fields) {
    std::vector<int> ids;
    for (const ConfigButton& button : row.buttons) ids.push_back(button.id);
    fields.push_back(Collect(std::string(row.group), "", -1, ids, states));
  }
  for (int page = 0; page < editor.PageCount(); ++page) {
    const auto page_states = editor.PageStates(page);
    for (int bit = 7; bit >= 0; --bit) {
      const std::string field = "CONFIG" + std::to_string(page) + "." + std::to_string(bit);
      fields.push_back(Collect(field, page_states.at(BitGroupId(bit)).text, page,
                               {BitZeroId(bit), BitOneId(bit)}, page_states));
    }
  }
  return fields;
}

std::string ByteList(const ConfigByteArray& bytes) {
  std::string text;
  for (int i = 7; i >= 0; --i) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", bytes[i]);
    text += (text.empty() ? "" : ",") + std::string(hex);
  }
  return text;
}

std::vector<int> FileOrder(const ConfigByteArray& bytes) {
  std::vector<int> order;
  for (int i = 7; i >= 0; --i) order.push_back(bytes[i]);
  return order;
}

// The part's job as the window sets it up (ISP below code 110, ICP above), then the options.
struct Session {
  PartCatalogue catalogue;
  JobSettings job;
  std::optional<ConfigEditor> editor;
};

int Open(const ConfigOptions& options, Session& s) {
  uint32_t code = 0;
  if (options.code >= 0) {
    if (options.code >= kPartCount)
      return UsageError("--code: " + std::to_string(options.code) + " is no part code",
                        "part codes run from 0 to 1214; quillet-cli parts lists the parts");
    code = static_cast<uint32_t>(options.code);
  } else {
    const auto parts = NamedParts(s.catalogue);
    const auto found = std::find_if(parts.begin(), parts.end(),
                                    [&](const NamedPart& p) { return Lower(p.name) == Lower(options.part); });
    if (found == parts.end())
      return UsageError("--part: no part " + options.part,
                        UnknownPartHint(s.catalogue, options.part, std::nullopt));
    code = found->code;
  }
  s.job.ProgrammerMode = code < kIcpCodesFirst ? kTypeIsp : kTypeIcp;
  s.job.PartCode = code;
  SetupPart(s.job, s.catalogue);
  for (std::size_t i = 0; i < options.config.size(); ++i)
    s.job.ConfigBytes[7 - i] = static_cast<uint8_t>(std::stoul(options.config[i], nullptr, 0));
  if (options.slider >= 0) s.job.ConfigSliderPos = static_cast<uint16_t>(options.slider);
  s.editor = OpenConfigEditor(code, s.catalogue, s.job.ConfigBytes, s.job.ConfigSliderPos, options.view);
  return 0;
}

// The capacities Update Chip would allow with CONFIG and DataFlash selected.
std::pair<int64_t, nlohmann::ordered_json> Capacities(const Session& s) {
  JobSettings job = s.job;
  job.ConfigSelected = job.DataFlashSelected = true;
  const PartRow& part = s.catalogue.Row(job.PartCode);
  const uint32_t flash_end = ComputeFlashEnd(part, job);
  const DataFlashLimit data = DataFlashCapacity(part, job, flash_end);
  nlohmann::ordered_json data_json = data.refusal.empty() ? nlohmann::ordered_json(data.capacity)
                                                          : nlohmann::ordered_json(std::string(data.refusal));
  return {std::max<int64_t>(0, ApromCapacity(part, job, flash_end)), data_json};
}

nlohmann::ordered_json ShowJson(const Session& s) {
  const ConfigEditor& editor = *s.editor;
  nlohmann::ordered_json fields = nlohmann::ordered_json::array();
  for (const FieldView& f : Fields(editor)) {
    nlohmann::ordered_json field{{"Field", f.field}};
    if (f.page >= 0) field["Name"] = f.name;
    field["Choice"] = f.choice;
    field["Enabled"] = f.enabled;
    field["Visible"] = f.visible;
    field["Choices"] = f.choices;
    fields.push_back(field);
  }
  nlohmann::ordered_json dataflash = nullptr;
  if (editor.table().dataflash.start != DataFlashStart::kNone) {
    const auto states = editor.States();
    dataflash = {{"Enabled", states.at(kIdDataFlashSize).enabled},
                 // A fixed DataFlash has no size control: no page count to show.
                 {"Pages", editor.Spin().present ? nlohmann::ordered_json(editor.Spin().position) : nullptr},
                 {"Size", states.at(kIdDataFlashSize).text},
                 {"Start", states.at(kIdDataFlashStart).text}};
  }
  nlohmann::ordered_json clock = nullptr, voltage = nullptr;
  if (editor.dialog() == ConfigDialog::kBits) {
    const auto states = editor.States();
    clock = states.at(kIdBitsClockSource).text;
    voltage = states.at(kIdBitsBrownout).text;
  }
  const auto [aprom, data] = Capacities(s);
  return {{"PartName", s.catalogue.PartName(editor.part_code())},
          {"PartCode", editor.part_code()},
          {"Editor", editor.table().class_name},
          {"Resource", static_cast<int>(editor.dialog())},
          {"Title", editor.title()},
          {"ConfigBytes", FileOrder(editor.bytes())},
          {"ConfigSliderPos", editor.slider_pos()},
          {"Fields", fields},
          {"DataFlash", dataflash},
          {"ClockSource", clock},
          {"BrownoutVoltage", voltage},
          {"ApromCapacity", aprom},
          {"DataFlashCapacity", data}};
}

void PrintText(const nlohmann::ordered_json& json) {
  const auto row = [](const std::string& key, const std::string& value) {
    std::cout << std::left << std::setw(20) << key << value << "\n";
  };
  const auto text = [](const nlohmann::ordered_json& value) {
    return value.is_string() ? value.get<std::string>() : value.dump();
  };
  for (const char* key : {"PartName", "PartCode", "Editor", "Resource", "Title"}) row(key, text(json[key]));
  std::string bytes;
  for (int b : json["ConfigBytes"]) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", b);
    bytes += (bytes.empty() ? "" : ",") + std::string(hex);
  }
  row("ConfigBytes", bytes);
  row("ConfigSliderPos", text(json["ConfigSliderPos"]));
  for (const auto& f : json["Fields"]) {
    std::string choices;
    for (const auto& c : f["Choices"]) choices += (choices.empty() ? "" : " | ") + c.get<std::string>();
    std::string line = f.contains("Name") ? "(" + f["Name"].get<std::string>() + ") " : "";
    line += (f["Choice"] == "" ? "(none)" : f["Choice"].get<std::string>()) + "  [" + choices + "]";
    if (!f["Visible"].get<bool>())
      line += " hidden";
    else if (!f["Enabled"].get<bool>())
      line += " disabled";
    std::cout << "  " << f["Field"].get<std::string>() << " = " << line << "\n";
  }
  if (const auto& d = json["DataFlash"]; !d.is_null()) {
    std::string pages;
    if (d.contains("Pages") && !d["Pages"].is_null())
      pages = text(d["Pages"]) + (d["Pages"].get<int>() == 1 ? " page, " : " pages, ");
    row("DataFlash", std::string(d["Enabled"].get<bool>() ? "on, " : "off, ") + pages + "size " +
                         text(d["Size"]) + ", start " + text(d["Start"]));
  }
  if (!json["ClockSource"].is_null()) row("ClockSource", text(json["ClockSource"]));
  if (!json["BrownoutVoltage"].is_null()) row("BrownoutVoltage", text(json["BrownoutVoltage"]));
  row("ApromCapacity", text(json["ApromCapacity"]));
  row("DataFlashCapacity", text(json["DataFlashCapacity"]));
}

int Show(const ConfigOptions& options) {
  Session s;
  if (const int usage = Open(options, s)) return usage;
  const nlohmann::ordered_json json = ShowJson(s);
  if (options.json) {
    PrintJson(json);
  } else {
    PrintText(json);
  }
  return 0;
}

// A refusal by the editor itself (a button disabled or hidden at that moment): exit code 1.
int Refused(const std::string& what, const std::string& hint) {
  std::cerr << kProgram << ": " << what << "\n  " << hint << "\n";
  return 1;
}

struct Assignment {
  std::string text;
  std::string field;  // kPagesField or an index into the fields
  std::size_t index = 0;
  std::string choice;
};

int Set(const ConfigOptions& options) {
  if (options.view)
    return UsageError("--view: the CONFIG bytes read back from a chip are only shown",
                      "leave --view out to change them, or use config show --view");
  Session s;
  if (const int usage = Open(options, s)) return usage;
  ConfigEditor& editor = *s.editor;
  const std::string editor_name(editor.table().class_name);
  // Every field and choice named must exist before anything is clicked.
  std::vector<Assignment> steps;
  const std::vector<FieldView> fields = Fields(editor);
  for (const std::string& text : options.assignments) {
    const std::size_t equals = text.find('=');
    Assignment step{text, text.substr(0, equals), 0,
                    equals == std::string::npos ? "" : text.substr(equals + 1)};
    std::string names;
    for (const FieldView& f : fields) names += (names.empty() ? "" : ", ") + f.field;
    if (editor.Spin().present) names += std::string(", ") + kPagesField;
    if (equals == std::string::npos)
      return UsageError(text + ": not FIELD=CHOICE", "fields of " + editor_name + ": " + names);
    if (Lower(step.field) == Lower(kPagesField) && editor.Spin().present) {
      step.field = kPagesField;
      steps.push_back(step);
      continue;
    }
    const auto f = std::find_if(fields.begin(), fields.end(),
                                [&](const FieldView& v) { return Lower(v.field) == Lower(step.field); });
    if (f == fields.end())
      return UsageError(text + ": " + editor_name + " has no field " + step.field, "fields: " + names);
    const auto c = std::find_if(f->choices.begin(), f->choices.end(), [&](const std::string& choice) {
      return Lower(choice) == Lower(step.choice);
    });
    std::string choices;
    for (const std::string& choice : f->choices) choices += (choices.empty() ? "\"" : ", \"") + choice + "\"";
    if (c == f->choices.end())
      return UsageError(text + ": no choice " + step.choice, f->field + ": " + choices);
    step.field = f->field;
    step.index = static_cast<std::size_t>(f - fields.begin());
    step.choice = *c;
    steps.push_back(step);
  }
  for (const Assignment& step : steps) {
    if (step.field == kPagesField) {
      const DataFlashSpin spin = editor.Spin();
      std::size_t used = 0;
      int pages = -1;
      try {
        pages = std::stoi(step.choice, &used, 0);
      } catch (const std::exception&) {
      }
      if (pages < 1 || pages > spin.highest || used != step.choice.size())
        return UsageError(
            step.text + ": the DataFlash size runs from 1 to " + std::to_string(spin.highest) + " pages",
            "Pages=N with N from 1 to " + std::to_string(spin.highest));
      if (!editor.Scroll(pages))
        return Refused(step.text + ": the DataFlash size is disabled now",
                       "DataFlash=Enable first switches it on");
      continue;
    }
    const FieldView& f = fields[step.index];
    const std::size_t which = static_cast<std::size_t>(
        std::find(f.choices.begin(), f.choices.end(), step.choice) - f.choices.begin());
    const int id = f.ids[which];
    const int done = f.page >= 0 ? editor.ClickPage(f.page, id) : editor.Click(id);
    if (done) continue;
    const auto states = f.page >= 0 ? editor.PageStates(f.page) : editor.States();
    if (!states.at(id).visible)
      return Refused(step.text + ": \"" + step.choice + "\" is hidden in " + editor_name,
                     "the window never offers this choice");
    return Refused(step.text + ": \"" + step.choice + "\" is disabled now",
                   "another choice disables it; quillet-cli config show lists what is enabled");
  }
  if (options.json) {
    PrintJson({{"ConfigBytes", FileOrder(editor.bytes())}, {"ConfigSliderPos", editor.slider_pos()}});
  } else {
    std::cout << ByteList(editor.bytes()) << "\nConfigSliderPos=" << editor.slider_pos() << "\n";
  }
  return 0;
}

void AddPartOptions(CLI::App& verb, ConfigOptions& options) {
  auto* part = verb.add_option("--part", options.part, "the part name, as the part list shows it (any case)");
  auto* code = verb.add_option("--code", options.code, "the part code, 0..1214 (reaches unnamed codes too)")
                   ->check(CLI::NonNegativeNumber);
  part->excludes(code);
  verb.add_option("--config", options.config,
                  "the eight CONFIG bytes, CONFIG0 first, as 'project show' prints them and 'project save "
                  "--config' takes them (default: the part's own defaults)")
      ->delimiter(',')
      ->expected(8)
      ->check(ByteValue());
  verb.add_option("--slider", options.slider, "the DataFlash size in pages that the job remembers (0..65535)")
      ->check(CLI::Range(0, 65535));
  verb.add_flag("--json", options.json, "print JSON");
}

}  // namespace

void RegisterConfigCommand(CLI::App& app, ExitCode& exit_code) {
  auto* config = app.add_subcommand(
      "config", "Show or change a part's CONFIG bytes by name, through the part's CONFIG Setting dialog");
  config->require_subcommand(1);
  config->footer(HelpFooter(kExitCodes, "", "quillet-cli config show --part QMC04A"));

  auto* show = config->add_subcommand(
      "show",
      "Print what the CONFIG Setting dialog shows for the bytes: each choice and whether it can be "
      "changed, the DataFlash size and start, and how much APROM and DataFlash an image may then take");
  auto show_options = std::make_shared<ConfigOptions>();
  AddPartOptions(*show, *show_options);
  show->add_flag("--view", show_options->view,
                 "as the dialog shows bytes read back from a chip (nothing changeable)");
  show->footer(HelpFooter(
      "Exit codes: 0 shown; 2 a usage error (an unknown part, bad bytes).", "",
      "quillet-cli config show --part QTS16A --config 0xFE,0x3C,255,255,255,255,255,255 --slider 4"));
  show->callback([show_options, &exit_code] {
    if (show_options->part.empty() && show_options->code < 0) {
      exit_code.value = UsageError("--part or --code is required", "quillet-cli parts lists the parts");
      return;
    }
    exit_code.value = Show(*show_options);
  });

  auto* set = config->add_subcommand(
      "set",
      "Click choices of the CONFIG Setting dialog in order, as a person would, and print the CONFIG "
      "bytes (CONFIG0 first) and the DataFlash size in pages they give. FIELD is a group caption "
      "('config show' lists them; CONFIG0.7 .. CONFIG1.0 in the bit-by-bit dialog), CHOICE a button's "
      "caption, both in any case; Pages=N sets the DataFlash size.");
  auto set_options = std::make_shared<ConfigOptions>();
  AddPartOptions(*set, *set_options);
  set->add_flag("--view", set_options->view, "refused: bytes read back from a chip cannot be changed");
  set->add_option("FIELD=CHOICE", set_options->assignments, "the choices to click, in order");
  set->footer(HelpFooter(
      "Exit codes: 0 set (the bytes on stdout); 1 a choice is disabled or hidden at that moment; 2 a "
      "usage error (an unknown part, field or choice, bad bytes, pages out of range).",
      "", "quillet-cli config set --part QTS16A DataFlash=Enable Pages=4 \"Brownout Detection=Enable\""));
  set->callback([set_options, &exit_code] {
    if (set_options->part.empty() && set_options->code < 0) {
      exit_code.value = UsageError("--part or --code is required", "quillet-cli parts lists the parts");
      return;
    }
    exit_code.value = Set(*set_options);
  });
}

}  // namespace quillet::cli
