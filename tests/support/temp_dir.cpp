#include "support/temp_dir.h"

#include <cstdlib>

namespace quillet::test_support {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quillet-test-XXXXXX").string();
  path_ = ::mkdtemp(pattern.data());
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace quillet::test_support
