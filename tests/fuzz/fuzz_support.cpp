#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace quillet::fuzz {

const std::string& ScratchFolder() {
  static const std::string folder = [] {
    const std::filesystem::path shm = "/dev/shm";
    const auto base = std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
    std::string pattern = (base / "quillet-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    static const std::string removed = pattern;
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(removed, ignored);
    });
    return pattern + "/";
  }();
  return folder;
}

std::string WriteScratchFile(const std::string& name, std::span<const uint8_t> bytes) {
  const std::string path = ScratchFolder() + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0 || !written) std::abort();
  return path;
}

}  // namespace quillet::fuzz
