// A program's arguments from its command line, split by plain rules: white space separates
// arguments, double quotes group and are removed, and nothing escapes. Unlike the C runtime's
// splitting (and CommandLineToArgvW), a backslash before a quote is an ordinary character, so
// a quoted folder that ends in a backslash stays one argument. In detail: blanks are the
// bytes up to 0x20 (control characters included) outside double quotes; empty "" pairs before
// an argument are skipped (so `Brovia.exe ""` has no argument); an unclosed quote runs to the
// end of the line; an item that comes out empty ends the list.
// The line is split byte by byte. That cuts no double-byte character of an ANSI code page:
// their lead bytes lie at 0x81 or above and their trail bytes at 0x40 or above (code pages
// 932, 936, 949 and 950 alike), so neither is ever a blank or a quote.
#pragma once
#include <string>
#include <vector>

namespace plat {

// The arguments after the first item of the line (the program's own name).
std::vector<std::string> ParamList(const std::string& commandLine);

}  // namespace plat
