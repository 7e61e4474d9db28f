// The compiled-in part catalogue: its rows against a golden dump, the names hidden outside ISP by COM
// Port, finding a part by name, and the CONFIG bit texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/catalogue/config_bit_texts.h"
#include "core/catalogue/part_catalogue.h"
#include "support/golden.h"

namespace quillet {
namespace {

bool IsPart(const PartRow& row) {
  return !row.PartName.empty() && row.PartName != "-";
}

// Every row that a list shows or that has a name, one line each: a changed cell shows in the diff.
TEST(PartTable, RowsMatchTheGolden) {
  const PartCatalogue catalogue;
  std::ostringstream out;
  std::set<std::string> names;
  std::set<uint16_t> identifiers;
  for (uint32_t code = 0; code < kPartCount; ++code) {
    const PartRow& r = catalogue.Row(code);
    if (r.PartName.empty()) continue;
    out << code << ' ' << r.PartName << " flags " << r.FamilyFlagA << r.IsCortexM0 << r.BirchPart
        << r.CedarPart << r.DuneFjordPart << r.FamilyFlagC << r.FamilyFlagB << r.EmberPart << r.KestraPart
        << r.HasDataFlash << r.HasLdrom << r.DataFlashByConfig << std::hex << " aprom " << r.ApromLastAddress
        << " df " << r.DataFlashBase << '+' << r.DataFlashSize << " ldrom " << r.LdromLastAddress
        << " params " << int(r.DeviceCode) << ' ' << r.PartParam1 << ' ' << r.PartParam2 << ' '
        << int(r.PartParam3) << ' ' << int(r.PartParam4) << ' ' << r.PartParam5 << ' '
        << int(r.ConfigByteCount) << ' ' << int(r.PartParam7) << ' ' << int(r.PartParam8) << " config "
        << int(r.Config0DescGroup) << ' ' << int(r.Config1DescGroup) << std::dec;
    for (std::string_view clock : r.ClockTexts) out << " /" << clock;
    out << '\n';
    if (!IsPart(r)) continue;
    const std::string name(r.PartName);
    EXPECT_TRUE(name.size() <= 12 &&
                std::all_of(name.begin(), name.end(),
                            [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }))
        << name;
    EXPECT_TRUE(names.insert(name).second) << "duplicate " << name;
    if (code >= 110) EXPECT_TRUE(identifiers.insert(r.PartParam5).second) << code;
    EXPECT_EQ(r.DataFlashSize != 0, r.HasDataFlash) << code;
    EXPECT_TRUE(!r.DataFlashByConfig || r.HasDataFlash) << code;
  }
  EXPECT_TRUE(test_support::MatchesGolden("part_table.txt", out.str()));
  for (uint32_t code : {kPartCount, std::numeric_limits<uint32_t>::max()}) {
    EXPECT_TRUE(catalogue.Row(code).PartName.empty() && !catalogue.Row(code).IsCortexM0);
    EXPECT_EQ(catalogue.Row(code).ApromLastAddress, 0u);
  }
}

TEST(PartCatalogue, StartUpHidesComOnlyNamesAndTheComIspRadioPutsThemBack) {
  PartCatalogue catalogue;
  std::vector<std::string> original;
  for (uint32_t code = 40; code <= 52; ++code) original.push_back(catalogue.PartName(code));
  ASSERT_EQ(original[8], "");  // code 48 is in no list
  catalogue.SaveComOnlyNames();
  catalogue.HideComOnlyNames(kStartUpHiddenLast);
  for (uint32_t code = 40; code <= 52; ++code) EXPECT_EQ(catalogue.Row(code).PartName, "-") << code;
  EXPECT_EQ(catalogue.PartName(39), "QLS64D");
  EXPECT_EQ(catalogue.PartName(53), "");
  for (uint32_t i = 0; i < 100; ++i) {
    EXPECT_EQ(catalogue.ComOnlyPartNames()[i], i >= 40 && i <= 48 ? original[i - 40] : "") << i;
  }
  catalogue.RestoreComOnlyNames();
  for (uint32_t code = 40; code <= 52; ++code) {
    EXPECT_EQ(catalogue.Row(code).PartName, code <= 48 ? original[code - 40] : "-") << code;
  }
  catalogue.HideComOnlyNames();  // the ISP radio hides 40..48 only
  EXPECT_EQ(catalogue.PartName(48), "-");
  EXPECT_EQ(catalogue.PartName(40), "-");
  const std::string long_name(40, 'X');  // beyond any small-string buffer
  catalogue.SetPartName(41, long_name);
  EXPECT_EQ(catalogue.Row(41).PartName, long_name);
  catalogue.SetPartName(kPartCount, "IGNORED");
  EXPECT_EQ(catalogue.PartName(kPartCount), "");
}

TEST(PartCatalogue, FindPartCodeTakesTheFirstExactMatchInTheRangeAndKnowsOldNames) {
  const PartCatalogue catalogue;
  const auto icp = [&](std::string_view name) {
    return catalogue.FindPartCode(name, kIcpCodesFirst, kPartCount - 1);
  };
  EXPECT_EQ(catalogue.FindPartCode("QLA08P", 0, kIspCodesLast), 5u);
  EXPECT_EQ(icp("QLA08P"), std::nullopt);
  EXPECT_EQ(icp("QMD16A"), 115u);
  EXPECT_EQ(catalogue.FindPartCode("QMD16A", 0, kIspCodesLast), std::nullopt);
  EXPECT_EQ(icp("QVXB128LB"), 1208u);  // shown in no list, still found
  EXPECT_EQ(icp("-"), 116u);
  EXPECT_EQ(catalogue.FindPartCode("qla08p", 0, kIspCodesLast), std::nullopt);
  EXPECT_EQ(catalogue.FindPartCode("QLA08", 0, kIspCodesLast), std::nullopt);
  EXPECT_EQ(catalogue.FindPartCode("", 0, kPartCount - 1), std::nullopt);
  EXPECT_EQ(catalogue.FindPartCode("QFJ064LE", kIcpCodesFirst, std::numeric_limits<uint32_t>::max()), 1103u);
  for (const auto& [old_name, code] : {std::pair{"QMC(I)04A", 110u},
                                       {"QMC(I)08A", 111u},
                                       {"QMC(I)16A", 112u},
                                       {"QMD(I)08A", 114u},
                                       {"QMD(I)16A", 115u}}) {
    EXPECT_EQ(icp(CurrentPartName(old_name)), code) << old_name;
  }
  EXPECT_EQ(CurrentPartName("QMC(I)04"), "QMC(I)04");
}

// Groups list bit 7 first; the lookup turns bit numbers around and gives an empty entry outside.
TEST(ConfigBitTexts, LookupShorthandsAndTheOneReservedZeroBit) {
  const auto texts = [](const BitText& e) {
    return std::string(e.name) + "/" + std::string(e.zero) + "/" + std::string(e.one);
  };
  EXPECT_EQ(texts(Config0BitText(1, 6)), "P1.5 Function/Reset Pin/Input Port Pin");
  EXPECT_EQ(texts(Config0BitText(6, 0)), "FOSC0/0/1");
  EXPECT_EQ(texts(Config1BitText(7, 3)), "XTAL Frequency/< 24MHz/> 24MHz");
  EXPECT_EQ(texts(Config1BitText(7, 0)), "PWM Odd/Output Mode/Hi-Z Mode");
  EXPECT_EQ(texts(Config0BitText(7, 0)), "//");
  EXPECT_EQ(texts(Config1BitText(8, 0)), "//");
  EXPECT_EQ(texts(Config1BitText(0, 8)), "//");
  int reserved_zero = 0;
  for (int table = 0; table < 2; ++table) {
    for (unsigned group = 0; group < (table == 0 ? 7u : 8u); ++group) {
      for (unsigned bit = 0; bit < 8; ++bit) {
        const BitText& e = table == 0 ? Config0BitText(group, bit) : Config1BitText(group, bit);
        ASSERT_FALSE(e.name.empty());
        if (e.name == "Reserved" || e.name == "APROM Lock" || e.name == "NVM Lock")
          EXPECT_EQ(texts(e), std::string(e.name) + "/Enable/Disable");
        if (e.name == kReservedZeroBit) reserved_zero += table * 100 + group * 10 + bit == 24 ? 1 : 100;
      }
    }
  }
  EXPECT_EQ(reserved_zero, 1);  // CONFIG0 group 2, bit 4 only
}

// The bit editor's clock and brown-out texts read fixed bits of particular parts; their
// description groups must name those bits accordingly.
TEST(ConfigBitTexts, IcpPartsDescribeTheBitsTheirDerivedTextsRead) {
  const PartCatalogue catalogue;
  const auto name0 = [&](uint32_t code, unsigned bit) {
    return Config0BitText(catalogue.Row(code).Config0DescGroup, bit).name;
  };
  const auto name1 = [&](uint32_t code, unsigned bit) {
    return Config1BitText(catalogue.Row(code).Config1DescGroup, bit).name;
  };
  int nvm_lock_pages = 0;
  for (uint32_t code = 110; code <= 130; ++code) {
    if (catalogue.Row(code).ConfigByteCount != 2) continue;
    SCOPED_TRACE(code);
    nvm_lock_pages += name1(code, 6) == "NVM Lock";
    EXPECT_EQ(name0(code, 1), "FOSC1");
    EXPECT_EQ(name0(code, 0), "FOSC0");
    EXPECT_EQ(name1(code, 7), "APROM Lock");
    const bool cbov_in_config1 = code == 119 || code == 120, cbov_low = code == 121 || code == 122;
    if (code <= 113) {
      EXPECT_EQ(name0(code, 6), "CBOV1");
      EXPECT_EQ(name0(code, 5), "CBOV0");
    } else if (cbov_in_config1 || cbov_low) {
      EXPECT_EQ(cbov_in_config1 ? name1(code, 3) : name0(code, 4), "CBOV1");
      EXPECT_EQ(cbov_in_config1 ? name1(code, 2) : name0(code, 3), "CBOV0");
    } else {
      EXPECT_EQ(name0(code, 4), "BOV");
    }
    if (code == 114 || code == 115)
      EXPECT_EQ(std::string(name1(code, 5)) + std::string(name1(code, 4)), "FS1FS0");
    if (code <= 113 || (code >= 119 && code <= 122))
      EXPECT_EQ(Config1BitText(catalogue.Row(code).Config1DescGroup, 5).one, "22.1184MHz");
  }
  // Locking APROM locks an "NVM Lock" bit 6 on most parts; some parts have none to unlock.
  EXPECT_GT(nvm_lock_pages, 0);
  EXPECT_LT(nvm_lock_pages, 16);
}

}  // namespace
}  // namespace quillet
