#pragma once
// A fresh folder under the system temp folder, removed with everything in it at the end of a test.
#include <filesystem>
#include <string>

namespace quillet::test_support {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace quillet::test_support
