#include <gtest/gtest.h>

#include "LinkParse.h"

namespace {

TEST(ParseLink, OpenTalkFormTakesTheFriendNameToTheEnd) {
  TLinkCommand c = ParseLink("mupa://OpenTalkForm/&FriendName=abc");
  EXPECT_EQ(c.Kind, TLinkKind::OpenTalkForm);
  EXPECT_EQ(c.FriendName, "abc");

  c = ParseLink("mupa://OpenTalkForm/x?&FriendName=a&b=c");
  EXPECT_EQ(c.Kind, TLinkKind::OpenTalkForm);
  EXPECT_EQ(c.FriendName, "a&b=c");

  // Percent escapes, plus signs and blanks are kept as they stand.
  EXPECT_EQ(ParseLink("mupa://OpenTalkForm/&FriendName=%41+ b ").FriendName, "%41+ b ");
  // Chinese names pass through byte for byte.
  EXPECT_EQ(ParseLink("mupa://OpenTalkForm/&FriendName=张三").FriendName, "张三");
  // The first marker wins; a second one is part of the value.
  EXPECT_EQ(ParseLink("mupa://OpenTalkForm/&FriendName=a&FriendName=b").FriendName,
            "a&FriendName=b");
}

TEST(ParseLink, OpenTalkFormWithoutMarkerHasAnEmptyName) {
  TLinkCommand c = ParseLink("mupa://OpenTalkForm/");
  EXPECT_EQ(c.Kind, TLinkKind::OpenTalkForm);
  EXPECT_EQ(c.FriendName, "");
  c = ParseLink("mupa://OpenTalkForm/&friendname=abc");
  EXPECT_EQ(c.Kind, TLinkKind::OpenTalkForm);
  EXPECT_EQ(c.FriendName, "");
  // An empty value after the marker.
  EXPECT_EQ(ParseLink("mupa://OpenTalkForm/&FriendName=").FriendName, "");
}

TEST(ParseLink, PrefixesCompareExactly) {
  EXPECT_EQ(ParseLink("mupa://opentalkform/&FriendName=abc").Kind, TLinkKind::None);
  EXPECT_EQ(ParseLink("MUPA://Login/&LoginName=u&Password=p").Kind, TLinkKind::None);
  EXPECT_EQ(ParseLink("mupa://OpenTalkForm").Kind, TLinkKind::None);  // 19 bytes
  EXPECT_EQ(ParseLink("mupa://Login").Kind, TLinkKind::None);
  EXPECT_EQ(ParseLink("").Kind, TLinkKind::None);
  EXPECT_EQ(ParseLink(" mupa://Login/&LoginName=u&Password=p").Kind, TLinkKind::None);
  EXPECT_EQ(ParseLink("http://x/&FriendName=abc").FriendName, "");
  // Text between prefix and first marker is ignored.
  EXPECT_EQ(ParseLink("mupa://Login/anything?&LoginName=u&Password=p").LoginName, "u");
}

TEST(ParseLink, LoginTakesNameBetweenMarkersAndPasswordToTheEnd) {
  TLinkCommand c = ParseLink("mupa://Login/&LoginName=u&Password=p");
  EXPECT_EQ(c.Kind, TLinkKind::Login);
  EXPECT_EQ(c.LoginName, "u");
  EXPECT_EQ(c.Password, "p");

  c = ParseLink("mupa://Login/&LoginName=u&Password=p&x=1");
  EXPECT_EQ(c.LoginName, "u");
  EXPECT_EQ(c.Password, "p&x=1");

  c = ParseLink("mupa://Login/&LoginName=&Password=");
  EXPECT_EQ(c.Kind, TLinkKind::Login);
  EXPECT_EQ(c.LoginName, "");
  EXPECT_EQ(c.Password, "");

  c = ParseLink("mupa://Login/&LoginName=用户%20一&Password=密码");
  EXPECT_EQ(c.LoginName, "用户%20一");
  EXPECT_EQ(c.Password, "密码");
}

TEST(ParseLink, LoginMarkersInTheWrongOrderOrMissing) {
  // Password marker first: the login name is empty, the password runs to the end.
  TLinkCommand c = ParseLink("mupa://Login/&Password=p&LoginName=u");
  EXPECT_EQ(c.Kind, TLinkKind::Login);
  EXPECT_EQ(c.LoginName, "");
  EXPECT_EQ(c.Password, "p&LoginName=u");

  // Either marker missing empties both values, but the command stays a login.
  c = ParseLink("mupa://Login/&LoginName=u");
  EXPECT_EQ(c.Kind, TLinkKind::Login);
  EXPECT_EQ(c.LoginName, "");
  EXPECT_EQ(c.Password, "");
  c = ParseLink("mupa://Login/&Password=p");
  EXPECT_EQ(c.Kind, TLinkKind::Login);
  EXPECT_EQ(c.LoginName, "");
  EXPECT_EQ(c.Password, "");
  c = ParseLink("mupa://Login/");
  EXPECT_EQ(c.Kind, TLinkKind::Login);
}

TEST(ParseLink, OpenTalkFormIsTestedBeforeLogin) {
  TLinkCommand c = ParseLink("mupa://OpenTalkForm/&LoginName=u&Password=p&FriendName=f");
  EXPECT_EQ(c.Kind, TLinkKind::OpenTalkForm);
  EXPECT_EQ(c.FriendName, "f");
  EXPECT_EQ(c.LoginName, "");
  EXPECT_EQ(c.Password, "");
}

TEST(FirstArgument, SplitsAtBlanksAndRemovesQuotes) {
  EXPECT_EQ(FirstArgument("Intora.exe mupa://Login/&LoginName=u&Password=p"),
            "mupa://Login/&LoginName=u&Password=p");
  EXPECT_EQ(FirstArgument("\"C:\\a b\\Intora.exe\" \"mupa://OpenTalkForm/&FriendName=a b\""),
            "mupa://OpenTalkForm/&FriendName=a b");
  // Only the first argument is read.
  EXPECT_EQ(FirstArgument("Intora.exe first second"), "first");
  EXPECT_EQ(FirstArgument("Intora.exe   \t first"), "first");
  // Quotes in the middle group and vanish; backslashes are plain characters.
  EXPECT_EQ(FirstArgument("x a\"b c\"d\\\" e"), "ab cd\\ e");
  EXPECT_EQ(FirstArgument("Intora.exe"), "");
  EXPECT_EQ(FirstArgument(""), "");
  EXPECT_EQ(FirstArgument("Intora.exe   "), "");
  // Empty quoted arguments are skipped.
  EXPECT_EQ(FirstArgument("Intora.exe \"\" x"), "x");
  // Double-byte characters are not taken for blanks.
  EXPECT_EQ(FirstArgument("Intora.exe 张三 x"), "张三");
}

}  // namespace
