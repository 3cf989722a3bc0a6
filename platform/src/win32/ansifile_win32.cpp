// Win32 existence test of platform/ansifile.h.
#include <windows.h>

#include "platform/ansifile.h"

namespace plat {

bool AnsiFileExists(const std::string& ansiPath) {
  DWORD attrs = GetFileAttributesA(ansiPath.c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace plat
