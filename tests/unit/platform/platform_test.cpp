#include <gtest/gtest.h>

#include <string>

#include "platform/ansi.h"
#include "platform/clock.h"
#include "platform/debugout.h"
#include "platform/except.h"
#include "platform/guid.h"
#include "platform/module.h"

namespace {

TEST(AnsiCodePage, IsChineseSimplified) { EXPECT_EQ(936u, plat::AnsiCodePage()); }

TEST(AnsiCodePage, RoundTripsChineseAndAscii) {
  std::u16string wide = u"皮肤 Skin 异常";
  std::string ansi = plat::WideToAnsi(wide);
  // "皮" is C6 A4 in code page 936.
  ASSERT_GE(ansi.size(), 2u);
  EXPECT_EQ('\xC6', ansi[0]);
  EXPECT_EQ('\xA4', ansi[1]);
  EXPECT_EQ(wide, plat::AnsiToWide(ansi));
  // Narrow literals of the sources are code page 936 bytes as well.
  EXPECT_EQ(std::string("皮肤 Skin 异常"), ansi);
}

TEST(AnsiCodePage, UnrepresentableBecomesDefaultChar) {
  EXPECT_EQ("a?b", plat::WideToAnsi(u"a\u0E01b"));  // a Thai letter has no GBK code
  EXPECT_EQ("a?b", plat::WideToAnsi(u"a\u00C0b"));  // nor a capital A grave: no look-alike
  EXPECT_EQ(u"", plat::AnsiToWide(""));
  EXPECT_EQ("", plat::WideToAnsi(u""));
}

TEST(Utf8, RoundTripsSurrogatePairs) {
  std::u16string wide = u"x\U0001F600y中";
  EXPECT_EQ(wide, plat::Utf8ToWide(plat::WideToUtf8(wide)));
}

TEST(Exceptions, MessagesHaveTheirFixedForm) {
  try {
    plat::RaiseAssertion("Common\\Binary Tree Document\\BinaryTreeDocument100", 42);
    FAIL();
  } catch (const plat::EAssertionFailed& e) {
    EXPECT_EQ("Assertion failure (Common\\Binary Tree Document\\BinaryTreeDocument100, line 42)",
              e.Message());
  }
  try {
    plat::RaiseListIndexError(-1);
    FAIL();
  } catch (const plat::Exception& e) {
    EXPECT_EQ("List index out of bounds (-1)", e.Message());
    EXPECT_NE(nullptr, dynamic_cast<const plat::EListError*>(&e));
  }
}

TEST(Guid, TextRoundTripAndRejects) {
  plat::Guid g{};
  ASSERT_TRUE(plat::CreateGuid(g));
  std::string text = plat::GuidToString(g);
  ASSERT_EQ(38u, text.size());
  EXPECT_EQ('{', text.front());
  EXPECT_EQ('}', text.back());
  plat::Guid back{};
  ASSERT_TRUE(plat::StringToGuid(text, back));
  EXPECT_EQ(g, back);

  plat::Guid known{};
  ASSERT_TRUE(plat::StringToGuid("{3FC388DD-B40F-4F22-86A1-6F467F655A6C}", known));
  EXPECT_EQ(0x3FC388DDu, known.Data1);
  EXPECT_EQ(0xB40F, known.Data2);
  EXPECT_EQ(0x86, known.Data4[0]);
  EXPECT_EQ(0x6C, known.Data4[7]);
  EXPECT_EQ("{3FC388DD-B40F-4F22-86A1-6F467F655A6C}", plat::GuidToString(known));

  plat::Guid untouched = known;
  EXPECT_FALSE(plat::StringToGuid("", untouched));
  EXPECT_FALSE(plat::StringToGuid("3FC388DD-B40F-4F22-86A1-6F467F655A6C", untouched));
  EXPECT_FALSE(plat::StringToGuid("{3FC388DD-B40F-4F22-86A1-6F467F655A6X}", untouched));
  EXPECT_EQ(known, untouched);
}

std::string g_seen;
void Record(const char* text) { g_seen += text; }

TEST(DebugOutput, SinkSeesLinesUnchanged) {
  g_seen.clear();
  plat::DebugSink old = plat::SetDebugSink(&Record);
  plat::DebugOutput("异常:x");
  plat::SetDebugSink(old);
  EXPECT_EQ("异常:x", g_seen);
}

plat::LocalTime FixedClock() { return plat::LocalTime{2024, 2, 4, 29, 23, 59, 58, 999}; }

TEST(Clock, SourceCanBeReplaced) {
  plat::SetClockSource(&FixedClock);
  plat::LocalTime t = plat::GetLocalTime();
  plat::SetClockSource(nullptr);
  EXPECT_EQ(2024, t.Year);
  EXPECT_EQ(999, t.Milliseconds);
  plat::LocalTime now = plat::GetLocalTime();
  EXPECT_GE(now.Year, 2020);
  EXPECT_LE(now.Month, 12);
}

TEST(Modules, OwnFileNameAndFolder) {
  std::string self = plat::ModuleFileNameA(nullptr);
  ASSERT_FALSE(self.empty());
  EXPECT_NE(std::string::npos, self.find("platform_tests"));
  std::string folder = plat::ExtractFilePath(self);
  ASSERT_FALSE(folder.empty());
  EXPECT_TRUE(folder.back() == '\\' || folder.back() == '/');
  EXPECT_EQ("C:\\a\\", plat::ExtractFilePath("C:\\a\\b.dll"));
  EXPECT_EQ("", plat::ExtractFilePath("b.dll"));
  // "誠" is D5 5C in code page 936: its second byte is no separator.
  EXPECT_EQ("D:\\誠\\", plat::ExtractFilePath("D:\\誠\\Brovia.exe"));
  EXPECT_EQ("D:\\", plat::ExtractFilePath("D:\\誠"));
  // A byte that can't follow a lead byte is read on its own, so '/' always separates.
  EXPECT_EQ("/tmp/\xE4\xB8\xAD/", plat::ExtractFilePath("/tmp/\xE4\xB8\xAD/x"));
  EXPECT_EQ(nullptr, plat::LoadModule(u"no-such-library-here.dll"));
}

}  // namespace

// ---- regional date and time texts
#include "platform/datetext.h"

TEST(DateText, DateAndTimeCarryTheirFields) {
  plat::LocalTime t{2024, 3, 2, 5, 9, 7, 3, 0};
  std::string date = plat::ShortDateText(t);
  std::string time = plat::LongTimeText(t);
  EXPECT_NE(date.find("2024"), std::string::npos) << date;
  EXPECT_EQ(date.find(':'), std::string::npos) << date;
  EXPECT_NE(time.find("07"), std::string::npos) << time;
  EXPECT_NE(time.find("03"), std::string::npos) << time;
  EXPECT_EQ(time.find("2024"), std::string::npos) << time;
}
