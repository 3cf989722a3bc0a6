#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "ClientCommand.h"
#include "platform/ansi.h"
#include "platform/module.h"

namespace {

std::string Bytes(const TClientCommand& c) {
  return std::string(reinterpret_cast<const char*>(&c), sizeof c);
}

std::string Field(const std::string& text) {
  std::string f(ClientTextField, '\0');
  f.replace(0, text.size(), text);
  return f;
}

TEST(ClientCommand, OpenTalkFormRecordBytes) {
  TClientCommand c = MakeOpenTalkFormCommand(u"abc");
  std::string expected = std::string("\x0E\x2B\x00\x00", 4) + Field("") + Field("") + Field("abc");
  EXPECT_EQ(Bytes(c), expected);
}

TEST(ClientCommand, LoginRecordBytes) {
  TClientCommand c = MakeLoginCommand(u"user", u"p&x=1");
  std::string expected =
      std::string("\x0D\x2B\x00\x00", 4) + Field("user") + Field("p&x=1") + Field("");
  EXPECT_EQ(Bytes(c), expected);
}

TEST(ClientCommand, ChineseTextIsNarrowedToCodePage936) {
  TClientCommand c = MakeOpenTalkFormCommand(u"张三");
  EXPECT_EQ(std::string(c.FriendName), "\xD5\xC5\xC8\xFD");
  c = MakeLoginCommand(u"用户", u"密码");
  EXPECT_EQ(std::string(c.LoginName), "用户");  // literals are code page 936 here
  EXPECT_EQ(std::string(c.Password), "密码");
}

TEST(ClientCommand, LongValuesAreCutToFortyNineBytes) {
  // 49 and 50 single-byte characters.
  std::string a49(49, 'a'), a60(60, 'a');
  TClientCommand c = MakeLoginCommand(plat::AnsiToWide(a49), plat::AnsiToWide(a60));
  EXPECT_EQ(Bytes(c).substr(4, 50), a49 + '\0');
  EXPECT_EQ(Bytes(c).substr(54, 50), a49 + '\0');
  EXPECT_EQ(Bytes(c).substr(104, 50), std::string(50, '\0'));

  // 25 Chinese characters are 50 bytes: the 25th does not fit and is left out whole.
  std::u16string han(25, u'\x4E2D');  // 中
  c = MakeOpenTalkFormCommand(han);
  std::string narrowed = plat::WideToAnsi(han);
  ASSERT_EQ(narrowed.size(), 50u);
  EXPECT_EQ(Bytes(c).substr(104, 50), narrowed.substr(0, 48) + std::string(2, '\0'));

  // One ASCII letter first: 1 + 24 * 2 = 49 bytes fit exactly.
  c = MakeOpenTalkFormCommand(u"x" + han);
  EXPECT_EQ(std::string(c.FriendName), "x" + narrowed.substr(0, 48));
  EXPECT_EQ(c.FriendName[49], '\0');

  // Nothing spills into the neighbouring field.
  c = MakeLoginCommand(han, u"");
  EXPECT_EQ(std::strlen(c.LoginName), 48u);
  EXPECT_EQ(Bytes(c).substr(54), std::string(100, '\0'));
}

TEST(ClientCommand, SetClientTextClearsWhatWasThere) {
  char field[ClientTextField];
  std::memset(field, 'z', sizeof field);
  SetClientText(field, "ab");
  EXPECT_EQ(std::string(field, sizeof field), Field("ab"));
  // A lone lead byte at the end counts as one byte of its own.
  SetClientText(field, std::string(48, 'a') + "\xD5");
  EXPECT_EQ(std::string(field, sizeof field), Field(std::string(48, 'a') + "\xD5"));
  SetClientText(field, std::string(48, 'a') + "\xD5\xC5");
  EXPECT_EQ(std::string(field, sizeof field), Field(std::string(48, 'a')));
}

TEST(WindowList, HandleTextsRoundTrip) {
  for (uint32_t h : {1u, 65636u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
    EXPECT_EQ(WindowHandleFromText(WindowHandleText(h)), h) << h;
  }
  EXPECT_EQ(WindowHandleText(0xFFFFFFFFu), "4294967295");
  EXPECT_EQ(WindowHandleFromText(""), 0u);
  EXPECT_EQ(WindowHandleFromText("12a"), 0u);
  EXPECT_EQ(WindowHandleFromText("-5"), 0u);
  EXPECT_EQ(WindowHandleFromText("4294967296"), 0u);
  EXPECT_EQ(WindowHandleFromText("99999999999"), 0u);
  // A handle's text comes back as the handle: sign-extended where handles are 64 bits wide.
  EXPECT_EQ(WindowHandleValue(0x10020u), 0x10020);
  EXPECT_EQ(WindowHandleValue(0xFFFFFFFEu), -2);
}

}  // namespace

// The program's folder and the cut of a record's text follow the system's ANSI code page. Under
// Wine the suite runs once more under code page 1252 (SUITE_EXPECT_CODE_PAGE names the code
// page that the run must have).
TEST(CodePage, FolderAndCutFollowTheSystemsLeadBytes) {
  if (const char* expected = std::getenv("SUITE_EXPECT_CODE_PAGE")) {
    ASSERT_EQ(plat::AnsiCodePage(), static_cast<unsigned>(std::atoi(expected)));
  }
  const std::string program = "C:\\Caf\xE9\\Intora.exe";  // "Café" in code page 1252
  const std::string accents(60, '\xE9');
  char field[ClientTextField];
  SetClientText(field, accents);
  switch (plat::AnsiCodePage()) {
    case 936:  // E9 5C is one character, and E9 E9 too
      EXPECT_EQ(plat::ExtractFilePath(program), "C:\\");
      EXPECT_EQ(std::string(field), accents.substr(0, 48));
      break;
    case 1252:  // no lead bytes
      EXPECT_EQ(plat::ExtractFilePath(program), "C:\\Caf\xE9\\");
      EXPECT_EQ(std::string(field), accents.substr(0, 49));
      break;
    default:
      GTEST_SKIP() << "code page " << plat::AnsiCodePage();
  }
}
