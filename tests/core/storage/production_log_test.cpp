// Production.csv lines: quoting, reading back, and appending to files that are missing, torn or
// full of junk. What a run writes is in tests/data/golden/production/run.csv.
#include "core/storage/production_log.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "support/test_files.h"

namespace quillet {
namespace {

using namespace std::string_literals;

TEST(ProductionLog, FieldsAreQuotedOnlyWhenTheyMustBeAndJunkDoesNotParse) {
  const std::pair<std::string, std::string> fields[] = {{"", ""},
                                                        {"Update APROM error !", "Update APROM error !"},
                                                        {"a,b", "\"a,b\""},
                                                        {"\"", "\"\"\"\""},
                                                        {"say \"hi\"", "\"say \"\"hi\"\"\""},
                                                        {"a\nb", "\"a\nb\""}};
  for (const auto& [text, field] : fields) {
    EXPECT_EQ(CsvField(text), field) << text;
    const auto back = ParseProductionLine("t,1,,FAIL," + field);
    EXPECT_EQ(back, (ProductionLogLine{"t", 1, std::nullopt, LogEvent::Failed, text})) << text;
  }
  for (const char* junk :
       {"time,socket,sn,result,message", "", "t,5,,PASS,", "t,0,123,PASS,", "t,0,,DONE,", "t,0,,PASS",
        "t,0,,PASS,x,y", "t,0,,PASS,\"open", "t,0,,PASS,\"a\"b", "\x01\xff,,,,"})
    EXPECT_FALSE(ParseProductionLine(junk)) << junk;
}

TEST(ProductionLog, AppendsStartWithTheHeaderAndOnANewLine) {
  test_support::TempDir dir;
  const std::string path = dir.File(kProductionLogName);
  const auto text = [&] {
    const auto bytes = test_support::ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
  };
  const ProductionLogLine line{"t", 0, std::nullopt, LogEvent::Started, ""};
  ASSERT_EQ(AppendProductionLines(path, {&line, 1}), 1);
  EXPECT_EQ(text(), "time,socket,sn,result,message\nt,0,,STARTED,\n");

  // NUL bytes, junk and a torn last line: the scan keeps what parses; the next line starts afresh.
  const std::string junk = "\x00\xfe\n,,\"\nt,1,0000000000000007,STARTED,\nt,1,00000000000"s;
  test_support::WriteBytes(path, std::vector<uint8_t>(junk.begin(), junk.end()));
  ASSERT_EQ(ReadProductionTail(path, 1 << 16).size(), 1u);
  EXPECT_EQ(ReadProductionTail(path, 1 << 16)[0].sn, (SplitDecimal{0, 7}));
  ASSERT_EQ(AppendProductionLines(path, {&line, 1}), 1);
  EXPECT_EQ(text(), junk + "\nt,0,,STARTED,\n");
  EXPECT_EQ(ReadProductionTail(path, 20).size(), 1u);  // the line the tail starts inside is left out

  EXPECT_EQ(AppendProductionLines(dir.path().string(), {&line, 1}), 0);
  EXPECT_TRUE(ReadProductionTail(dir.File("missing.csv"), 100).empty());
}

}  // namespace
}  // namespace quillet
