// The script call by which Brovia hands an address to the web desktop page.
#pragma once
#include <string>
#include <string_view>

namespace brovia {

inline constexpr const char16_t* DesktopScriptLanguage = u"JavaScript";

// The address the off-screen test button hands to the desktop.
inline constexpr const char16_t* TestAddress = u"http://www.example.com/";

// window.RuDezu.App.osBrowseOpenUrl('{data:"<address>"}')
// The address is written so that the page receives it exactly: a quote, a backslash or a
// line break in it cannot end the string early or add script of its own. An address
// without such characters stands in the text unchanged.
std::u16string OpenUrlScript(std::u16string_view address);

}  // namespace brovia
