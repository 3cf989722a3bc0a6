#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "netrik_test_support.h"
#include "uCommon.h"

using netrik_test::DebugCapture;

TEST(LogException, WritesOneLineInCodePage936WithoutLineBreak) {
  DebugCapture capture;
  netrik::LogException(plat::Exception("boom"), "Netrik.dll", "uNetrik", "InitNetrik", "");
  ASSERT_EQ(capture.Lines().size(), 1u);
  EXPECT_EQ(capture.Lines()[0], netrik_test::ReportLine("boom", "uNetrik", "InitNetrik"));
  // Each of the five fields where it belongs, the position last and empty.
  netrik::LogException(plat::Exception("m"), "M", "U", "F", "P");
  EXPECT_EQ(capture.Lines()[1],
            "\xD2\xEC\xB3\xA3:m \xC4\xA3\xBF\xE9:M \xB5\xA5\xD4\xAA:U \xB7\xBD\xB7\xA8:F "
            "\xCE\xBB\xD6\xC3:P");
}

TEST(LogException, EmptyMessageLeavesNothingBetweenLabelAndBlank) {
  DebugCapture capture;
  netrik::LogException(plat::Exception(""), "Netrik.dll", "uSysHooks", "GetSysHookProc", "");
  ASSERT_EQ(capture.Lines().size(), 1u);
  const std::string line = capture.Lines()[0];
  EXPECT_EQ(line.compare(0, 6, "\xD2\xEC\xB3\xA3: "), 0);
  EXPECT_EQ(line, netrik_test::ReportLine("", "uSysHooks", "GetSysHookProc"));
}

TEST(LogException, MessageTextPassesUnconverted) {
  DebugCapture capture;
  // "连接失败" in code page 936, and a percent sign that must not be taken as a format.
  std::string message = "\xC1\xAC\xBD\xD3\xCA\xA7\xB0\xDC 100%s";
  netrik::LogException(plat::Exception(message), "Netrik.dll", "uNetrik", "OpenConnection", "");
  EXPECT_EQ(capture.Lines().at(0), netrik_test::ReportLine(message, "uNetrik", "OpenConnection"));
}

namespace {

// A buffer with guard bytes behind the size handed to StrToBuf.
struct Guarded {
  unsigned char bytes[256];
  Guarded() { std::memset(bytes, 0xAB, sizeof bytes); }
};

}  // namespace

TEST(StrToBuf, ZeroFillsAndCopiesAtMostSizeBytes) {
  Guarded empty;
  netrik::StrToBuf("", empty.bytes, 127);
  for (int i = 0; i < 127; ++i) ASSERT_EQ(empty.bytes[i], 0) << i;
  EXPECT_EQ(empty.bytes[127], 0xAB);

  Guarded shorter;
  netrik::StrToBuf("host", shorter.bytes, 127);
  EXPECT_EQ(std::memcmp(shorter.bytes, "host", 4), 0);
  for (int i = 4; i < 127; ++i) ASSERT_EQ(shorter.bytes[i], 0) << i;
  EXPECT_EQ(shorter.bytes[127], 0xAB);

  Guarded longer;
  std::string text(200, 'x');
  netrik::StrToBuf(text, longer.bytes, 127);
  for (int i = 0; i < 127; ++i) ASSERT_EQ(longer.bytes[i], 'x') << i;
  for (int i = 127; i < 256; ++i) ASSERT_EQ(longer.bytes[i], 0xAB) << i;

  Guarded exact;
  netrik::StrToBuf(std::string(127, 'y'), exact.bytes, 127);
  EXPECT_EQ(exact.bytes[126], 'y');
  EXPECT_EQ(exact.bytes[127], 0xAB);
}

TEST(StrToBuf, SizeZeroOrNegativeWritesNothing) {
  Guarded g;
  netrik::StrToBuf("abc", g.bytes, 0);
  netrik::StrToBuf("abc", g.bytes, -5);
  for (unsigned char b : g.bytes) ASSERT_EQ(b, 0xAB);
}
