#include "StartUp.h"

namespace brovia {

std::string UpdaterParameters(const std::string& programPath) {
  return "\"" + programPath + "\" /Auto";
}

bool IsIE6Version(const std::string& value) { return value == "6.0000"; }

}  // namespace brovia
