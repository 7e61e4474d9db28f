#include "cli/chip_verbs.h"

#include "cli/verb_support.h"

namespace quillet::cli {

void AddSocketOption(CLI::App& verb, int& socket, CLI::Option* gang) {
  verb.add_option("--socket", socket, "gang: the socket whose chip is addressed, 1 to 4 (default 1)")
      ->check(CLI::Range(1, 4))
      ->needs(gang);
}

int RefuseComIspType(Workbench& bench, const std::string& verb) {
  if (bench.job().Type() != kTypeComIsp) return 0;
  return UsageError(verb + ": " + bench.catalogue().PartName(bench.job().PartCode) +
                        " is set for ISP by COM Port, and " + verb + " works through a Programmer",
                    "name the part with --part, and --mode isp or icp");
}

nlohmann::ordered_json FindingsJson(const VerifyFindings& findings) {
  nlohmann::ordered_json areas = nlohmann::ordered_json::array();
  for (const AreaVerdict& v : findings) {
    nlohmann::ordered_json area;
    area["area"] = v.area;
    area["pass"] = v.pass;
    if (v.block) {
      area["block"] = {{"first", v.block->first}, {"last", v.block->last}, {"result", v.block->result}};
    } else {
      area["firstDifference"] = nullptr;
      if (const auto& d = v.firstDifference)
        area["firstDifference"] = {{"offset", d->offset}, {"expected", d->expected}, {"read", d->read}};
      area["differingBytes"] = v.differingBytes;
    }
    areas.push_back(std::move(area));
  }
  return areas;
}

std::string ChipVerbNextStep(const std::string& message) {
  if (message.starts_with("Device ID error !"))
    return "the chip in the socket is not the part named by --part";
  if (message.ends_with("in the chip's CONFIG is outside the flash !"))
    return "the chip is not the part named by --part, or its CONFIG is damaged; quillet-cli read --area "
           "config "
           "shows it";
  if (message.starts_with("Sync #")) return "check the Gang Programmer's cable and the chip in that socket";
  return {};
}

}  // namespace quillet::cli
