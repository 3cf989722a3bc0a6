// The system's file calls behind platform/file.h, one implementation per platform.
#pragma once
#include "platform/file.h"

namespace plat::sys {
FileHandle OpenFileRead(const char16_t* fileName);
int64_t FileSize(FileHandle file);
bool ReadFileBytes(FileHandle file, void* buffer, uint32_t count, uint32_t& bytesRead);
void CloseFile(FileHandle file);
}  // namespace plat::sys
