// Win32 GUIDs, in a file of their own: only the programs that make or read identities import
// ole32 for them.
#include <windows.h>
#include <objbase.h>

#include "platform/ansi.h"
#include "platform/format_guid.h"
#include "platform/guid.h"

namespace plat {

// --- GUIDs ---------------------------------------------------------------------------

bool CreateGuid(Guid& out) {
  GUID g;
  if (FAILED(CoCreateGuid(&g))) return false;
  memcpy(&out, &g, sizeof out);
  return true;
}

std::string GuidToString(const Guid& guid) {
  GUID g;
  memcpy(&g, &guid, sizeof g);
  LPOLESTR text = nullptr;
  if (FAILED(StringFromCLSID(g, &text)) || !text) return FormatGuidText(guid);
  std::u16string wide(reinterpret_cast<const char16_t*>(text));
  CoTaskMemFree(text);
  return WideToAnsi(wide);
}

bool StringToGuid(std::string_view text, Guid& out) {
  // Only the braced form is an identity; CLSIDFromString would also look up program names
  // in the registry, which an identity text must never do.
  if (text.size() != 38 || text.front() != '{') return false;
  std::u16string wide = AnsiToWide(text);
  GUID g;
  if (FAILED(CLSIDFromString(reinterpret_cast<LPCOLESTR>(wide.c_str()), &g))) return false;
  memcpy(&out, &g, sizeof out);
  return true;
}

}  // namespace plat
