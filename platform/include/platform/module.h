// Loading shared libraries and finding their entry points (LoadLibraryW/GetProcAddress/
// FreeLibrary/GetModuleFileNameA on Windows, dlopen/dlsym/dlclose/dladdr on POSIX).
#pragma once
#include <string>

namespace plat {

using ModuleHandle = void*;

// nullptr when the library cannot be loaded.
ModuleHandle LoadModule(const std::u16string& fileName);
void* GetProcAddr(ModuleHandle module, const char* name);
void UnloadModule(ModuleHandle module);

// True once the process has begun to end (ExitProcess): its other threads are gone by then
// and nothing may wait for them. Never on POSIX, where no library code runs at that point.
bool ProcessEnding();

// The module that contains the given code or data address (nullptr if none).
ModuleHandle ModuleFromAddress(const void* address);
// The full file name of a module, as ANSI text; the main program for nullptr.
std::string ModuleFileNameA(ModuleHandle module);
// The folder part of a file name, with its trailing separator ("C:\\a\\b.dll" -> "C:\\a\\");
// a double-byte character of the ANSI code page ending in 0x5C is part of the name.
std::string ExtractFilePath(const std::string& fileName);

}  // namespace plat
