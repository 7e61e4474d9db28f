#include "core/sys/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace quillet {

InstanceLock::InstanceLock(const std::string& path) {
  // O_NOFOLLOW: in a shared /tmp a planted link must not make us create or lock another file.
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd_ < 0) return;
  if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
    state_ = State::Held;
    return;
  }
  state_ = errno == EWOULDBLOCK ? State::Taken : State::Unusable;
  ::close(fd_);
  fd_ = -1;
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) ::close(fd_);  // closing the descriptor drops the lock
}

std::string UserLockPath(std::string_view name) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string folder = runtime && *runtime ? runtime : "/tmp";
  return folder + "/quillet-" + std::string(name) + "-" + std::to_string(::getuid()) + ".lock";
}

std::string SettingsLockPath(const std::string& settings_path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path given = fs::absolute(settings_path, error);
  fs::path resolved = fs::canonical(given, error);
  if (error) {
    const fs::path folder = fs::canonical(given.parent_path(), error);
    resolved = error ? given.lexically_normal() : folder / given.filename();
  }
  // FNV-1a: the same in every build, unlike std::hash, since the window and the CLI must agree.
  uint64_t hash = 0xcbf29ce484222325ull;
  for (unsigned char c : resolved.string()) hash = (hash ^ c) * 0x100000001b3ull;
  char name[32];
  std::snprintf(name, sizeof name, "settings-%016llx", static_cast<unsigned long long>(hash));
  return UserLockPath(name);
}

}  // namespace quillet
