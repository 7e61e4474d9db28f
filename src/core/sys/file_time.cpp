#include "core/sys/file_time.h"

#include <sys/stat.h>

namespace quillet {

std::optional<std::tm> FileModifiedLocalTime(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  std::tm local{};
  if (::localtime_r(&status.st_mtime, &local) == nullptr) return std::nullopt;
  return local;
}

}  // namespace quillet
