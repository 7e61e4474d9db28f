// Shape of the compiled-in catalogue: which codes are named, which columns follow code ranges, and
// the flash geometry of each family.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "core/catalogue/part_catalogue.h"

namespace quillet {
namespace {

struct Span {
  uint32_t first;
  uint32_t last;
};

bool InSpans(uint32_t code, const std::vector<Span>& spans) {
  return std::any_of(spans.begin(), spans.end(),
                     [code](Span s) { return code >= s.first && code <= s.last; });
}

bool IsPart(const PartRow& row) {
  return !row.PartName.empty() && row.PartName != "-";
}

class PartTable : public ::testing::Test {
 protected:
  PartCatalogue catalogue;
};

TEST_F(PartTable, FlagsFollowTheirCodeRanges) {
  struct FlagCase {
    const char* name;
    bool PartRow::*flag;
    std::vector<Span> spans;
  };
  const std::vector<FlagCase> cases = {
      {"FamilyFlagA", &PartRow::FamilyFlagA, {{36, 47}}},
      {"IsCortexM0", &PartRow::IsCortexM0, {{200, 1214}}},
      {"BirchPart", &PartRow::BirchPart, {{800, 849}}},
      {"CedarPart", &PartRow::CedarPart, {{850, 899}}},
      {"DuneFjordPart", &PartRow::DuneFjordPart, {{900, 999}, {1100, 1199}}},
      {"FamilyFlagC", &PartRow::FamilyFlagC, {{132, 135}}},
      {"FamilyFlagB", &PartRow::FamilyFlagB, {{40, 51}, {136, 147}}},
      {"EmberPart", &PartRow::EmberPart, {{1000, 1099}}},
      {"KestraPart", &PartRow::KestraPart, {{131, 131}}},
      {"HasDataFlash",
       &PartRow::HasDataFlash,
       {{37, 47}, {110, 115}, {117, 122}, {127, 130}, {136, 143}, {200, 1214}}},
      {"HasLdrom", &PartRow::HasLdrom, {{136, 147}, {200, 1214}}},
  };
  for (const FlagCase& c : cases) {
    for (uint32_t code = 0; code < kPartCount; ++code) {
      ASSERT_EQ(catalogue.Row(code).*c.flag, InSpans(code, c.spans)) << c.name << " at code " << code;
    }
  }
}

TEST_F(PartTable, ByteColumnsFollowTheirCodeRanges) {
  for (uint32_t code = 0; code < kPartCount; ++code) {
    const PartRow& row = catalogue.Row(code);
    EXPECT_EQ(row.ConfigByteCount, InSpans(code, {{110, 115}, {117, 122}, {127, 130}}) ? 2 : 0) << code;
    EXPECT_EQ(row.PartParam8, InSpans(code, {{850, 999}, {1100, 1199}}) ? 0xFF : 0) << code;
    if (row.IsCortexM0) {
      EXPECT_EQ(row.PartParam4, 2) << code;
    }
  }
}

TEST_F(PartTable, NamedRowsAndPlaceholdersPerList) {
  struct ListCase {
    Span codes;
    int named;
    std::set<uint32_t> placeholders;
  };
  const std::vector<ListCase> lists = {
      {{0, 47}, 42, {18, 19, 20, 21, 33, 35}},
      {{110, 143}, 24, {116, 123, 124, 125, 126, 131, 132, 133, 134, 135}},
      {{200, 349}, 141, {232, 242, 250, 255, 260, 293, 301, 308, 329}},
      {{800, 819}, 18, {808, 817}},
      {{850, 861}, 12, {}},
      {{900, 969}, 67, {920, 934, 958}},
      {{1000, 1000}, 1, {}},
      {{1100, 1103}, 4, {}},
      {{1200, 1214}, 14, {1207}},
  };
  for (const ListCase& list : lists) {
    int named = 0;
    std::set<uint32_t> placeholders;
    for (uint32_t code = list.codes.first; code <= list.codes.last; ++code) {
      const std::string& name = catalogue.PartName(code);
      ASSERT_FALSE(name.empty()) << "a list shows code " << code;
      if (name == "-") {
        placeholders.insert(code);
      } else {
        ++named;
      }
    }
    EXPECT_EQ(named, list.named) << "list from " << list.codes.first;
    EXPECT_EQ(placeholders, list.placeholders) << "list from " << list.codes.first;
  }
  // Outside the lists only code 144, the Tessel part the ICP list does not show, has a name.
  const std::vector<Span> lists_spans = {{0, 47},    {110, 143},   {200, 349},   {800, 819},  {850, 861},
                                         {900, 969}, {1000, 1000}, {1100, 1103}, {1200, 1214}};
  for (uint32_t code = 0; code < kPartCount; ++code) {
    if (InSpans(code, lists_spans)) continue;
    EXPECT_EQ(catalogue.PartName(code), code == 144 ? "QTS16N" : "") << code;
  }
}

TEST_F(PartTable, NamesAreShortUpperCaseAndUnique) {
  std::set<std::string> seen;
  for (uint32_t code = 0; code < kPartCount; ++code) {
    const PartRow& row = catalogue.Row(code);
    if (!IsPart(row)) continue;
    const std::string name(row.PartName);
    EXPECT_LE(name.size(), 12u) << name;
    EXPECT_TRUE(std::all_of(name.begin(), name.end(), [](char c) {
      return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    })) << name;
    EXPECT_TRUE(seen.insert(name).second) << "duplicate " << name;
  }
}

TEST_F(PartTable, PartIdentifiersOfIcpPartsAreUnique) {
  std::set<uint16_t> seen;
  for (uint32_t code = 110; code < kPartCount; ++code) {
    if (IsPart(catalogue.Row(code))) {
      EXPECT_TRUE(seen.insert(catalogue.Row(code).PartParam5).second) << code;
    }
  }
}

TEST_F(PartTable, GeometryPerFamily) {
  struct FamilyCase {
    const char* family;
    Span codes;
    std::set<uint32_t> aprom_last;
    uint32_t ldrom_last;
  };
  const std::vector<FamilyCase> families = {
      {"ISP list", {0, 47}, {0xFFF, 0x1FFF, 0x3BFF, 0x3FFF, 0x7FFF, 0xFFFF, 0x1FFFF}, 0},
      {"ICP 8051", {110, 130}, {0x7FF, 0xFFF, 0x1FFF, 0x3FFF}, 0},
      {"Tessel", {136, 144}, {0x3BFF, 0x3FFF}, 0x7FF},
      {"Arden", {200, 349}, {0x7FFF, 0xFFFF, 0x1FFFF}, 0xFFF},
      {"Birch", {800, 819}, {0x1FFF, 0x3FFF, 0x7FFF, 0xFFFF}, 0xFFF},
      {"Cedar", {850, 861}, {0xFFF, 0x1FFF, 0x3FFF}, 0x7FF},
      {"Dune", {900, 969}, {0x7FFF, 0xFFFF, 0x1EBFF}, 0xFFF},
      {"Ember", {1000, 1000}, {0x233FF}, 0xFFF},
      {"Fjord", {1100, 1103}, {0xFFFF}, 0xFFF},
      {"unlisted", {1200, 1214}, {0x7FFF, 0xFFFF, 0x1FFFF}, 0xFFF},
  };
  for (const FamilyCase& f : families) {
    std::set<uint32_t> aprom_seen;
    for (uint32_t code = f.codes.first; code <= f.codes.last; ++code) {
      const PartRow& row = catalogue.Row(code);
      if (!IsPart(row)) continue;
      aprom_seen.insert(row.ApromLastAddress);
      EXPECT_EQ(row.LdromLastAddress, f.ldrom_last) << f.family << " " << code;
      EXPECT_EQ(row.DataFlashSize != 0, row.HasDataFlash) << code;
      EXPECT_TRUE(!row.DataFlashByConfig || row.HasDataFlash) << code;
    }
    EXPECT_EQ(aprom_seen, f.aprom_last) << f.family;
  }
}

}  // namespace
}  // namespace quillet
