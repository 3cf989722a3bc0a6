// Conversions between UTF-16 and the system's ANSI code page.
// On Windows the ANSI code page is whatever GetACP answers (936 on the target systems);
// the POSIX build always uses code page 936.
#pragma once
#include <string>
#include <string_view>

namespace plat {

unsigned AnsiCodePage();

// Characters the code page cannot represent become its default character '?'.
std::string WideToAnsi(std::u16string_view text);
// Byte sequences that are not valid in the code page become '?'.
std::u16string AnsiToWide(std::string_view text);

// UTF-8 <-> UTF-16, for tests and for POSIX file names.
std::string WideToUtf8(std::u16string_view text);
std::u16string Utf8ToWide(std::string_view text);

}  // namespace plat
