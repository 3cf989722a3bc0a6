// Conversions between UTF-16 and the system's ANSI code page.
// On Windows the ANSI code page is whatever GetACP answers (936 on the target systems);
// the POSIX build always uses code page 936.
#pragma once
#include <string>
#include <cstddef>
#include <string_view>

namespace plat {

unsigned AnsiCodePage();

// The size in bytes (1 or 2) of the character that begins at text[i] (i < text.size()): a
// lead byte of the ANSI code page takes the byte after it along when the two make a character.
// On Windows the system's own tables decide (code page 1252 has no lead bytes); the POSIX build
// uses code page 936's (lead bytes 0x81 to 0xFE, trail bytes 0x40 to 0xFE other than 0x7F).
size_t AnsiCharSize(std::string_view text, size_t i);

// Characters the code page cannot represent become its default character '?'.
std::string WideToAnsi(std::u16string_view text);
// Byte sequences that are not valid in the code page become '?'.
std::u16string AnsiToWide(std::string_view text);

// UTF-8 <-> UTF-16, for tests and for POSIX file names.
std::string WideToUtf8(std::u16string_view text);
std::u16string Utf8ToWide(std::string_view text);

}  // namespace plat
