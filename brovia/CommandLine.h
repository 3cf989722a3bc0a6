// The program's arguments as the runtime hands them to the program: taken from the command
// line the system gives, split at blanks and control characters outside double quotes, the
// quotes themselves dropped. The first item of the line, the program's own name, is not an
// argument.
#pragma once
#include <string>
#include <vector>

std::vector<std::string> ParamList(const std::string& commandLine);
