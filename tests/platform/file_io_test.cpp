#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace quillet {
namespace {

TEST(FileIo, WriteReplacesWholeAndReadLimits) {
  test_support::TempDir dir;
  const std::string path = dir.File("out.bin");
  const std::vector<uint8_t> first(1000, 0xAB), second = {1, 2, 3};
  ASSERT_EQ(WriteFileAtomically(path, first), 1);
  ASSERT_EQ(WriteFileAtomically(path, second), 1);
  auto back = ReadFileLimited(path, 10);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->bytes, second);
  EXPECT_FALSE(back->truncated);
  back = ReadFileLimited(path, 2);
  EXPECT_EQ(back->bytes, (std::vector<uint8_t>{1, 2}));
  EXPECT_TRUE(back->truncated);
  EXPECT_FALSE(ReadFileLimited(dir.File("missing"), 10));
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
