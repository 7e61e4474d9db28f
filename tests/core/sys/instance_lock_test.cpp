#include "core/sys/instance_lock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>

#include "support/temp_dir.h"

namespace quillet {
namespace {

using State = InstanceLock::State;

TEST(InstanceLockTest, SecondHolderFindsTheLockTakenUntilTheFirstLetsGo) {
  test_support::TempDir dir;
  const std::string path = dir.File("quillet-HotKey_read_TRIM.lock");
  auto first = std::make_unique<InstanceLock>(path);
  ASSERT_EQ(first->state(), State::Held);
  EXPECT_EQ(InstanceLock(path).state(), State::Taken);
  first.reset();
  EXPECT_EQ(InstanceLock(path).state(), State::Held);
}

TEST(InstanceLockTest, LockInAMissingFolderIsUnusableNotTaken) {
  test_support::TempDir dir;
  EXPECT_EQ(InstanceLock(dir.File("missing/x.lock")).state(), State::Unusable);
}

TEST(InstanceLockTest, PathCarriesTheNameAndTheUserAndPrefersTheRuntimeFolder) {
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string saved_value = saved ? saved : "";
  const std::string uid = std::to_string(::getuid());

  ::setenv("XDG_RUNTIME_DIR", "/run/user/x", 1);
  EXPECT_EQ(UserLockPath("HotKey_read_TRIM"), "/run/user/x/quillet-HotKey_read_TRIM-" + uid + ".lock");
  ::unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(UserLockPath("HotKey_read_TRIM"), "/tmp/quillet-HotKey_read_TRIM-" + uid + ".lock");

  if (saved) ::setenv("XDG_RUNTIME_DIR", saved_value.c_str(), 1);
}

}  // namespace
}  // namespace quillet
