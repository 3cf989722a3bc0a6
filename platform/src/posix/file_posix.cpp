// POSIX file calls; file names are converted from UTF-16 to UTF-8. The platform library is
// built with 64-bit file offsets, so that the 32-bit build opens and sizes files of 2 GB and
// more as Windows does.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "../file_sys.h"
#include "platform/ansi.h"

namespace plat::sys {

namespace {
int Fd(FileHandle file) { return static_cast<int>(reinterpret_cast<intptr_t>(file)) - 1; }
}  // namespace

FileHandle OpenFileRead(const char16_t* fileName) {
  if (!fileName || !*fileName) return nullptr;
  int fd = open(WideToUtf8(fileName).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {  // CreateFileW refuses folders too
    close(fd);
    return nullptr;
  }
  return reinterpret_cast<FileHandle>(static_cast<intptr_t>(fd) + 1);
}

int64_t FileSize(FileHandle file) {
  struct stat st;
  if (!file || fstat(Fd(file), &st) != 0) return -1;
  return st.st_size;
}

bool ReadFileBytes(FileHandle file, void* buffer, uint32_t count, uint32_t& bytesRead) {
  bytesRead = 0;
  if (!file) return false;
  // ReadFile on a disk file delivers everything up to the end in one call; read() may not.
  char* dst = static_cast<char*>(buffer);
  while (bytesRead < count) {
    ssize_t n = read(Fd(file), dst + bytesRead, count - bytesRead);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) break;
    bytesRead += static_cast<uint32_t>(n);
  }
  return true;
}

void CloseFile(FileHandle file) {
  if (file) close(Fd(file));
}

}  // namespace plat::sys
