// A program's arguments as taken from the command line the system hands it.
#include <gtest/gtest.h>

#include "platform/cmdline.h"

using plat::ParamList;
using Params = std::vector<std::string>;

TEST(ParamList, NoArgumentsAfterTheProgramName) {
  EXPECT_EQ(ParamList(""), Params{});
  EXPECT_EQ(ParamList("   "), Params{});
  EXPECT_EQ(ParamList("Brovia.exe"), Params{});
  EXPECT_EQ(ParamList("\"C:\\Program Files\\Pelora\\Brovia.exe\"  "), Params{});
}

TEST(ParamList, SplitsAtBlanksAndControlCharactersOutsideQuotes) {
  EXPECT_EQ(ParamList("\"C:\\Program Files\\Brovia.exe\" http://a.example/ b"),
            (Params{"http://a.example/", "b"}));
  EXPECT_EQ(ParamList("Brovia.exe\ta\t\t b\r\nc"), (Params{"a", "b", "c"}));
}

TEST(ParamList, QuotesGroupAndAreDropped) {
  EXPECT_EQ(ParamList("p \"a b\" c\"d e\"f \"\"x"), (Params{"a b", "cd ef", "x"}));
  // An unclosed quote runs to the end of the line.
  EXPECT_EQ(ParamList("p \"http://a.example/x y"), (Params{"http://a.example/x y"}));
  // Empty quotes are no argument, nor is a quote left open with nothing after it.
  EXPECT_EQ(ParamList("Brovia.exe \"\""), Params{});
  EXPECT_EQ(ParamList("p a \""), Params{"a"});
  // A backslash before a quote is an ordinary character.
  EXPECT_EQ(ParamList("p a\\\"b c\""), (Params{"a\\b c"}));
}

TEST(ParamList, CodePage936TextStaysWhole) {
  // "中文" in code page 936: no byte of a double-byte character counts as a blank or quote.
  EXPECT_EQ(ParamList("p \xd6\xd0\xce\xc4 \"\xd6\xd0 \xce\xc4\""),
            (Params{"\xd6\xd0\xce\xc4", "\xd6\xd0 \xce\xc4"}));
}
