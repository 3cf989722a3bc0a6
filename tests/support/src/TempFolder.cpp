#include "testsupport/TempFolder.h"

#include <chrono>
#include <cstdio>
#include <random>
#include <stdexcept>

namespace testsupport {

namespace fs = std::filesystem;

TempFolder::TempFolder(const std::string& prefix) {
  std::random_device device;
  std::mt19937_64 random((uint64_t(device()) << 32) ^ device() ^
                         uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::path base = fs::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    char unique[24];
    std::snprintf(unique, sizeof unique, "-%016llx", static_cast<unsigned long long>(random()));
    fs::path candidate = base / (prefix + unique);
    if (fs::create_directory(candidate)) {  // false: it exists already, another run's
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("no temp folder of its own for " + prefix);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

}  // namespace testsupport
