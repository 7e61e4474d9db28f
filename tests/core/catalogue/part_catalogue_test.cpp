#include "core/catalogue/part_catalogue.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace quillet {
namespace {

TEST(PartCatalogue, CodesBeyondTheTableGiveAnEmptyRow) {
  const PartCatalogue catalogue;
  for (uint32_t code : {kPartCount, 5000u, std::numeric_limits<uint32_t>::max()}) {
    const PartRow& row = catalogue.Row(code);
    EXPECT_TRUE(row.PartName.empty());
    EXPECT_FALSE(row.IsCortexM0 || row.HasDataFlash || row.HasLdrom);
    EXPECT_EQ(row.ApromLastAddress, 0u);
    EXPECT_EQ(catalogue.PartName(code), "");
  }
}

TEST(PartCatalogue, StartUpHidesComOnlyNamesAndTheComIspRadioPutsThemBack) {
  PartCatalogue catalogue;
  std::vector<std::string> original;
  for (uint32_t code = 40; code <= 52; ++code) original.push_back(catalogue.PartName(code));
  ASSERT_EQ(original[0], "QLU16A");
  ASSERT_EQ(original[8], "");  // code 48 is in no list

  catalogue.SaveComOnlyNames();
  catalogue.HideComOnlyNames(kStartUpHiddenLast);
  for (uint32_t code = 40; code <= 52; ++code) {
    EXPECT_EQ(catalogue.PartName(code), "-") << code;
    EXPECT_EQ(catalogue.Row(code).PartName, "-") << code;
  }
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
  EXPECT_EQ(catalogue.PartName(47), "-");
}

TEST(PartCatalogue, RowNameFollowsRenamesOfLongNames) {
  PartCatalogue catalogue;
  const std::string long_name(40, 'X');  // beyond any small-string buffer
  catalogue.SetPartName(41, long_name);
  EXPECT_EQ(catalogue.Row(41).PartName, long_name);
  catalogue.SetPartName(41, "AB");
  EXPECT_EQ(catalogue.Row(41).PartName, "AB");
  catalogue.SetPartName(kPartCount, "IGNORED");
  EXPECT_EQ(catalogue.PartName(kPartCount), "");
}

TEST(PartCatalogue, FindPartCodeTakesTheFirstExactMatchInTheRange) {
  PartCatalogue catalogue;
  struct FindCase {
    std::string_view name;
    uint32_t first, last;
    std::optional<uint32_t> code;
  };
  const std::vector<FindCase> cases = {
      {"QLA08P", 0, kIspCodesLast, 5},
      {"QLA08P", kIcpCodesFirst, kPartCount - 1, std::nullopt},
      {"QMD16A", kIcpCodesFirst, kPartCount - 1, 115},
      {"QMD16A", 0, kIspCodesLast, std::nullopt},
      {"QVXB128LB", kIcpCodesFirst, kPartCount - 1, 1208},  // shown in no list, still found
      {"QTS16N", kIcpCodesFirst, kPartCount - 1, 144},
      {"-", 0, kIspCodesLast, 18},
      {"-", kIcpCodesFirst, kPartCount - 1, 116},
      {"qla08p", 0, kIspCodesLast, std::nullopt},
      {"QLA08", 0, kIspCodesLast, std::nullopt},
      {"", 0, kPartCount - 1, std::nullopt},
      {"QFJ064LE", kIcpCodesFirst, std::numeric_limits<uint32_t>::max(), 1103},
  };
  for (const FindCase& c : cases) {
    EXPECT_EQ(catalogue.FindPartCode(c.name, c.first, c.last), c.code) << c.name << " from " << c.first;
  }
}

TEST(PartCatalogue, OldNamesLeadToCurrentPartsOfTheSameFamily) {
  const PartCatalogue catalogue;
  const std::vector<std::pair<std::string_view, uint32_t>> old_names = {
      {"QMC(I)04A", 110}, {"QMC(I)08A", 111}, {"QMC(I)16A", 112}, {"QMD(I)08A", 114}, {"QMD(I)16A", 115}};
  for (const auto& [old_name, code] : old_names) {
    const std::string_view current = CurrentPartName(old_name);
    EXPECT_EQ(catalogue.FindPartCode(current, kIcpCodesFirst, kPartCount - 1), code) << old_name;
  }
  EXPECT_EQ(CurrentPartName("QMC04A"), "QMC04A");
  EXPECT_EQ(CurrentPartName("QMC(I)04"), "QMC(I)04");
  EXPECT_EQ(CurrentPartName(""), "");
}

}  // namespace
}  // namespace quillet
