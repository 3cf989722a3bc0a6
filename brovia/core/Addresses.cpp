#include "Addresses.h"

namespace brovia {

std::u16string SiteAddress(const char16_t* host, const char16_t* path) {
  return u"http://" + std::u16string(host) + path;
}

const std::u16string DesktopLoginPage = SiteAddress(DesktopHost, u"/login.php");
const std::u16string DesktopRootPage = SiteAddress(DesktopHost, u"/");
const std::u16string ProductHomePage = SiteAddress(ProductHost, u"/");
const std::u16string ClientDownloadPage = SiteAddress(ProductHost, u"/zuvi/os_client.htm");
const std::u16string UserCentreRoot = SiteAddress(UserCentreHost, u"/");
const std::u16string RegistrationPage = SiteAddress(UserCentreHost, u"/id/register.aspx");
const std::u16string MyGetPage = SiteAddress(UserCentreHost, u"/UI/my_get.aspx");
const std::u16string NumberSiteRoot = SiteAddress(NumberHost, u"/");

namespace {

char16_t AsciiUpper(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }

}  // namespace

bool SameAddress(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

bool OpensInDefaultBrowser(std::u16string_view address) {
  for (const std::u16string* page : {&UserCentreRoot, &RegistrationPage, &MyGetPage,
                                     &ClientDownloadPage, &NumberSiteRoot, &ProductHomePage})
    if (SameAddress(address, *page)) return true;
  return false;
}

}  // namespace brovia
