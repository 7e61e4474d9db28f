#pragma once
// A per-user named lock that one running copy of the program holds for its lifetime: the second
// copy finds it taken and closes. Where a global hot key exists the hot key plays this part; here an
// advisory file lock does, which the system drops when the holder exits, even after a crash.
#include <string>
#include <string_view>

namespace quillet {

class InstanceLock {
 public:
  enum class State {
    Held,     // this object holds the lock
    Taken,    // another holder has it: another copy runs
    Unusable  // the lock file cannot be opened; nothing tells whether another copy runs
  };

  explicit InstanceLock(const std::string& path);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  State state() const { return state_; }

 private:
  int fd_ = -1;
  State state_ = State::Unusable;
};

// "<folder>/quillet-<name>-<uid>.lock" with the folder $XDG_RUNTIME_DIR when set, else /tmp.
std::string UserLockPath(std::string_view name);

// The lock that the window and every verb that writes a settings file hold while they use it, so
// that two processes never step one S/N: UserLockPath of "settings-" and a hash of the file's
// resolved path (links and "..", relative or absolute, all name one file one way). A file that does
// not exist yet is named by its folder's resolved path and its name.
std::string SettingsLockPath(const std::string& settings_path);

}  // namespace quillet
