// Shape of the compiled-in catalogue: which codes are named, which columns follow code ranges, and
// that every family offers parts for each path of the size checks and CONFIG editors.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "catalogue/part_catalogue.h"

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

TEST_F(PartTable, ProgrammerParametersStayInTheirValueSets) {
  for (uint32_t code = 0; code < kPartCount; ++code) {
    const PartRow& row = catalogue.Row(code);
    EXPECT_EQ(row.DeviceCode != 0, code < 48 && IsPart(row)) << code;
    EXPECT_TRUE(std::set<uint32_t>({0, 0x10, 0x20, 0x40, 0x80}).count(row.PartParam1)) << code;
    if (code >= 37 && code <= 47) {
      EXPECT_TRUE(row.PartParam2 == 0x30 || row.PartParam2 == 0xF0) << code;
    } else {
      EXPECT_EQ(row.PartParam2, 0u) << code;
    }
    EXPECT_LE(row.PartParam3, 2) << code;
    const bool icp_8051 = code >= 110 && code <= 199 && IsPart(row);
    if (icp_8051) {
      EXPECT_TRUE(row.PartParam4 == 1 || row.PartParam4 == 2) << code;
    }
    EXPECT_TRUE(row.PartParam7 == 0 || ((row.PartParam7 == 0xFB || row.PartParam7 == 0xFD) && icp_8051))
        << code;
    EXPECT_EQ(row.PartParam5 != 0, code >= 110 && IsPart(row)) << code;
  }
  EXPECT_EQ(catalogue.Row(1000).PartParam3, 1);
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

// DataFlash set through CONFIG: DataFlashSize is the most the editor's spin range allows and
// DataFlashBase the start of the one-page default, both below the top the size checks use.
TEST_F(PartTable, DataFlashLayout) {
  for (uint32_t code = 0; code < kPartCount; ++code) {
    const PartRow& row = catalogue.Row(code);
    if (!IsPart(row) || !row.HasDataFlash) continue;
    if (!row.DataFlashByConfig) {
      if (row.BirchPart || (row.IsCortexM0 && code < 350)) {
        EXPECT_EQ(row.DataFlashBase, 0x1F000u) << code;
        EXPECT_EQ(row.DataFlashSize, 0x1000u) << code;
      }
      continue;
    }
    uint32_t top = 0;
    if (row.FamilyFlagB) {
      top = 0x4000;  // 256-byte pages below 16 KB
      EXPECT_EQ(row.ApromLastAddress, 0x3FFFu) << code;
    } else if (row.FamilyFlagA) {
      top = 0x10000;
      EXPECT_EQ(row.ApromLastAddress, 0xFFFFu) << code;
    } else if (row.EmberPart) {
      top = 0x24400;  // 1 KB pages; LDROM space given to DataFlash
    } else if (row.CedarPart || row.DuneFjordPart) {
      top = row.ApromLastAddress + 1;
    } else {
      top = 0x20000;
      EXPECT_EQ(row.ApromLastAddress, 0x1FFFFu) << code;
    }
    const uint32_t page = row.FamilyFlagA || row.FamilyFlagB ? 0x100 : row.EmberPart ? 0x400 : 0x200;
    EXPECT_EQ(row.DataFlashBase, top - page) << code;
    EXPECT_EQ(row.DataFlashSize, top - page) << code;
  }
  EXPECT_EQ(catalogue.Row(850).DataFlashBase, 0xE00u);  // a 4 KB Cedar part
  EXPECT_EQ(catalogue.Row(850).DataFlashSize, 0xE00u);
  EXPECT_EQ(catalogue.Row(1100).DataFlashBase, 0xFE00u);
}

// Each row of the capacity tables and each DataFlash control case is met by a part of the family.
TEST_F(PartTable, EveryFamilyExercisesEachLayoutPath) {
  using Predicate = std::function<bool(uint32_t, const PartRow&)>;
  const auto by_config = [](const PartRow& r) { return r.DataFlashByConfig; };
  const auto fixed = [](const PartRow& r) { return r.HasDataFlash && !r.DataFlashByConfig; };
  struct PathCase {
    const char* path;
    Predicate matches;
  };
  const std::vector<PathCase> paths = {
      {"ISP 8051 without DataFlash", [](uint32_t c, const PartRow& r) { return c < 36 && !r.HasDataFlash; }},
      {"Sorrel without DataFlash",
       [](uint32_t, const PartRow& r) { return r.FamilyFlagA && !r.HasDataFlash; }},
      {"Sorrel, fixed DataFlash",
       [&](uint32_t, const PartRow& r) { return r.FamilyFlagA && !r.FamilyFlagB && fixed(r); }},
      {"Sorrel, DataFlash in CONFIG",
       [&](uint32_t, const PartRow& r) { return r.FamilyFlagA && !r.FamilyFlagB && by_config(r); }},
      {"ISP flag A+B, fixed",
       [&](uint32_t, const PartRow& r) { return r.FamilyFlagA && r.FamilyFlagB && fixed(r); }},
      {"ISP flag A+B, in CONFIG",
       [&](uint32_t, const PartRow& r) { return r.FamilyFlagA && r.FamilyFlagB && by_config(r); }},
      {"ICP 8051 bit editor, fixed",
       [&](uint32_t c, const PartRow& r) { return c < 131 && c >= 110 && fixed(r); }},
      {"Tessel, in CONFIG",
       [&](uint32_t c, const PartRow& r) { return c >= 136 && r.FamilyFlagB && by_config(r); }},
      {"Tessel, fixed", [&](uint32_t c, const PartRow& r) { return c >= 136 && r.FamilyFlagB && fixed(r); }},
      {"Tessel without DataFlash",
       [](uint32_t c, const PartRow& r) { return c >= 136 && r.FamilyFlagB && !r.HasDataFlash; }},
      {"Arden, fixed", [&](uint32_t c, const PartRow& r) { return c >= 200 && c < 350 && fixed(r); }},
      {"Arden, in CONFIG", [&](uint32_t c, const PartRow& r) { return c >= 200 && c < 350 && by_config(r); }},
      {"Birch, fixed", [&](uint32_t, const PartRow& r) { return r.BirchPart && fixed(r); }},
      {"Birch 809..816", [](uint32_t c, const PartRow&) { return c >= 809 && c <= 816; }},
      {"Cedar, in CONFIG", [&](uint32_t, const PartRow& r) { return r.CedarPart && by_config(r); }},
      {"Dune, fixed", [&](uint32_t c, const PartRow& r) { return c < 1000 && r.DuneFjordPart && fixed(r); }},
      {"Dune, in CONFIG",
       [&](uint32_t c, const PartRow& r) { return c < 1000 && r.DuneFjordPart && by_config(r); }},
      {"Ember, in CONFIG", [&](uint32_t, const PartRow& r) { return r.EmberPart && by_config(r); }},
      {"Fjord, in CONFIG",
       [&](uint32_t c, const PartRow& r) { return c >= 1100 && r.DuneFjordPart && by_config(r); }},
      {"unlisted, fixed", [&](uint32_t c, const PartRow& r) { return c >= 1200 && fixed(r); }},
      {"unlisted, in CONFIG", [&](uint32_t c, const PartRow& r) { return c >= 1200 && by_config(r); }},
  };
  for (const PathCase& p : paths) {
    bool found = false;
    for (uint32_t code = 0; code < kPartCount && !found; ++code) {
      found = IsPart(catalogue.Row(code)) && p.matches(code, catalogue.Row(code));
    }
    EXPECT_TRUE(found) << p.path;
  }
  // Codes read by name elsewhere: 39 (long COM-port texts) carves DataFlash out of APROM.
  EXPECT_TRUE(catalogue.Row(39).DataFlashByConfig);
}

TEST_F(PartTable, ClockTexts) {
  using Texts = std::array<std::string_view, 4>;
  const Texts xtal24{"External XTAL (4MHz~24MHz)", "Internal OSC (11/22MHz)", "(Invalid !)",
                     "Clock from XTAL1"};
  const Texts xtal20{"External XTAL (4MHz~20MHz)", "Internal OSC (2.5/5/10/20MHz)", "(Invalid !)",
                     "Clock from XTAL1"};
  const Texts low{"External XTAL (4MHz~12MHz)", "Internal OSC (455KHz)", "External XTAL (32KHz~1MHz)",
                  "Clock from XTAL1"};
  const Texts xtal40{"External XTAL (4MHz~40MHz)", "Internal OSC (11/22MHz)", "(Invalid !)",
                     "Clock from XTAL1"};
  const Texts osc6{"External XTAL (4MHz~20MHz)", "Internal OSC (6MHz)", "(Invalid !)", "Clock from XTAL1"};
  const Texts dash{"-", "-", "-", "-"};
  const Texts none{};
  for (uint32_t code = 0; code < kPartCount; ++code) {
    const Texts* expected = &none;
    if (InSpans(code, {{110, 113}, {119, 120}})) expected = &xtal24;
    if (InSpans(code, {{114, 115}})) expected = &xtal20;
    if (InSpans(code, {{117, 118}})) expected = &low;
    if (InSpans(code, {{121, 122}})) expected = &xtal40;
    if (InSpans(code, {{127, 130}})) expected = &osc6;
    if (InSpans(code, {{116, 116}, {123, 126}, {131, 131}})) expected = &dash;
    EXPECT_EQ(catalogue.Row(code).ClockTexts, *expected) << code;
  }
}

}  // namespace
}  // namespace quillet
