#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "LogText.h"
#include "platform/datetext.h"
#include "platform/debugout.h"
#include "uException.h"

namespace {

plat::LocalTime g_now;
plat::LocalTime FixedClock() { return g_now; }

struct ClockFixture : ::testing::Test {
  void SetUp() override { previous_ = plat::SetClockSource(&FixedClock); }
  void TearDown() override { plat::SetClockSource(previous_); }
  plat::ClockSource previous_ = nullptr;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(ReportLine, FieldsInOrderAndEmptyPosition) {
  EXPECT_EQ(ReportLine("boom", "UIControls", "OLVEXImageButton", "Paint", ""),
            "\xD2\xEC\xB3\xA3:boom 模块:UIControls 单元:OLVEXImageButton 方法:Paint 位置:");
  EXPECT_EQ(ReportLine("", "m", "u", "f", "p"), "异常: 模块:m 单元:u 方法:f 位置:p");
  // Percent signs and line breaks in a message are kept.
  EXPECT_EQ(ReportLine("50%s\r\nx", "m", "u", "f", ""), "异常:50%s\r\nx 模块:m 单元:u 方法:f 位置:");
}

using LogDateTime = ClockFixture;

TEST_F(LogDateTime, DateAndTimeOrDateAloneAtMidnight) {
  plat::LocalTime t{2024, 3, 2, 5, 9, 7, 3, 0};
  EXPECT_EQ(LogDateTimeText(t), plat::ShortDateText(t) + " " + plat::LongTimeText(t));

  plat::LocalTime midnight{2024, 3, 2, 5, 0, 0, 0, 999};  // milliseconds do not count
  EXPECT_EQ(LogDateTimeText(midnight), plat::ShortDateText(midnight));

  for (plat::LocalTime near : {plat::LocalTime{2024, 3, 2, 5, 0, 0, 1, 0},
                               plat::LocalTime{2024, 3, 2, 5, 0, 1, 0, 0},
                               plat::LocalTime{2024, 3, 2, 5, 1, 0, 0, 0}}) {
    EXPECT_EQ(LogDateTimeText(near), plat::ShortDateText(near) + " " + plat::LongTimeText(near));
  }

  g_now = midnight;
  EXPECT_EQ(LogEntry("line"), plat::ShortDateText(midnight) + "\xA3\xBAline\r\n");
  g_now = t;
  EXPECT_EQ(LogEntry(""), LogDateTimeText(t) + "：\r\n");
}

#ifndef _WIN32
TEST(LogDateTimePosix, ChineseRegionalFormat) {
  EXPECT_EQ(LogDateTimeText(plat::LocalTime{2024, 3, 2, 5, 9, 7, 3, 0}), "2024/3/5 9:07:03");
  EXPECT_EQ(LogDateTimeText(plat::LocalTime{2024, 12, 2, 31, 0, 0, 0, 0}), "2024/12/31");
}
#endif

TEST(AppendToFile, CreatesThenAppendsWithoutTouchingEarlierBytes) {
  std::string path = ::testing::TempDir() + "intora_append_test.log";
  std::remove(path.c_str());
  ASSERT_TRUE(AppendToFile(path, "one\r\n"));
  EXPECT_EQ(ReadFile(path), "one\r\n");
  ASSERT_TRUE(AppendToFile(path, "two\r\n"));
  EXPECT_EQ(ReadFile(path), "one\r\ntwo\r\n");
  std::remove(path.c_str());
}

TEST(AppendToFile, UnopenablePathFailsQuietly) {
  EXPECT_FALSE(AppendToFile(::testing::TempDir() + "no-such-folder/x/MuPa.log", "x"));
  // A folder where the file should be.
  EXPECT_FALSE(AppendToFile(::testing::TempDir(), "x"));
}

std::vector<std::string> g_debugLines;
void CollectDebug(const char* text) { g_debugLines.push_back(text); }

using ExceptionLog = ClockFixture;

TEST_F(ExceptionLog, LogExceptionWritesDebugOutputAndTheLogBesideTheProgram) {
  std::string path = GetAppPath() + "MuPa.log";
  ASSERT_FALSE(GetAppPath().empty());
  char last = GetAppPath().back();
  EXPECT_TRUE(last == '\\' || last == '/');
  std::remove(path.c_str());

  g_debugLines.clear();
  plat::DebugSink previous = plat::SetDebugSink(&CollectDebug);
  g_now = plat::LocalTime{2023, 1, 0, 1, 0, 0, 0, 0};
  LogException(plat::Exception("first\r\nsecond"), "UIControls", "OLVEXImageButton", "DrawButton",
               "");
  g_now = plat::LocalTime{2023, 1, 0, 1, 12, 30, 45, 0};
  LogException(plat::Exception("again"), "UIControls", "OLVEXImageButton", "Paint", "");
  plat::SetDebugSink(previous);

  std::string line1 = "异常:first\r\nsecond 模块:UIControls 单元:OLVEXImageButton 方法:DrawButton 位置:";
  std::string line2 = "异常:again 模块:UIControls 单元:OLVEXImageButton 方法:Paint 位置:";
  ASSERT_EQ(g_debugLines.size(), 2u);
  EXPECT_EQ(g_debugLines[0], line1);
  EXPECT_EQ(g_debugLines[1], line2);

  plat::LocalTime t1{2023, 1, 0, 1, 0, 0, 0, 0}, t2{2023, 1, 0, 1, 12, 30, 45, 0};
  EXPECT_EQ(ReadFile(path), plat::ShortDateText(t1) + "：" + line1 + "\r\n" +
                                plat::ShortDateText(t2) + " " + plat::LongTimeText(t2) + "：" +
                                line2 + "\r\n");
  std::remove(path.c_str());
}

}  // namespace
