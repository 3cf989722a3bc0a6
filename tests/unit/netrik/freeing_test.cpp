// How connections go: what the network library is asked when a connection is freed, the
// hooks that still run then, and the unloading of the library.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Netrik.h"
#include "NetrikLibrary.h"
#include "netclients/AvsSvc.h"
#include "netclients/NetworkApi.h"
#include "network/Loopback.h"
#include "uNetrik.h"
#include "uSysHooks.h"

namespace {

using Names = std::vector<std::string>;

TNetrikGUID Id(uint32_t n) { return TNetrikGUID{n, 0xF4EE, 0x4D1E, {8, 7, 6, 5, 4, 3, 2, 1}}; }

// The calls that free a connection, noted by name when the test's own thread makes them; the
// network library answers them as ever.
netclients::TNetworkApi g_library;
std::thread::id g_caller;
Names g_calls;

void Note(const char* name) {
  if (std::this_thread::get_id() == g_caller) g_calls.push_back(name);
}

#define NOTED(group, function, params, args) \
  int32_t PLAT_STDCALL Noted_##group##function params { \
    Note(#group #function);                     \
    return g_library.group.function args;       \
  }
NOTED(p2p, ClientLogout, (uint32_t h), (h))
NOTED(p2p, GetClientInfo, (uint32_t h, netclients::TP2PClientInfo* info), (h, info))
NOTED(p2p, DestroyClient, (uint32_t h), (h))
NOTED(avs, ClientLogout, (uint32_t h), (h))
NOTED(avs, GetClientInfo, (uint32_t h, netclients::TP2PClientInfo* info), (h, info))
NOTED(avs, DestroyClient, (uint32_t h), (h))
NOTED(cmd, DisconnectClient, (uint32_t h), (h))
NOTED(cmd, GetClientInfo, (uint32_t h, netclients::TCMDClientInfo* info), (h, info))
NOTED(cmd, DestroyClient, (uint32_t h), (h))
#undef NOTED

// Binds the noting table while it lives; made while no client exists.
class NotedCalls {
public:
  NotedCalls() {
    g_caller = std::this_thread::get_id();
    g_library = netclients::NetworkApi();
    netclients::TNetworkApi noted = g_library;
    noted.p2p.ClientLogout = &Noted_p2pClientLogout;
    noted.p2p.GetClientInfo = &Noted_p2pGetClientInfo;
    noted.p2p.DestroyClient = &Noted_p2pDestroyClient;
    noted.avs.ClientLogout = &Noted_avsClientLogout;
    noted.avs.GetClientInfo = &Noted_avsGetClientInfo;
    noted.avs.DestroyClient = &Noted_avsDestroyClient;
    noted.cmd.DisconnectClient = &Noted_cmdDisconnectClient;
    noted.cmd.GetClientInfo = &Noted_cmdGetClientInfo;
    noted.cmd.DestroyClient = &Noted_cmdDestroyClient;
    netclients::SetNetworkApi(noted);
  }
  ~NotedCalls() { netclients::SetNetworkApi(g_library); }
  Names Take() {
    Names taken;
    taken.swap(g_calls);
    return taken;
  }
};

// Every hook call: the hook id and the first word of the connection's GUID.
std::mutex g_lock;
std::condition_variable g_called;
std::vector<std::pair<int32_t, uint32_t>> g_hookCalls;

int32_t NETRIK_CALL RecordHook(int32_t, int32_t id, uint32_t, void* info, uint32_t) {
  std::lock_guard<std::mutex> guard(g_lock);
  g_hookCalls.emplace_back(id, static_cast<TConnectionHookInfo*>(info)->ObjID.Data1);
  g_called.notify_all();
  return 0;
}

// Waits (at most five seconds) until the hooks have been called that often. Seeing the up
// events first also makes sure that the network library's thread runs: until it does, a
// client's destruction does not wait for its queued events.
bool WaitForHookCalls(size_t count) {
  std::unique_lock<std::mutex> guard(g_lock);
  return g_called.wait_for(guard, std::chrono::seconds(5), [&] { return g_hookCalls.size() >= count; });
}

class Freeing : public ::testing::Test {
protected:
  void SetUp() override {
    netrik::ClearSysHooks();
    g_hookCalls.clear();
    ASSERT_EQ(InitNetrik(nullptr), -1);
  }
  void TearDown() override {
    UnInitNetrik();
    netrik::ClearSysHooks();
  }
  void Open(int32_t kind, const TNetrikGUID& id) {
    ASSERT_EQ(CreateConnection(kind, &id, "127.0.0.1", server_.Port()), -1);
    ASSERT_EQ(OpenConnection(&id), -1);
  }
  // Shortens how long the network library waits for a callback while the client goes.
  static void SetTerminateWaitTime(const TNetrikGUID& id, int32_t ms) {
    dynamic_cast<netclients::TAVSClient&>(*netrik::NetrikInstance->FindConnectionItem(&id)->Client)
        .SetTerminateWaitTime(ms);
  }
  network::LoopbackServer server_;
};

// Freeing a connection logs it out or disconnects it, reads its record back and destroys
// its library client, once each; UnInitNetrik frees the connections newest first, each
// whole. Each connection goes down once before it is gone.
TEST_F(Freeing, EachConnectionIsEndedOnceNewestFirst) {
  NotedCalls calls;
  for (int32_t hook = 1; hook <= 6; ++hook) RegisterSysHookProc(0, hook, 0, &RecordHook);
  Open(NETRIK_KIND_COMMAND, Id(1));
  Open(NETRIK_KIND_AUDIOVIDEO, Id(2));
  Open(NETRIK_KIND_P2PFILE, Id(3));
  ASSERT_TRUE(WaitForHookCalls(3));
  calls.Take();
  TNetrikGUID avs = Id(2);
  DestroyConnection(&avs);
  EXPECT_EQ(calls.Take(), (Names{"avsClientLogout", "avsGetClientInfo", "avsDestroyClient"}));
  UnInitNetrik();
  EXPECT_EQ(calls.Take(), (Names{"p2pClientLogout", "p2pGetClientInfo", "p2pDestroyClient",
                                 "cmdDisconnectClient", "cmdGetClientInfo", "cmdDestroyClient"}));
  std::lock_guard<std::mutex> guard(g_lock);
  std::vector<std::pair<int32_t, uint32_t>> downs;
  for (const auto& call : g_hookCalls)
    if (call.first % 2 == 0) downs.push_back(call);
  EXPECT_EQ(downs, (std::vector<std::pair<int32_t, uint32_t>>{{4, 2}, {6, 3}, {2, 1}}));
}

// A hook still running when the host calls UnInitNetrik, past the network library's wait for
// it, or one that ended Netrik itself and goes on (the host's UnInitNetrik finds nothing left
// to free): UnInitNetrik returns once it has returned, so that unloading the library right
// after has nothing left to wait for.
std::promise<void>* g_hookStarted = nullptr;
std::atomic<bool> g_hookEnded{false};
int32_t NETRIK_CALL SlowHook(int32_t, int32_t, uint32_t, void*, uint32_t) {
  g_hookStarted->set_value();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  g_hookEnded = true;
  return 0;
}
int32_t NETRIK_CALL EndingHook(int32_t c, int32_t id, uint32_t data, void* info, uint32_t r) {
  UnInitNetrik();
  return SlowHook(c, id, data, info, r);
}

TEST_F(Freeing, UnInitNetrikReturnsOnceNoHookRuns) {
  for (TSysHookProc hook : {&SlowHook, &EndingHook}) {
    SCOPED_TRACE(hook == &SlowHook ? "slow hook" : "hook that ended Netrik");
    std::promise<void> started;
    g_hookStarted = &started;
    g_hookEnded = false;
    netrik::ClearSysHooks();
    RegisterSysHookProc(0, NETRIK_HOOK_AVS_LOGIN, 0, hook);
    ASSERT_EQ(InitNetrik(nullptr), -1);
    TNetrikGUID id = Id(4);
    ASSERT_EQ(CreateConnection(NETRIK_KIND_AUDIOVIDEO, &id, "127.0.0.1", server_.Port()), -1);
    SetTerminateWaitTime(id, 50);
    ASSERT_EQ(OpenConnection(&id), -1);
    started.get_future().wait();
    UnInitNetrik();
    EXPECT_TRUE(g_hookEnded);
  }
}

// A down hook that starts over while the library unloads makes nothing: no instance
// outlives the unloading, whose hook registry its events would reach.
int32_t g_initAnswer = 1;
int g_listenerPort = 0;
int32_t NETRIK_CALL StartOverHook(int32_t, int32_t, uint32_t, void*, uint32_t) {
  g_initAnswer = InitNetrik(nullptr);
  TNetrikGUID id = Id(6);
  CreateConnection(NETRIK_KIND_AUDIOVIDEO, &id, "127.0.0.1", g_listenerPort);
  OpenConnection(&id);
  return 0;
}

TEST_F(Freeing, NothingStartsOverOnceUnloadingHasBegun) {
  g_listenerPort = server_.Port();
  g_initAnswer = 1;
  RegisterSysHookProc(0, NETRIK_HOOK_AVS_LOGIN, 0, &RecordHook);
  RegisterSysHookProc(0, NETRIK_HOOK_AVS_LOGOUT, 0, &StartOverHook);
  Open(NETRIK_KIND_AUDIOVIDEO, Id(5));
  ASSERT_TRUE(WaitForHookCalls(1));
  netrik::NetrikLibraryUnload();
  EXPECT_EQ(netrik::NetrikInstance, nullptr);
  netrik::NetrikLibraryLoad();
  EXPECT_EQ(g_initAnswer, 0);
}

}  // namespace
