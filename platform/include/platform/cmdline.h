// A program's arguments from its command line, split as the runtime does: at blanks and
// control characters outside double quotes, the quotes themselves dropped, empty "" pairs
// before an argument skipped (so `Brovia.exe ""` has no argument), an unclosed quote running
// to the end of the line and an item that comes out empty ending the list. Bytes of code
// page 936 double-byte characters never count as blanks or quotes.
#pragma once
#include <string>
#include <vector>

namespace plat {

// The arguments after the first item of the line (the program's own name).
std::vector<std::string> ParamList(const std::string& commandLine);

}  // namespace plat
