#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <chrono>
#include <thread>
#include <vector>

#include "Netrik.h"
#include "netrik_test_support.h"
#include "uSysHooks.h"

using netrik_test::DebugCapture;

namespace {

int32_t NETRIK_CALL HookA(int32_t, int32_t, uint32_t, void*, uint32_t) { return 0; }
int32_t NETRIK_CALL HookB(int32_t, int32_t, uint32_t, void*, uint32_t) { return 0; }

struct EnumCall {
  int32_t Category, HookID;
  uint32_t HookData;
  TSysHookProc Proc;
  uint32_t EnumData;
};
std::vector<EnumCall> g_calls;
// What the enumeration procedure does besides recording, chosen per test.
void (*g_onEnum)(const EnumCall&) = nullptr;

int32_t NETRIK_CALL RecordEnum(int32_t c, int32_t h, uint32_t d, TSysHookProc p, uint32_t e) {
  g_calls.push_back({c, h, d, p, e});
  if (g_onEnum) g_onEnum(g_calls.back());
  return 0;
}

class SysHooks : public ::testing::Test {
protected:
  void SetUp() override {
    netrik::ClearSysHooks();
    g_calls.clear();
    g_onEnum = nullptr;
  }
  void TearDown() override {
    netrik::ClearSysHooks();
    g_onEnum = nullptr;
  }
  static int Count(int32_t cat, int32_t id, uint32_t data = 0) {
    g_calls.clear();
    EnumSysHookProcs(cat, id, data, &RecordEnum, 0);
    return static_cast<int>(g_calls.size());
  }
};

}  // namespace

TEST_F(SysHooks, EmptyRegistryFindsAndCallsNothing) {
  DebugCapture capture;
  uint32_t data = 0x5A5A5A5A;
  TSysHookProc proc = &HookB;
  EXPECT_EQ(GetSysHookProc(0, 1, &data, &proc), 0);
  EXPECT_EQ(data, 0x5A5A5A5Au);
  EXPECT_EQ(proc, &HookB);
  EXPECT_EQ(EnumSysHookProcs(0, 1, 0, &RecordEnum, 7), 0);
  EXPECT_TRUE(g_calls.empty());
  UnRegisterSysHookProc(0, 1, 0, &HookA);
  EXPECT_TRUE(capture.Lines().empty());
}

TEST_F(SysHooks, LookupGivesTheFirstRegistrationOfThePair) {
  EXPECT_EQ(RegisterSysHookProc(0, 3, 11, &HookA), -1);
  EXPECT_EQ(RegisterSysHookProc(1, 3, 22, &HookB), -1);  // another category
  EXPECT_EQ(RegisterSysHookProc(0, 3, 33, &HookB), -1);
  uint32_t data = 0;
  TSysHookProc proc = nullptr;
  EXPECT_EQ(GetSysHookProc(0, 3, &data, &proc), -1);
  EXPECT_EQ(data, 11u);
  EXPECT_EQ(proc, &HookA);
  UnRegisterSysHookProc(0, 3, 11, &HookA);
  EXPECT_EQ(GetSysHookProc(0, 3, &data, &proc), -1);
  EXPECT_EQ(data, 33u);
  EXPECT_EQ(proc, &HookB);
  EXPECT_EQ(GetSysHookProc(0, 4, &data, &proc), 0);
}

TEST_F(SysHooks, UnregisterRemovesOnlyTheFirstExactMatch) {
  RegisterSysHookProc(0, 1, 5, &HookA);
  RegisterSysHookProc(0, 1, 5, &HookA);
  EXPECT_EQ(Count(0, 1), 2);
  // Three of four values equal is no match.
  UnRegisterSysHookProc(0, 1, 6, &HookA);
  UnRegisterSysHookProc(0, 1, 5, &HookB);
  UnRegisterSysHookProc(0, 2, 5, &HookA);
  UnRegisterSysHookProc(1, 1, 5, &HookA);
  EXPECT_EQ(Count(0, 1), 2);
  UnRegisterSysHookProc(0, 1, 5, &HookA);
  EXPECT_EQ(Count(0, 1), 1);
  UnRegisterSysHookProc(0, 1, 5, &HookA);
  EXPECT_EQ(Count(0, 1), 0);
}

TEST_F(SysHooks, EnumerationFiltersByHookDataUnlessZero) {
  RegisterSysHookProc(2, 9, 100, &HookA);
  RegisterSysHookProc(2, 9, 200, &HookB);
  RegisterSysHookProc(2, 8, 100, &HookA);
  RegisterSysHookProc(2, 9, 100, &HookB);
  EXPECT_EQ(EnumSysHookProcs(2, 9, 0, &RecordEnum, 0xCAFE), -1);
  ASSERT_EQ(g_calls.size(), 3u);
  EXPECT_EQ(g_calls[0].HookData, 100u);
  EXPECT_EQ(g_calls[0].Proc, &HookA);
  EXPECT_EQ(g_calls[1].HookData, 200u);
  EXPECT_EQ(g_calls[2].Proc, &HookB);
  for (const EnumCall& c : g_calls) {
    EXPECT_EQ(c.Category, 2);
    EXPECT_EQ(c.HookID, 9);
    EXPECT_EQ(c.EnumData, 0xCAFEu);
  }
  g_calls.clear();
  EXPECT_EQ(EnumSysHookProcs(2, 9, 100, &RecordEnum, 0), -1);
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[0].Proc, &HookA);
  EXPECT_EQ(g_calls[1].Proc, &HookB);
  EXPECT_EQ(Count(2, 9, 300), 0);
  EXPECT_EQ(EnumSysHookProcs(2, 9, 300, &RecordEnum, 0), 0);
}

TEST_F(SysHooks, RemovalDuringEnumerationSkipsOneAndEndsWithIndexError) {
  DebugCapture capture;
  RegisterSysHookProc(0, 1, 1, &HookA);
  RegisterSysHookProc(0, 1, 2, &HookA);
  RegisterSysHookProc(0, 1, 3, &HookA);
  g_onEnum = [](const EnumCall& c) {
    if (c.HookData == 1) UnRegisterSysHookProc(0, 1, 1, &HookA);  // same thread: goes through
  };
  EXPECT_EQ(EnumSysHookProcs(0, 1, 0, &RecordEnum, 0), -1);
  // Record 2 moved into the visited place and is skipped; record 3 is met at index 1.
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[0].HookData, 1u);
  EXPECT_EQ(g_calls[1].HookData, 3u);
  ASSERT_EQ(capture.Lines().size(), 1u);
  EXPECT_EQ(capture.Lines()[0],
            netrik_test::ReportLine("List index out of bounds (2)", "uSysHooks", "EnumHookProcs"));
  g_onEnum = nullptr;
  EXPECT_EQ(Count(0, 1), 2);
}

TEST_F(SysHooks, RecordsAddedDuringEnumerationAreNotVisited) {
  RegisterSysHookProc(0, 1, 1, &HookA);
  g_onEnum = [](const EnumCall&) { RegisterSysHookProc(0, 1, 1, &HookA); };
  EXPECT_EQ(EnumSysHookProcs(0, 1, 0, &RecordEnum, 0), -1);
  EXPECT_EQ(g_calls.size(), 1u);
  g_onEnum = nullptr;
  EXPECT_EQ(Count(0, 1), 2);
}

TEST_F(SysHooks, OtherThreadsWaitWhileEnumerationCallsOut) {
  RegisterSysHookProc(0, 1, 1, &HookA);
  static std::atomic<bool> registered;
  static std::atomic<bool> seenDuringEnum;
  static std::thread other;
  registered = false;
  seenDuringEnum = false;
  g_onEnum = [](const EnumCall&) {
    other = std::thread([] {
      RegisterSysHookProc(0, 2, 1, &HookB);
      registered = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    seenDuringEnum = registered.load();
    // The lookup on this thread goes through although the lock is held.
    uint32_t d;
    TSysHookProc p;
    EXPECT_EQ(GetSysHookProc(0, 1, &d, &p), -1);
  };
  EnumSysHookProcs(0, 1, 0, &RecordEnum, 0);
  other.join();
  EXPECT_FALSE(seenDuringEnum.load());
  EXPECT_TRUE(registered.load());
}

TEST_F(SysHooks, MissingResultAddressIsReportedNotWritten) {
  DebugCapture capture;
  RegisterSysHookProc(0, 1, 1, &HookA);
  uint32_t data = 0;
  EXPECT_EQ(GetSysHookProc(0, 1, &data, nullptr), 0);
  EXPECT_EQ(data, 0u);
  EXPECT_EQ(GetSysHookProc(0, 2, nullptr, nullptr), 0);  // nothing found: nothing to write
  EXPECT_EQ(EnumSysHookProcs(0, 1, 0, nullptr, 0), 0);
  ASSERT_EQ(capture.Lines().size(), 2u);
  EXPECT_NE(capture.Lines()[0].find("GetSysHookProc \xCE\xBB\xD6\xC3:"), std::string::npos);
  EXPECT_NE(capture.Lines()[1].find("EnumHookProcs \xCE\xBB\xD6\xC3:"), std::string::npos);
}

TEST_F(SysHooks, NoExceptionOfAnyKindLeavesAnExport) {
  DebugCapture capture;
  RegisterSysHookProc(0, 1, 1, &HookA);
  g_onEnum = [](const EnumCall&) { throw std::runtime_error("boom"); };
  // The only call failed before it returned, so the result is still 0; the failure is
  // reported under the enumeration's name like one of the general class.
  EXPECT_EQ(EnumSysHookProcs(0, 1, 0, &RecordEnum, 0), 0);
  ASSERT_EQ(capture.Lines().size(), 1u);
  EXPECT_NE(capture.Lines()[0].find("boom"), std::string::npos);
  EXPECT_NE(capture.Lines()[0].find("EnumHookProcs"), std::string::npos);
  // Nor one that is no standard exception at all.
  g_onEnum = [](const EnumCall&) { throw 42; };
  EXPECT_EQ(EnumSysHookProcs(0, 1, 0, &RecordEnum, 0), 0);
  ASSERT_EQ(capture.Lines().size(), 2u);
  EXPECT_EQ(capture.Lines()[1],
            netrik_test::ReportLine("Unknown exception", "uSysHooks", "EnumHookProcs"));
  // The lock was released on the way out.
  std::thread([] { EXPECT_EQ(RegisterSysHookProc(0, 2, 1, &HookA), -1); }).join();
}
