#include "DesktopScript.h"

namespace brovia {

namespace {

// Writes one unit inside a JavaScript string literal, escaping what would end or change
// the literal; quote is the literal's own quote character.
void AppendEscaped(std::u16string& out, char16_t c, char16_t quote) {
  switch (c) {
    case u'\\': out += u"\\\\"; return;
    case u'\r': out += u"\\r"; return;
    case u'\n': out += u"\\n"; return;
    case u'\x2028': out += u"\\u2028"; return;
    case u'\x2029': out += u"\\u2029"; return;
    default:
      if (c == quote) out += u'\\';
      out += c;
  }
}

std::u16string Escaped(std::u16string_view text, char16_t quote) {
  std::u16string out;
  out.reserve(text.size());
  for (char16_t c : text) AppendEscaped(out, c, quote);
  return out;
}

}  // namespace

std::u16string OpenUrlScript(std::u16string_view address) {
  // The argument is the text {data:"<address>"}, which the page reads in its turn: the
  // address is escaped for the double-quoted string inside, the whole for the single
  // quotes of the call.
  std::u16string data = u"{data:\"" + Escaped(address, u'"') + u"\"}";
  return u"window.RuDezu.App.osBrowseOpenUrl('" + Escaped(data, u'\'') + u"')";
}

}  // namespace brovia
