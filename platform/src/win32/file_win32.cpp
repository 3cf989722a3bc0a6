// Win32 file calls.
#include <windows.h>

#include "../file_sys.h"

namespace plat::sys {

FileHandle OpenFileRead(const char16_t* fileName) {
  if (!fileName || !*fileName) return nullptr;
  HANDLE h = CreateFileW(reinterpret_cast<LPCWSTR>(fileName), GENERIC_READ, FILE_SHARE_READ,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  return h == INVALID_HANDLE_VALUE ? nullptr : h;
}

int64_t FileSize(FileHandle file) {
  LARGE_INTEGER size;
  return GetFileSizeEx(static_cast<HANDLE>(file), &size) ? size.QuadPart : -1;
}

bool ReadFileBytes(FileHandle file, void* buffer, uint32_t count, uint32_t& bytesRead) {
  DWORD got = 0;
  BOOL ok = ReadFile(static_cast<HANDLE>(file), buffer, count, &got, nullptr);
  bytesRead = got;
  return ok != FALSE;
}

void CloseFile(FileHandle file) {
  if (file) CloseHandle(static_cast<HANDLE>(file));
}

}  // namespace plat::sys
