// The braced GUID text form, for systems without the OLE helpers.
#include "platform/guid.h"
#include "platform/format_guid.h"

namespace plat {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseHex(std::string_view text, size_t pos, size_t digits, uint32_t& out) {
  out = 0;
  for (size_t i = 0; i < digits; ++i) {
    int v = HexValue(text[pos + i]);
    if (v < 0) return false;
    out = (out << 4) | static_cast<uint32_t>(v);
  }
  return true;
}

}  // namespace

std::string FormatGuidText(const Guid& g) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string s = "{";
  auto put = [&](uint32_t v, int digits) {
    for (int i = digits - 1; i >= 0; --i) s += kHex[(v >> (i * 4)) & 0xF];
  };
  put(g.Data1, 8);
  s += '-';
  put(g.Data2, 4);
  s += '-';
  put(g.Data3, 4);
  s += '-';
  put(g.Data4[0], 2);
  put(g.Data4[1], 2);
  s += '-';
  for (int i = 2; i < 8; ++i) put(g.Data4[i], 2);
  s += '}';
  return s;
}

bool ParseGuidText(std::string_view t, Guid& out) {
  if (t.size() != 38 || t[0] != '{' || t[37] != '}' || t[9] != '-' || t[14] != '-' ||
      t[19] != '-' || t[24] != '-')
    return false;
  Guid g{};
  uint32_t v;
  if (!ParseHex(t, 1, 8, v)) return false;
  g.Data1 = v;
  if (!ParseHex(t, 10, 4, v)) return false;
  g.Data2 = static_cast<uint16_t>(v);
  if (!ParseHex(t, 15, 4, v)) return false;
  g.Data3 = static_cast<uint16_t>(v);
  static const size_t kPos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) {
    if (!ParseHex(t, kPos[i], 2, v)) return false;
    g.Data4[i] = static_cast<uint8_t>(v);
  }
  out = g;
  return true;
}

}  // namespace plat
