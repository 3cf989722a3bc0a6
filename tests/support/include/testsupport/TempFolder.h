// A folder of its own in the system's temp folder for one test or benchmark, so that runs
// at the same time never share a path. Removed with everything in it when the object goes.
#pragma once

#include <filesystem>
#include <string>

namespace testsupport {

class TempFolder {
 public:
  // The folder's name begins with `prefix` and goes on with a part that no other run has.
  explicit TempFolder(const std::string& prefix);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace testsupport
