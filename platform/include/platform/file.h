// Reading files through the system's file handles: CreateFileW, GetFileSizeEx, ReadFile and
// CloseHandle on Windows; open, fstat, read and close on POSIX.
#pragma once
#include <cstdint>

namespace plat {

using FileHandle = void*;  // nullptr: no file

// Opens an existing file for reading while others may read it too (GENERIC_READ,
// FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL). nullptr when it cannot be opened,
// also for a null or empty name.
FileHandle OpenFileRead(const char16_t* fileName);
// The file's whole size in bytes, 4 GB and more included; -1 when it cannot be read.
int64_t FileSize(FileHandle file);
// One read of up to count bytes from the current position; false when the read fails.
// bytesRead receives the number of bytes delivered, which may be fewer than asked for.
bool ReadFileBytes(FileHandle file, void* buffer, uint32_t count, uint32_t& bytesRead);
void CloseFile(FileHandle file);

// The four calls can be replaced, so tests can watch them or make them fail. A member left
// null uses the system's call. SetFileCalls returns the previous table.
struct FileCalls {
  FileHandle (*Open)(const char16_t* fileName) = nullptr;
  int64_t (*Size)(FileHandle file) = nullptr;
  bool (*Read)(FileHandle file, void* buffer, uint32_t count, uint32_t& bytesRead) = nullptr;
  void (*Close)(FileHandle file) = nullptr;
};
FileCalls SetFileCalls(const FileCalls& calls);
// The system's own calls, for a replacement that wants to pass a call on.
FileCalls SystemFileCalls();

}  // namespace plat
