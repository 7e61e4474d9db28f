// WriteFileAtomically and ReadFileLimited: whole replacement, the read limit for files whose size is
// known beforehand and for files that report none (the buffer then grows as it reads).
#include "core/sys/file_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace quillet {
namespace {

TEST(FileIo, WriteReplacesTheWholeFile) {
  test_support::TempDir dir;
  const std::string path = dir.File("out.bin");
  const std::vector<uint8_t> first(1000, 0xAB), second = {1, 2, 3};
  ASSERT_EQ(WriteFileAtomically(path, first), 1);
  ASSERT_EQ(WriteFileAtomically(path, second), 1);
  const auto back = ReadFileLimited(path, 10);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->bytes, second);
  EXPECT_FALSE(back->truncated);
}

TEST(FileIo, LimitIsExactForKnownSizes) {
  test_support::TempDir dir;
  const std::string path = dir.File("data.bin");
  std::vector<uint8_t> content(200000);
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<uint8_t>(i * 7);
  ASSERT_EQ(WriteFileAtomically(path, content, Durability::kRenameOnly), 1);
  for (std::size_t limit : {std::size_t{200000}, std::size_t{200001}, std::size_t{1} << 26}) {
    const auto read = ReadFileLimited(path, limit);
    ASSERT_TRUE(read);
    EXPECT_FALSE(read->truncated);
    EXPECT_EQ(read->bytes, content);
  }
  const auto cut = ReadFileLimited(path, 199999);
  ASSERT_TRUE(cut);
  EXPECT_TRUE(cut->truncated);
  EXPECT_EQ(cut->bytes, std::vector<uint8_t>(content.begin(), content.end() - 1));
  const auto none = ReadFileLimited(path, 0);
  EXPECT_TRUE(none->truncated && none->bytes.empty());
}

TEST(FileIo, FilesWithoutASizeAreReadWhole) {
  // The kernel reports size 0 for this file although it holds text.
  const auto status = ReadFileLimited("/proc/self/status", 1 << 20);
  ASSERT_TRUE(status);
  EXPECT_FALSE(status->truncated);
  EXPECT_GT(status->bytes.size(), 100u);
  EXPECT_EQ(std::string(status->bytes.begin(), status->bytes.begin() + 5), "Name:");
  const auto cut = ReadFileLimited("/proc/self/status", 10);
  EXPECT_TRUE(cut->truncated);
  EXPECT_EQ(cut->bytes.size(), 10u);
}

TEST(FileIo, MissingFilesAndFoldersAreNotRead) {
  test_support::TempDir dir;
  EXPECT_FALSE(ReadFileLimited(dir.File("missing"), 10));
  EXPECT_FALSE(ReadFileLimited(dir.path().string(), 100));
}

TEST(FileIo, FailedRenameLeavesTheTargetAndNoTemporary) {
  test_support::TempDir dir;
  const std::string path = dir.File("target");
  std::filesystem::create_directory(path);  // a file cannot be renamed over a folder
  std::ofstream(dir.File("target/inside")) << "x";
  EXPECT_EQ(WriteFileAtomically(path, std::vector<uint8_t>{8, 9}), 0);
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  EXPECT_EQ(WriteFileAtomically(dir.File("no-such-folder/file"), std::vector<uint8_t>{1}), 0);
}

TEST(FileIo, FolderOf) {
  EXPECT_EQ(FolderOf("/a/b/GUI.LOG"), "/a/b/");
  EXPECT_EQ(FolderOf("GUI.LOG"), "");
}

}  // namespace
}  // namespace quillet
