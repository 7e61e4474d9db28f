#pragma once
// What verify and read share: the gang socket they address, their refusal of the ISP by COM Port
// type (they work through a Programmer), and a verify's findings as JSON.
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>
#include <string>

#include "core/operations/chip_reading.h"

namespace quillet::cli {

// --socket 1..4 (default 1), which needs `gang`.
void AddSocketOption(CLI::App& verb, int& socket, CLI::Option* gang);

// With the ISP by COM Port type: the usage error (2); else 0.
int RefuseComIspType(Workbench& bench, const std::string& verb);

// [{"area", "pass", "firstDifference": {"offset", "expected", "read"} or null, "differingBytes"}] for
// an ICP verify; an ISP verify's area has "block": {"first", "last", "result"} instead.
nlohmann::ordered_json FindingsJson(const VerifyFindings& findings);

// What to do after a verify's or a read's own messages.
std::string ChipVerbNextStep(const std::string& message);

}  // namespace quillet::cli
