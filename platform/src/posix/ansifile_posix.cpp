// POSIX existence test of platform/ansifile.h: the ANSI path is turned into UTF-8.
#include <sys/stat.h>

#include "platform/ansi.h"
#include "platform/ansifile.h"

namespace plat {

namespace {
std::string SystemPath(const std::string& ansiPath) { return WideToUtf8(AnsiToWide(ansiPath)); }
}  // namespace

bool AnsiFileExists(const std::string& ansiPath) {
  struct stat st;
  if (stat(SystemPath(ansiPath).c_str(), &st) != 0) return false;
  return !S_ISDIR(st.st_mode);
}

}  // namespace plat
