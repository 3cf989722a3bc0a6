// Dispatch of the file calls to the system or to a replacement installed by a test.
#include <mutex>

#include "file_sys.h"

namespace plat {

namespace {
std::mutex g_lock;
FileCalls g_calls;

FileCalls Current() {
  std::lock_guard<std::mutex> hold(g_lock);
  return g_calls;
}
}  // namespace

FileCalls SystemFileCalls() {
  FileCalls calls;
  calls.Open = &sys::OpenFileRead;
  calls.Size = &sys::FileSize;
  calls.Read = &sys::ReadFileBytes;
  calls.Close = &sys::CloseFile;
  return calls;
}

FileCalls SetFileCalls(const FileCalls& calls) {
  std::lock_guard<std::mutex> hold(g_lock);
  FileCalls old = g_calls;
  g_calls = calls;
  return old;
}

FileHandle OpenFileRead(const char16_t* fileName) {
  FileCalls calls = Current();
  return calls.Open ? calls.Open(fileName) : sys::OpenFileRead(fileName);
}

int64_t FileSize(FileHandle file) {
  FileCalls calls = Current();
  return calls.Size ? calls.Size(file) : sys::FileSize(file);
}

bool ReadFileBytes(FileHandle file, void* buffer, uint32_t count, uint32_t& bytesRead) {
  FileCalls calls = Current();
  return calls.Read ? calls.Read(file, buffer, count, bytesRead)
                    : sys::ReadFileBytes(file, buffer, count, bytesRead);
}

void CloseFile(FileHandle file) {
  FileCalls calls = Current();
  if (calls.Close)
    calls.Close(file);
  else
    sys::CloseFile(file);
}

}  // namespace plat
