// The portable half of platform/ansifile.h: reading goes through platform/file.h.
#include "platform/ansi.h"
#include "platform/ansifile.h"
#include "platform/file.h"

namespace plat {

bool ReadAnsiFile(const std::string& ansiPath, std::string& bytes) {
  std::u16string name = AnsiToWide(ansiPath);
  FileHandle file = OpenFileRead(name.c_str());
  if (!file) return false;
  bytes.clear();
  char buf[4096];
  bool ok = true;
  for (;;) {
    uint32_t got = 0;
    if (!ReadFileBytes(file, buf, sizeof buf, got)) {
      ok = false;
      break;
    }
    if (got == 0) break;
    bytes.append(buf, got);
  }
  CloseFile(file);
  return ok;
}

}  // namespace plat
