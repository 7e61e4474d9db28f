#pragma once
// Parts as a person looks for them: the programmer types whose list holds a part, its core, the
// category the window shows it under, and, for a name that is no part, where it is or what is near.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalogue/part_catalogue.h"

namespace quillet::cli {

// "isp", "icp", "comisp" and the programmer types they name.
std::optional<uint8_t> TypeOfModeWord(std::string_view word);
std::string_view ModeWordOfType(uint8_t type);
// "ISP", "ICP", "ISP by COM Port".
std::string_view TypeText(uint8_t type);

// The programmer types whose part list holds `code` (none for codes no list shows).
std::vector<uint8_t> TypesOfPart(uint32_t code);
std::string_view CoreText(const PartRow& row);  // "8051" or "Cortex-M0"
// The category the window's ICP list shows the part under; "-" for the list without categories and
// for codes no list shows.
std::string_view CategoryText(uint32_t code);

// A named part (not "-", not empty) with its code.
struct NamedPart {
  uint32_t code;
  std::string_view name;
};
// Every part a list of some type shows or a project may name, in code order. `catalogue` holds the
// names of the ISP-by-COM-Port-only parts.
std::vector<NamedPart> NamedParts(const PartCatalogue& catalogue);

// The catalogue's spelling of a part name given in any case; the name itself when none matches.
std::string CatalogueSpelling(const PartCatalogue& catalogue, std::string_view name);

// Up to three names nearest to `name` (edit distance, any case), nearest first.
std::vector<std::string> NearestNames(const PartCatalogue& catalogue, std::string_view name);

// What to say of a part name that `type`'s list does not hold (any list when no type is given):
// the type whose list holds it ("QMC04A is an ICP part: use --mode icp"), the nearest names, or
// where the list is.
std::string UnknownPartHint(const PartCatalogue& catalogue, std::string_view name,
                            std::optional<uint8_t> type);

}  // namespace quillet::cli
