// GUIDs and their braced text form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace plat {

struct Guid {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];

  friend bool operator==(const Guid& a, const Guid& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
  friend bool operator!=(const Guid& a, const Guid& b) { return !(a == b); }
};
static_assert(sizeof(Guid) == 16, "GUID layout");

// A new random identity (CoCreateGuid on Windows); false when the system could make none
// (out is then unchanged).
bool CreateGuid(Guid& out);
// The 38-character upper-case braced form (StringFromCLSID on Windows).
std::string GuidToString(const Guid& guid);
// Parses the braced form (CLSIDFromString on Windows); false when the text is not a GUID.
bool StringToGuid(std::string_view text, Guid& out);

}  // namespace plat
