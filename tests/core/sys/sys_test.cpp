// The system layer: whole-file replacement and limited reads, the per-user instance lock and the
// one-operation-at-a-time runner. The virtual clock is exercised by every timed test.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <memory>

#include "core/operations/operation_runner.h"
#include "core/sys/file_io.h"
#include "core/sys/instance_lock.h"
#include "support/temp_dir.h"

namespace quillet {
namespace {

using V = std::vector<uint8_t>;

TEST(FileIo, WriteReplacesTheWholeFileAndReadsStopAtTheLimit) {
  test_support::TempDir dir;
  const std::string path = dir.File("data.bin");
  V content(200000);
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<uint8_t>(i * 7);
  ASSERT_EQ(WriteFileAtomically(path, V(300000, 0xAB)), 1);
  ASSERT_EQ(WriteFileAtomically(path, content, Durability::kRenameOnly), 1);
  for (std::size_t limit : {std::size_t{200000}, std::size_t{200001}, std::size_t{1} << 26}) {
    const auto read = ReadFileLimited(path, limit);
    ASSERT_TRUE(read);
    EXPECT_FALSE(read->truncated);
    EXPECT_EQ(read->bytes, content);
  }
  const auto cut = ReadFileLimited(path, 199999);
  EXPECT_TRUE(cut->truncated);
  EXPECT_EQ(cut->bytes, V(content.begin(), content.end() - 1));
  EXPECT_TRUE(ReadFileLimited(path, 0)->truncated);
  EXPECT_FALSE(ReadFileLimited(dir.File("missing"), 10));
  EXPECT_FALSE(ReadFileLimited(dir.path().string(), 100));
  EXPECT_EQ(FolderOf("/a/b/GUI.LOG"), "/a/b/");
  EXPECT_EQ(FolderOf("GUI.LOG"), "");
}

TEST(FileIo, FilesWithoutASizeAreReadWhole) {
  // The kernel reports size 0 for this file although it holds text.
  const auto status = ReadFileLimited("/proc/self/status", 1 << 20);
  ASSERT_TRUE(status);
  EXPECT_FALSE(status->truncated);
  EXPECT_EQ(std::string(status->bytes.begin(), status->bytes.begin() + 5), "Name:");
  const auto cut = ReadFileLimited("/proc/self/status", 10);
  EXPECT_TRUE(cut->truncated);
  EXPECT_EQ(cut->bytes.size(), 10u);
}

TEST(FileIo, FailedRenameLeavesTheTargetAndNoTemporary) {
  test_support::TempDir dir;
  const std::string path = dir.File("target");
  std::filesystem::create_directory(path);  // a file cannot be renamed over a folder
  std::ofstream(dir.File("target/inside")) << "x";
  EXPECT_EQ(WriteFileAtomically(path, V{8, 9}), 0);
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  EXPECT_EQ(WriteFileAtomically(dir.File("no-such-folder/file"), V{1}), 0);
}

TEST(InstanceLock, SecondHolderFindsTheLockTakenUntilTheFirstLetsGo) {
  test_support::TempDir dir;
  const std::string path = dir.File("quillet-HotKey_read_TRIM.lock");
  auto first = std::make_unique<InstanceLock>(path);
  ASSERT_EQ(first->state(), InstanceLock::State::Held);
  EXPECT_EQ(InstanceLock(path).state(), InstanceLock::State::Taken);
  first.reset();
  EXPECT_EQ(InstanceLock(path).state(), InstanceLock::State::Held);
  EXPECT_EQ(InstanceLock(dir.File("missing/x.lock")).state(), InstanceLock::State::Unusable);
}

TEST(InstanceLock, PathCarriesTheNameAndTheUserAndPrefersTheRuntimeFolder) {
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string saved_value = saved ? saved : "";
  const std::string uid = std::to_string(::getuid());
  ::setenv("XDG_RUNTIME_DIR", "/run/user/x", 1);
  EXPECT_EQ(UserLockPath("HotKey_read_TRIM"), "/run/user/x/quillet-HotKey_read_TRIM-" + uid + ".lock");
  ::unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(UserLockPath("HotKey_read_TRIM"), "/tmp/quillet-HotKey_read_TRIM-" + uid + ".lock");
  if (saved) ::setenv("XDG_RUNTIME_DIR", saved_value.c_str(), 1);
}

// Two ways to name one settings file (a linked folder, "..", a file yet to be written) take one lock.
TEST(InstanceLock, OneSettingsFileHasOneLockHoweverItIsNamed) {
  test_support::TempDir dir;
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string saved_value = saved ? saved : "";
  ::setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
  std::filesystem::create_directory(dir.File("a"));
  std::filesystem::create_directory_symlink(dir.File("a"), dir.File("link"));
  std::ofstream(dir.File("a/GUI.LOG")) << "x";
  for (const char* name : {"GUI.LOG", "NEW.LOG"}) {
    const std::string lock = SettingsLockPath(dir.File("a/") + name);
    EXPECT_EQ(SettingsLockPath(dir.File("link/") + name), lock) << name;
    EXPECT_EQ(SettingsLockPath(dir.File("link/../a/./") + name), lock) << name;
  }
  EXPECT_NE(SettingsLockPath(dir.File("a/GUI.LOG")), SettingsLockPath(dir.File("a/NEW.LOG")));
  InstanceLock first(SettingsLockPath(dir.File("a/GUI.LOG")));
  ASSERT_EQ(first.state(), InstanceLock::State::Held);
  EXPECT_EQ(InstanceLock(SettingsLockPath(dir.File("link/GUI.LOG"))).state(), InstanceLock::State::Taken);
  if (saved)
    ::setenv("XDG_RUNTIME_DIR", saved_value.c_str(), 1);
  else
    ::unsetenv("XDG_RUNTIME_DIR");
}

TEST(OperationRunner, OneOperationAtATimeAndTheFlagCoversItsWholeRun) {
  OperationRunner runner;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  bool second_ran = false;
  ASSERT_TRUE(runner.Start([released] { released.wait(); }));
  EXPECT_TRUE(runner.running());
  EXPECT_FALSE(runner.Start([&] { second_ran = true; }));
  release.set_value();
  runner.Join();
  EXPECT_FALSE(runner.running());
  EXPECT_FALSE(second_ran);
  ASSERT_TRUE(runner.Start([&] { second_ran = true; }));
  runner.Join();
  EXPECT_TRUE(second_ran);
}

}  // namespace
}  // namespace quillet
