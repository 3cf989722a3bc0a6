#include <gtest/gtest.h>

#include "Addresses.h"
#include "DesktopScript.h"
#include "Layout.h"
#include "StartUp.h"

namespace brovia {
namespace {

TEST(Addresses, FixedAddressesAreWholeHttpAddresses) {
  EXPECT_EQ(DesktopLoginPage, u"http://desktop.pelora.example/login.php");
  EXPECT_EQ(DesktopRootPage, u"http://desktop.pelora.example/");
  EXPECT_EQ(ProductHomePage, u"http://www.pelora.example/");
  EXPECT_EQ(ClientDownloadPage, u"http://www.pelora.example/zuvi/os_client.htm");
  EXPECT_EQ(UserCentreRoot, u"http://id.pelora.example/");
  EXPECT_EQ(RegistrationPage, u"http://id.pelora.example/id/register.aspx");
  EXPECT_EQ(MyGetPage, u"http://id.pelora.example/UI/my_get.aspx");
  EXPECT_EQ(NumberSiteRoot, u"http://haoma.pelora.example/");
}

TEST(Addresses, SameAddressIgnoresOnlyAsciiCase) {
  EXPECT_TRUE(SameAddress(u"HTTP://Desktop.PELORA.example/", DesktopRootPage));
  EXPECT_TRUE(SameAddress(u"http://id.pelora.example/ui/MY_GET.aspx", MyGetPage));
  // Whole text: no trailing slash, a query, a fragment, a blank make another address.
  EXPECT_FALSE(SameAddress(u"http://desktop.pelora.example", DesktopRootPage));
  EXPECT_FALSE(SameAddress(u"http://desktop.pelora.example/?a=1", DesktopRootPage));
  EXPECT_FALSE(SameAddress(u"http://desktop.pelora.example/#top", DesktopRootPage));
  EXPECT_FALSE(SameAddress(u"http://desktop.pelora.example/ ", DesktopRootPage));
  EXPECT_FALSE(SameAddress(u"https://desktop.pelora.example/", DesktopRootPage));
  // Letters outside ASCII keep their case; characters next to the letter ranges stay apart.
  EXPECT_TRUE(SameAddress(u"http://x/\u00e9", u"http://x/\u00e9"));
  EXPECT_FALSE(SameAddress(u"http://x/\u00e9", u"http://x/\u00c9"));
  EXPECT_FALSE(SameAddress(u"http://x/\uff41", u"http://x/\uff21"));  // fullwidth a / A
  EXPECT_FALSE(SameAddress(u"@[`{", u"`{@["));
  EXPECT_FALSE(SameAddress(u"a", std::u16string(u"A\0", 2)));
  EXPECT_TRUE(SameAddress(u"", u""));
}

TEST(Addresses, SixAddressesOpenInTheDefaultBrowser) {
  for (const std::u16string* a : {&UserCentreRoot, &RegistrationPage, &MyGetPage,
                                  &ClientDownloadPage, &NumberSiteRoot, &ProductHomePage})
    EXPECT_TRUE(OpensInDefaultBrowser(*a));
  EXPECT_TRUE(OpensInDefaultBrowser(u"HTTP://HAOMA.PELORA.EXAMPLE/"));
  EXPECT_FALSE(OpensInDefaultBrowser(DesktopRootPage));
  EXPECT_FALSE(OpensInDefaultBrowser(DesktopLoginPage));
  EXPECT_FALSE(OpensInDefaultBrowser(u"http://id.pelora.example/id/register.aspx?x=1"));
  EXPECT_FALSE(OpensInDefaultBrowser(u"http://www.pelora.example"));
  EXPECT_FALSE(OpensInDefaultBrowser(u""));
}

TEST(DesktopScript, PlainAddressStandsUnchanged) {
  EXPECT_EQ(OpenUrlScript(u"http://news.example.com/a?b=1&c=%22"),
            u"window.RuDezu.App.osBrowseOpenUrl('{data:\"http://news.example.com/a?b=1&c=%22\"}')");
  EXPECT_EQ(OpenUrlScript(u""), u"window.RuDezu.App.osBrowseOpenUrl('{data:\"\"}')");
  EXPECT_EQ(OpenUrlScript(u"http://x/\u4e2d"),
            u"window.RuDezu.App.osBrowseOpenUrl('{data:\"http://x/\u4e2d\"}')");
}

TEST(DesktopScript, QuotesAndBreaksCannotLeaveTheString) {
  // A single quote would end the call's argument and run what follows.
  EXPECT_EQ(OpenUrlScript(u"http://x/');alert(1);//"),
            u"window.RuDezu.App.osBrowseOpenUrl('{data:\"http://x/\\');alert(1);//\"}')");
  // A double quote is escaped for the inner string, and that backslash for the outer one.
  EXPECT_EQ(OpenUrlScript(u"http://x/\"+y"),
            u"window.RuDezu.App.osBrowseOpenUrl('{data:\"http://x/\\\\\"+y\"}')");
  // A backslash is doubled twice: once per string level.
  EXPECT_EQ(OpenUrlScript(u"a\\b"), u"window.RuDezu.App.osBrowseOpenUrl('{data:\"a\\\\\\\\b\"}')");
  EXPECT_EQ(OpenUrlScript(u"a\nb\rc\u2028d"),
            u"window.RuDezu.App.osBrowseOpenUrl('{data:\"a\\\\nb\\\\rc\\\\u2028d\"}')");
}

TEST(StartUpRules, UpdaterParametersQuoteTheWholePath) {
  EXPECT_EQ(UpdaterParameters("C:\\Program Files\\Pelora Zuvi\\Brovia.exe"),
            "\"C:\\Program Files\\Pelora Zuvi\\Brovia.exe\" /Auto");
  EXPECT_EQ(UpdaterParameters("D:\\软件\\Brovia.exe"), "\"D:\\软件\\Brovia.exe\" /Auto");
}

TEST(StartUpRules, OnlyTheExactVersionTextCountsAsTooOld) {
  EXPECT_TRUE(IsIE6Version("6.0000"));
  for (const char* v : {"6.00", "6.0000 ", " 6.0000", "6.00000", "6,0000", "7.0000", "", "6"})
    EXPECT_FALSE(IsIE6Version(v)) << v;
}

// Winding fill of a polygon at the centre of a pixel, as the region is filled.
bool Inside(const std::vector<TPoint>& poly, double x, double y) {
  int winding = 0;
  for (size_t i = 0; i < poly.size(); ++i) {
    const TPoint& a = poly[i];
    const TPoint& b = poly[(i + 1) % poly.size()];
    const double cross = (b.X - a.X) * (y - a.Y) - (x - a.X) * (b.Y - a.Y);
    if (a.Y <= y && b.Y > y && cross > 0) ++winding;
    if (a.Y > y && b.Y <= y && cross < 0) --winding;
  }
  return winding != 0;
}

TEST(TitleRegion, PolygonGivesATrapezoidOverTheTab) {
  const std::vector<TPoint> poly = TitleRegionPolygon(243, 19);
  ASSERT_EQ(poly.size(), 4u);
  EXPECT_EQ(poly[0], (TPoint{-1, 0}));
  EXPECT_EQ(poly[1], (TPoint{243, 0}));
  EXPECT_EQ(poly[2], (TPoint{19, 213}));
  EXPECT_EQ(poly[3], (TPoint{19, 19}));

  auto rowSpan = [&](int y, int& first, int& last) {
    first = -1;
    last = -1;
    for (int x = 0; x < 243; ++x)
      if (Inside(poly, x + 0.5, y + 0.5)) {
        if (first < 0) first = x;
        last = x;
      }
  };
  int first, last;
  rowSpan(0, first, last);
  EXPECT_EQ(first, 0);
  EXPECT_GE(last, 241);
  rowSpan(18, first, last);
  EXPECT_GE(first, 17);
  EXPECT_LE(first, 19);
  EXPECT_GE(last, 220);
  EXPECT_LE(last, 225);
  // The sides narrow row by row.
  int prevFirst = 0, prevLast = 242;
  for (int y = 1; y < 19; ++y) {
    rowSpan(y, first, last);
    EXPECT_GE(first, prevFirst);
    EXPECT_LE(last, prevLast);
    prevFirst = first;
    prevLast = last;
  }
}

TEST(Layout, LogingPanelSitsCentredAHundredPixelsLow) {
  EXPECT_EQ(LogingPanelPosition(800, 500, 214, 15), (TPoint{293, 342}));
  EXPECT_EQ(LogingPanelPosition(1024, 768, 214, 15), (TPoint{405, 476}));
  // Halves round toward zero, also when the panel is wider than the screen.
  EXPECT_EQ(LogingPanelPosition(215, 16, 214, 15), (TPoint{0, 100}));
  EXPECT_EQ(LogingPanelPosition(100, 0, 214, 15), (TPoint{-57, 93}));
  EXPECT_EQ(CenteredTabLeft(1024, 243), 390);
  EXPECT_EQ(CenteredTabLeft(1025, 243), 391);
  EXPECT_EQ(CenteredTabLeft(200, 243), -21);
}

}  // namespace
}  // namespace brovia
