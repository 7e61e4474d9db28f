#pragma once
// Expected output kept in files under tests/data/golden and compared byte for byte. With
// QUILLET_UPDATE_GOLDEN=1 in the environment a test writes what it got over the file instead (review
// the diff before committing it).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_files.h"

namespace quillet::test_support {

inline ::testing::AssertionResult MatchesGolden(const std::string& name, const std::vector<uint8_t>& actual) {
  const std::string path = std::string(QUILLET_TEST_DATA) + "/golden/" + name;
  if (const char* update = std::getenv("QUILLET_UPDATE_GOLDEN"); update && std::string(update) == "1") {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    WriteBytes(path, actual);
    return ::testing::AssertionSuccess();
  }
  const std::vector<uint8_t> expected = ReadBytes(path);
  if (actual == expected) return ::testing::AssertionSuccess();
  const auto at = std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end()).first;
  // The line that differs, for text files.
  const auto line_start = std::find(std::make_reverse_iterator(at), expected.rend(), '\n').base();
  const std::size_t offset = line_start - expected.begin();
  const std::string expected_line(line_start, std::find(at, expected.end(), '\n'));
  const auto actual_from = actual.begin() + std::min(offset, actual.size());
  const std::string actual_line(actual_from, std::find(actual_from, actual.end(), '\n'));
  return ::testing::AssertionFailure()
         << name << ": " << actual.size() << " bytes against " << expected.size()
         << ", first difference at byte " << (at - expected.begin()) << "\n  expected: " << expected_line
         << "\n  actual:   " << actual_line;
}

inline ::testing::AssertionResult MatchesGolden(const std::string& name, const std::string& text) {
  return MatchesGolden(name, std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace quillet::test_support
