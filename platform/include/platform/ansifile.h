// Files named by ANSI (code page 936) paths: an existence test and reading a whole file.
#pragma once
#include <string>

namespace plat {

// True when the system reports attributes for the path and they do not mark a directory.
bool AnsiFileExists(const std::string& ansiPath);
// Reads the whole file into bytes; false when it cannot be opened or read.
bool ReadAnsiFile(const std::string& ansiPath, std::string& bytes);

}  // namespace plat
