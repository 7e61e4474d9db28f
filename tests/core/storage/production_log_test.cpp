// Production.csv lines: quoting, folding, reading back, and appending to files that are missing,
// torn or full of junk.
#include "core/storage/production_log.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "support/test_files.h"

namespace quillet {
namespace {

using namespace std::string_literals;

std::string Text(const std::string& path) {
  const auto bytes = test_support::ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

TEST(ProductionLog, FieldsAreQuotedOnlyWhenTheyMustBe) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"Update APROM error !", "Update APROM error !"},
      {"S/N='00000000,00000123'", "\"S/N='00000000,00000123'\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"\"", "\"\"\"\""},
      {"a\nb", "\"a\nb\""},
      {"a\rb", "\"a\rb\""},
  };
  for (const auto& [text, field] : cases) EXPECT_EQ(CsvField(text), field) << text;
}

TEST(ProductionLog, MessagesGoOnOneLineAndEveryWrittenLineReadsBack) {
  const std::pair<std::string, std::string> folds[] = {
      {"a\n\nb", "a b"}, {"a\r\nb\n", "a b "}, {"\nx", " x"}, {"plain", "plain"}};
  for (const auto& [text, folded] : folds) EXPECT_EQ(FoldLines(text), folded) << text;

  const ProductionLogLine line{"2011-03-07_14:05:09", 3, SplitDecimal{12345678, 90123456}, LogEvent::Passed,
                               "All chips are successfully programmed !\n\n( #3's S/N='12345678,90123456' )"};
  const std::string text = FormatProductionLine(line);
  EXPECT_EQ(text,
            "2011-03-07_14:05:09,3,1234567890123456,PASS,\"All chips are successfully programmed ! ( #3's "
            "S/N='12345678,90123456' )\"\n");
  ProductionLogLine folded = line;
  folded.message = FoldLines(line.message);
  EXPECT_EQ(ParseProductionLine(text.substr(0, text.size() - 1)), folded);
  EXPECT_EQ(ParseProductionLine("t,0,,SKIPPED,\r"),
            (ProductionLogLine{"t", 0, std::nullopt, LogEvent::Skipped, ""}));

  for (const char* junk :
       {"time,socket,sn,result,message", "", "t,5,,PASS,", "t,0,123,PASS,", "t,0,,DONE,", "t,0,,PASS",
        "t,0,,PASS,x,y", "t,0,,PASS,\"open", "t,0,,PASS,\"a\"b", "\x01\xff,,,,"})
    EXPECT_FALSE(ParseProductionLine(junk)) << junk;
}

TEST(ProductionLog, AppendsStartWithTheHeaderAndOnANewLine) {
  test_support::TempDir dir;
  const std::string path = dir.File(kProductionLogName);
  const ProductionLogLine line{"t", 0, std::nullopt, LogEvent::Started, ""};
  ASSERT_EQ(AppendProductionLines(path, {&line, 1}), 1);
  EXPECT_EQ(Text(path), "time,socket,sn,result,message\nt,0,,STARTED,\n");

  // Junk, NUL bytes and a last line cut off in the middle: the scan keeps what parses, and the
  // next line starts on a line of its own.
  const std::string junk = "\x00\xfe\n,,\"\nt,1,0000000000000007,STARTED,\nt,1,00000000000"s;
  test_support::WriteBytes(path, std::vector<uint8_t>(junk.begin(), junk.end()));
  const auto read = ReadProductionTail(path, 1 << 16);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].sn, (SplitDecimal{0, 7}));
  ASSERT_EQ(AppendProductionLines(path, {&line, 1}), 1);
  EXPECT_EQ(Text(path), junk + "\nt,0,,STARTED,\n");
  EXPECT_EQ(ReadProductionTail(path, 1 << 16).size(), 2u);
  // A tail that starts inside a line leaves that line out.
  EXPECT_EQ(ReadProductionTail(path, 20).size(), 1u);

  EXPECT_EQ(AppendProductionLines(dir.path().string(), {&line, 1}), 0);
  EXPECT_EQ(AppendProductionLines(dir.File("missing/") + kProductionLogName, {&line, 1}), 0);
  EXPECT_TRUE(ReadProductionTail(dir.File("missing.csv"), 100).empty());
}

}  // namespace
}  // namespace quillet
