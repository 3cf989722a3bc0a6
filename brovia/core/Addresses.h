// The fixed web addresses of Brovia and the rule for comparing page addresses with them.
#pragma once
#include <string>
#include <string_view>

namespace brovia {

// Host names of the four product sites.
inline constexpr const char16_t* DesktopHost = u"desktop.pelora.example";
inline constexpr const char16_t* ProductHost = u"www.pelora.example";
inline constexpr const char16_t* UserCentreHost = u"id.pelora.example";
inline constexpr const char16_t* NumberHost = u"haoma.pelora.example";

// "http://" + host + path.
std::u16string SiteAddress(const char16_t* host, const char16_t* path);

extern const std::u16string DesktopLoginPage;    // desktop site "/login.php"
extern const std::u16string DesktopRootPage;     // desktop site "/"
extern const std::u16string ProductHomePage;     // product site "/"
extern const std::u16string ClientDownloadPage;  // product site "/zuvi/os_client.htm"
extern const std::u16string UserCentreRoot;      // user-centre site "/"
extern const std::u16string RegistrationPage;    // user-centre site "/id/register.aspx"
extern const std::u16string MyGetPage;           // user-centre site "/UI/my_get.aspx"
extern const std::u16string NumberSiteRoot;      // number site "/"

// Two page addresses are the same when their whole texts are equal, letters A-Z and a-z
// compared without regard to case and every other unit exactly.
bool SameAddress(std::u16string_view a, std::u16string_view b);

// True when a new window for this address is opened in the default browser rather than
// handed to the web desktop: the user-centre root, the registration page, the my-get page,
// the client download page, the number-site root and the product home page.
bool OpensInDefaultBrowser(std::u16string_view address);

}  // namespace brovia
