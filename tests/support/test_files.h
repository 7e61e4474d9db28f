#pragma once
// Files with chosen contents and modification times, and a time zone set for one test.
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace quillet::test_support {

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes,
                       std::optional<std::time_t> modified = std::nullopt) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (modified) {
    const timespec times[2] = {{*modified, 0}, {*modified, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
  }
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Sets TZ (a POSIX rule such as "UTC0" or "QQQ-05:45") for the life of the object.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* rule) {
    if (const char* old = std::getenv("TZ")) old_ = old;
    ::setenv("TZ", rule, 1);
    ::tzset();
  }
  ~ScopedTimeZone() {
    if (old_)
      ::setenv("TZ", old_->c_str(), 1);
    else
      ::unsetenv("TZ");
    ::tzset();
  }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  std::optional<std::string> old_;
};

}  // namespace quillet::test_support
