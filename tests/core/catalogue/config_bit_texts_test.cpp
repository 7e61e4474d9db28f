#include "core/catalogue/config_bit_texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/catalogue/part_catalogue.h"

namespace quillet {
namespace {

struct EntryCase {
  int table;  // 0: Config0BitTexts, 1: Config1BitTexts
  unsigned group, bit;
  std::string_view name, zero, one;
};

const BitText& Entry(int table, unsigned group, unsigned bit) {
  return table == 0 ? Config0BitText(group, bit) : Config1BitText(group, bit);
}

// Groups list bit 7 first; the lookup turns bit numbers around and gives an empty entry outside.
TEST(ConfigBitTexts, LookupByGroupAndBit) {
  const std::vector<EntryCase> cases = {
      {0, 1, 6, "P1.5 Function", "Reset Pin", "Input Port Pin"},
      {0, 6, 0, "FOSC0", "0", "1"},
      {1, 7, 3, "XTAL Frequency", "< 24MHz", "> 24MHz"},
      {1, 7, 0, "PWM Odd", "Output Mode", "Hi-Z Mode"},
      {0, 7, 0, "", "", ""},
      {1, 8, 0, "", "", ""},
      {1, 0, 8, "", "", ""},
  };
  for (const EntryCase& c : cases) {
    const BitText& entry = Entry(c.table, c.group, c.bit);
    EXPECT_EQ(entry.name, c.name) << c.table << "/" << c.group << "/" << c.bit;
    EXPECT_EQ(entry.zero, c.zero) << c.table << "/" << c.group << "/" << c.bit;
    EXPECT_EQ(entry.one, c.one) << c.table << "/" << c.group << "/" << c.bit;
  }
}

TEST(ConfigBitTexts, ShorthandNamesReadEnableDisableAndReservedZeroIsUnique) {
  int reserved_zero = 0;
  for (int table = 0; table < 2; ++table) {
    for (unsigned group = 0; group < (table == 0 ? 7u : 8u); ++group) {
      for (unsigned bit = 0; bit < 8; ++bit) {
        const BitText& entry = Entry(table, group, bit);
        ASSERT_FALSE(entry.name.empty());
        if (entry.name == "Reserved" || entry.name == "APROM Lock" || entry.name == "NVM Lock") {
          EXPECT_EQ(entry.zero, "Enable");
          EXPECT_EQ(entry.one, "Disable");
        }
        if (entry.name == kReservedZeroBit) {
          ++reserved_zero;
          EXPECT_EQ(table * 100 + group * 10 + bit, 24u);  // CONFIG0 group 2, bit 4
        }
      }
    }
  }
  EXPECT_EQ(reserved_zero, 1);
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
    if (code <= 113) {
      EXPECT_EQ(name0(code, 6), "CBOV1");
      EXPECT_EQ(name0(code, 5), "CBOV0");
    } else if (code == 119 || code == 120) {
      EXPECT_EQ(name1(code, 3), "CBOV1");
      EXPECT_EQ(name1(code, 2), "CBOV0");
    } else if (code == 121 || code == 122) {
      EXPECT_EQ(name0(code, 4), "CBOV1");
      EXPECT_EQ(name0(code, 3), "CBOV0");
    } else {
      EXPECT_EQ(name0(code, 4), "BOV");
    }
    if (code == 114 || code == 115) {
      EXPECT_EQ(name1(code, 5), "FS1");
      EXPECT_EQ(name1(code, 4), "FS0");
    }
    if (code <= 113 || (code >= 119 && code <= 122)) {
      EXPECT_EQ(Config1BitText(catalogue.Row(code).Config1DescGroup, 5).one, "22.1184MHz");
    }
  }
  // Locking APROM locks an "NVM Lock" bit 6 on most parts; some parts have none to unlock.
  EXPECT_GT(nvm_lock_pages, 0);
  EXPECT_LT(nvm_lock_pages, 16);
}

}  // namespace
}  // namespace quillet
