#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "Netrik.h"
#include "netrik_test_support.h"
#include "platform/module.h"
#include "NetrikLibrary.h"
#include "network/Loopback.h"
#include "uNetrik.h"
#include "uSysHooks.h"

using netrik_test::DebugCapture;
using Lines = std::vector<std::string>;

namespace {

// The folder Netrik takes plug-in names relative to: that of the module holding it, here
// the test program, which the plug-in stand-ins are built beside.
std::string Folder() { return plat::ExtractFilePath(plat::ModuleFileNameA(nullptr)); }

void SetEnv(const std::string& name, const std::string& value) {
#if defined(_WIN32)
  _putenv((name + "=" + value).c_str());
#else
  setenv(name.c_str(), value.c_str(), 1);
#endif
}

class PlugHost : public ::testing::Test {
protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string base = Folder() + "netrik_" + info->name();
    record_ = base + ".rec";
    list_ = base + ".lst";
    std::remove(record_.c_str());
    SetEnv("NETRIK_PLUG_RECORD", record_);
  }
  void TearDown() override {
    UnInitNetrik();
    SetEnv("NETRIK_PLUG_RECORD", "");
    std::remove(record_.c_str());
    std::remove(list_.c_str());
  }

  // Writes the list file byte for byte.
  const std::string& List(const std::string& bytes) {
    std::ofstream(list_, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return list_;
  }

  // The entry calls the plug-ins recorded so far, without the information-block checks.
  Lines Calls() const {
    Lines out;
    std::ifstream in(record_, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) out.push_back(line);
    return out;
  }

  std::string record_, list_;
};

Lines Loaded(const std::string& name) {
  return {name + " DllGetPlugInfo zeroed", name + " DllLoadPlug"};
}

Lines Concat(std::initializer_list<Lines> parts) {
  Lines out;
  for (const Lines& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

}  // namespace

TEST(ListLines, BreaksZeroByteAndTrailingBreak) {
  using netrik::SplitListLines;
  EXPECT_EQ(SplitListLines(""), Lines{});
  EXPECT_EQ(SplitListLines("a"), (Lines{"a"}));
  EXPECT_EQ(SplitListLines("a\r\n"), (Lines{"a"}));
  EXPECT_EQ(SplitListLines("a\rb\nc\r\nd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitListLines("a\n\r"), (Lines{"a", ""}));  // LF CR is two breaks
  EXPECT_EQ(SplitListLines("\n"), (Lines{""}));
  EXPECT_EQ(SplitListLines("a\n\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitListLines(std::string("a\nb\0c\nd", 7)), (Lines{"a", "b"}));
  EXPECT_EQ(SplitListLines(" a \t"), (Lines{" a \t"}));  // no trimming
}

TEST_F(PlugHost, LoadsInFileOrderAcrossEveryLineBreak) {
  netrik::TNetrik n;
  EXPECT_TRUE(n.LoadPlugs(List(std::string("PlugA.dll\rPlugB.dll\r\nPlugC.dll\n\0Missing.dll\n", 43))));
  EXPECT_EQ(n.PlugCount(), 3);
  EXPECT_EQ(Calls(), Concat({Loaded("PlugA"), Loaded("PlugB"), Loaded("PlugC")}));
}

TEST_F(PlugHost, MissingFileStopsLoadingWithoutReport) {
  DebugCapture capture;
  for (const char* list : {"PlugA.dll\nMissing.dll\nPlugB.dll", "PlugA.dll\n\nPlugB.dll",
                           "PlugA.dll\n\n", "PlugA.dll\n PlugB.dll"}) {
    SCOPED_TRACE(list);
    std::remove(record_.c_str());
    netrik::TNetrik n;
    EXPECT_FALSE(n.LoadPlugs(List(list)));
    EXPECT_EQ(n.PlugCount(), 1);
    EXPECT_EQ(Calls(), Loaded("PlugA"));
  }
  // A full path is still taken relative to the folder.
  netrik::TNetrik n;
  EXPECT_FALSE(n.LoadPlugs(List(Folder() + "PlugA.dll")));
  EXPECT_EQ(n.PlugCount(), 0);
  EXPECT_TRUE(capture.Lines().empty());
}

TEST_F(PlugHost, MissingListKeepsLoadedPlugsAndExistingListReplacesThem) {
  netrik::TNetrik n;
  ASSERT_TRUE(n.LoadPlugs(List("PlugA.dll\nPlugB.dll")));
  EXPECT_TRUE(n.LoadPlugs(Folder() + "no_such_list.lst"));
  EXPECT_TRUE(n.LoadPlugs(""));
  EXPECT_EQ(n.PlugCount(), 2);
  EXPECT_TRUE(n.LoadPlugs(List("PlugC.dll")));
  EXPECT_EQ(n.PlugCount(), 1);
  EXPECT_EQ(Calls(), Concat({Loaded("PlugA"), Loaded("PlugB"),
                             {"PlugB DllStopPlug", "PlugA DllStopPlug"}, Loaded("PlugC")}));
}

TEST_F(PlugHost, RefusedPlugsAreReportedReleasedAndNotAdded) {
  struct Case {
    const char* file;
    std::string message;
    Lines calls;  // what the refused plug-in received
  };
  const std::string folder = Folder();
  const Case cases[] = {
      {"PlugNotLibrary.dll", "can not load library '" + folder + "PlugNotLibrary.dll'", {}},
      {"PlugNoGetInfo.dll", "can not get 'DllGetPlugInfo' proc adress", {}},
      {"PlugNoLoad.dll", "can not get 'DllLoadPlug' proc adress", {}},
      {"PlugNoStart.dll", "can not get 'DllStartPlug' proc adress", {}},
      {"PlugNoStop.dll", "can not get 'DllStopPlug' proc adress", {}},
      {"PlugNoStatus.dll", "can not get 'DllGetPlugStatus' proc adress", {"PlugNoStatus DllStopPlug"}},
      {"PlugInfoFails.dll", "call 'DllGetPlugInfo' proc error",
       {"PlugInfoFails DllGetPlugInfo zeroed", "PlugInfoFails DllStopPlug"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    std::remove(record_.c_str());
    DebugCapture capture;
    netrik::TNetrik n;
    EXPECT_FALSE(n.LoadPlugs(List(std::string("PlugA.dll\n") + c.file + "\nPlugB.dll")));
    EXPECT_EQ(n.PlugCount(), 1);
    EXPECT_EQ(Calls(), Concat({Loaded("PlugA"), c.calls}));
    EXPECT_EQ(capture.Lines(), Lines{netrik_test::ReportLine(c.message, "uNetrik", "LoadPlugs")});
  }
}

TEST_F(PlugHost, LifeCycleStopsTwiceAndReleasesInReverseOrder) {
  DebugCapture capture;
  EXPECT_EQ(InitNetrik(List("PlugA.dll\nPlugB.dll\nPlugC.dll").c_str()), -1);
  StartNetrik();
  StopNetrik();
  UnInitNetrik();
  EXPECT_EQ(Calls(), Concat({Loaded("PlugA"), Loaded("PlugB"), Loaded("PlugC"),
                             {"PlugA DllStartPlug", "PlugB DllStartPlug", "PlugC DllStartPlug",
                              "PlugA DllStopPlug", "PlugB DllStopPlug", "PlugC DllStopPlug",
                              "PlugC DllStopPlug", "PlugB DllStopPlug", "PlugA DllStopPlug"}}));
  // Nothing happens without an instance.
  std::remove(record_.c_str());
  StartNetrik();
  StopNetrik();
  UnInitNetrik();
  EXPECT_TRUE(Calls().empty());
  EXPECT_TRUE(capture.Lines().empty());
}

TEST_F(PlugHost, InitReturnsTrueWhateverLoadingFound) {
  DebugCapture capture;
  EXPECT_EQ(InitNetrik(nullptr), -1);
  StartNetrik();  // no plug-ins: nothing to call
  EXPECT_EQ(InitNetrik(List("Missing.dll").c_str()), -1);
  EXPECT_EQ(InitNetrik(List("PlugInfoFails.dll").c_str()), -1);
  EXPECT_EQ(capture.Lines().size(), 1u);
  // A second InitNetrik with a list reloads; with no list it keeps what is loaded.
  EXPECT_EQ(InitNetrik(List("PlugA.dll").c_str()), -1);
  EXPECT_EQ(InitNetrik(nullptr), -1);
  EXPECT_EQ(InitNetrik(List("PlugB.dll").c_str()), -1);
  StartNetrik();
  UnInitNetrik();
  // After UnInitNetrik a new InitNetrik starts over.
  EXPECT_EQ(InitNetrik(List("PlugC.dll").c_str()), -1);
  UnInitNetrik();
  EXPECT_EQ(Calls(), Concat({{"PlugInfoFails DllGetPlugInfo zeroed", "PlugInfoFails DllStopPlug"},
                             Loaded("PlugA"),
                             {"PlugA DllStopPlug"},
                             Loaded("PlugB"),
                             {"PlugB DllStartPlug", "PlugB DllStopPlug"},
                             Loaded("PlugC"),
                             {"PlugC DllStopPlug"}}));
}

TEST_F(PlugHost, UnloadingTheLibraryReleasesThePlugs) {
  EXPECT_EQ(InitNetrik(List("PlugA.dll\nPlugB.dll").c_str()), -1);
  netrik::NetrikLibraryUnload();
  netrik::NetrikLibraryLoad();
  EXPECT_EQ(Calls(), Concat({Loaded("PlugA"), Loaded("PlugB"),
                             {"PlugB DllStopPlug", "PlugA DllStopPlug"}}));
  EXPECT_EQ(netrik::NetrikInstance, nullptr);
}

TEST_F(PlugHost, PlugEntriesMayCallTheExportsBack) {
#if defined(_WIN32)
  // The plug-in finds the exports in Netrik.dll; the Windows host test covers this there.
  GTEST_SKIP() << "needs Netrik.dll";
#endif
  // The same GUID the re-entering plug-in asks about.
  const TNetrikGUID probe = {0x01234567, 0x89AB, 0xCDEF, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};
  DebugCapture capture;
  EXPECT_EQ(InitNetrik(List("PlugReenter.dll").c_str()), -1);
  EXPECT_EQ(CreateConnection(NETRIK_KIND_AUDIOVIDEO, &probe, "127.0.0.1", 1), -1);
  StartNetrik();
  EXPECT_EQ(NewConnectionRoutingID(&probe), 2);
  EXPECT_EQ(Calls(), Concat({Loaded("PlugReenter"),
                             {"PlugReenter DllLoadPlug FindConnection=0", "PlugReenter DllStartPlug",
                              "PlugReenter DllStartPlug FindConnection=-1",
                              "PlugReenter DllStartPlug NewConnectionRoutingID=1"}}));
  EXPECT_TRUE(capture.Lines().empty());
}

namespace {

// A hook that looks its connection up, as a host's would.
std::mutex g_lookupLock;
std::condition_variable g_lookedUp;
std::vector<std::pair<int32_t, int32_t>> g_lookups;  // hook id, what FindConnection answered
int32_t NETRIK_CALL LookUpHook(int32_t, int32_t id, uint32_t, void* info, uint32_t) {
  int32_t found = FindConnection(&static_cast<TConnectionHookInfo*>(info)->ObjID);
  std::lock_guard<std::mutex> guard(g_lookupLock);
  g_lookups.emplace_back(id, found);
  g_lookedUp.notify_all();
  return 0;
}

}  // namespace

// A stop entry that destroys two open connections: their down hooks, which take Netrik's
// lock, come while the stop export still holds it. Nothing waits for the network library's
// bound (5 s a connection), and both hooks come.
TEST_F(PlugHost, ConnectionsDestroyedInsideAnEntryGoWithoutAStall) {
#if defined(_WIN32)
  GTEST_SKIP() << "needs Netrik.dll";
#endif
  network::LoopbackServer server;
  TNetrikGUID ids[2] = {{0x01234567, 0x89AB, 0xCDEF, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}},
                        {0x01234567, 0x89AB, 0xCDEF, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xF0}}};
  g_lookups.clear();
  netrik::ClearSysHooks();
  RegisterSysHookProc(0, NETRIK_HOOK_AVS_LOGIN, 0, &LookUpHook);
  RegisterSysHookProc(0, NETRIK_HOOK_AVS_LOGOUT, 0, &LookUpHook);
  EXPECT_EQ(InitNetrik(List("PlugDestroyer.dll").c_str()), -1);
  for (const TNetrikGUID& id : ids) {
    ASSERT_EQ(CreateConnection(NETRIK_KIND_AUDIOVIDEO, &id, "127.0.0.1", server.Port()), -1);
    ASSERT_EQ(OpenConnection(&id), -1);
  }
  {
    // Both up events seen: the network library's thread runs, and destroying a client waits
    // for its queued events.
    std::unique_lock<std::mutex> guard(g_lookupLock);
    ASSERT_TRUE(g_lookedUp.wait_for(guard, std::chrono::seconds(5),
                                    [] { return g_lookups.size() == 2; }));
  }
  auto start = std::chrono::steady_clock::now();
  StopNetrik();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(FindConnection(&ids[0]), 0);
  EXPECT_EQ(FindConnection(&ids[1]), 0);
  netrik::ClearSysHooks();
  std::lock_guard<std::mutex> guard(g_lookupLock);
  const int32_t up = NETRIK_HOOK_AVS_LOGIN, down = NETRIK_HOOK_AVS_LOGOUT;
  EXPECT_EQ(g_lookups, (std::vector<std::pair<int32_t, int32_t>>{{up, -1}, {up, -1}, {down, 0}, {down, 0}}));
}

// Start and stop entries that end Netrik: the instance goes once the export that called the
// entry returns, with its plug-ins and connections, and Netrik starts over as usual.
TEST_F(PlugHost, EntriesMayEndNetrik) {
#if defined(_WIN32)
  GTEST_SKIP() << "needs Netrik.dll";
#endif
  const TNetrikGUID id = {0x0E0D0E0D, 0x1, 0x2, {3, 4, 5, 6, 7, 8, 9, 10}};
  DebugCapture capture;
  for (decltype(&StartNetrik) entry : {&StartNetrik, &StopNetrik}) {
    ASSERT_EQ(InitNetrik(List("PlugUnInit.dll").c_str()), -1);
    ASSERT_EQ(CreateConnection(NETRIK_KIND_AUDIOVIDEO, &id, "127.0.0.1", 1), -1);
    entry();
    EXPECT_EQ(netrik::NetrikInstance, nullptr);
  }
  ASSERT_EQ(InitNetrik(List("PlugUnInit.dll").c_str()), -1);
  UnInitNetrik();
  netrik::NetrikLibraryUnload();
  netrik::NetrikLibraryLoad();
  const std::string start = "PlugUnInit DllStartPlug", stop = "PlugUnInit DllStopPlug";
  EXPECT_EQ(Calls(), Concat({Loaded("PlugUnInit"), {start, stop}, Loaded("PlugUnInit"), {stop, stop},
                             Loaded("PlugUnInit"), {stop}}));
  EXPECT_TRUE(capture.Lines().empty());
}
