#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Netrik.h"
#include "NetrikLibrary.h"
#include "netclients/AvsSvc.h"
#include "netclients/CmdSvc.h"
#include "netclients/NetworkApi.h"
#include "netclients/P2PFile.h"
#include "netrik_test_support.h"
#include "network/Loopback.h"
#include "uNetrik.h"
#include "uSysHooks.h"

using netrik_test::DebugCapture;

namespace {

TNetrikGUID Id(uint32_t n) { return TNetrikGUID{n, 0xBEEF, 0x4A5B, {1, 2, 3, 4, 5, 6, 7, 8}}; }

// Every hook call, kept with a copy of its record.
struct HookCall {
  int32_t Category, HookID;
  uint32_t HookData, Reserved;
  TConnectionHookInfo Info;
};

std::mutex g_lock;
std::condition_variable g_changed;
std::vector<HookCall> g_hookCalls;

int32_t NETRIK_CALL RecordHook(int32_t c, int32_t id, uint32_t data, void* info, uint32_t r) {
  HookCall call{c, id, data, r, {}};
  std::memcpy(&call.Info, info, sizeof call.Info);
  std::lock_guard<std::mutex> guard(g_lock);
  g_hookCalls.push_back(call);
  g_changed.notify_all();
  return 0;
}

int32_t NETRIK_CALL OtherHook(int32_t, int32_t, uint32_t, void*, uint32_t) { return 0; }
int32_t NETRIK_CALL ThrowingHook(int32_t, int32_t, uint32_t, void*, uint32_t) { throw 42; }

// The first word of the connection's settings record, as its client last read it.
int32_t InfoHeaderOf(const TNetrikGUID& id) {
  plat::TComponent* client = netrik::NetrikInstance->FindConnectionItem(&id)->Client;
  if (auto* c = dynamic_cast<netclients::TCMDClient*>(client)) return c->GetInfoHeader();
  if (auto* c = dynamic_cast<netclients::TAVSClient*>(client)) return c->GetInfoHeader();
  if (auto* c = dynamic_cast<netclients::TP2PClient*>(client)) return c->GetInfoHeader();
  return 0;
}

// Waits (at most five seconds) for a call of the hook id; its record, or nullptr.
void ClearHookCalls() {
  std::lock_guard<std::mutex> guard(g_lock);
  g_hookCalls.clear();
}

bool WaitForHook(int32_t hookID, HookCall* out) {
  std::unique_lock<std::mutex> guard(g_lock);
  bool found = g_changed.wait_for(guard, std::chrono::seconds(5), [&] {
    for (const HookCall& c : g_hookCalls)
      if (c.HookID == hookID) return true;
    return false;
  });
  if (!found) return false;
  for (const HookCall& c : g_hookCalls)
    if (c.HookID == hookID) {
      *out = c;
      break;
    }
  return true;
}

class Connections : public ::testing::Test {
protected:
  void SetUp() override {
    netrik::ClearSysHooks();
    std::lock_guard<std::mutex> guard(g_lock);
    g_hookCalls.clear();
  }
  void TearDown() override {
    UnInitNetrik();
    netrik::ClearSysHooks();
  }
  static void Init() { ASSERT_EQ(InitNetrik(nullptr), -1); }
};

}  // namespace

TEST_F(Connections, EveryExportDoesNothingWithoutInstance) {
  DebugCapture capture;
  TNetrikGUID id = Id(1);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round == 0 ? "before InitNetrik" : "after UnInitNetrik");
    EXPECT_EQ(CreateConnection(NETRIK_KIND_COMMAND, &id, "127.0.0.1", 1), 0);
    EXPECT_EQ(FindConnection(&id), 0);
    EXPECT_EQ(OpenConnection(&id), 0);
    EXPECT_EQ(IsConnectionActive(&id), 0);
    EXPECT_EQ(CanConnectionClose(&id), 0);
    EXPECT_EQ(NewConnectionRoutingID(&id), -1);
    CloseConnection(&id);
    ModifyConnection(NETRIK_KIND_COMMAND, &id, "h", 2);
    DestroyConnection(&id);
    StartNetrik();
    StopNetrik();
    UnInitNetrik();
    if (round == 0) {
      Init();
      EXPECT_EQ(CreateConnection(NETRIK_KIND_AUDIOVIDEO, &id, "127.0.0.1", 1), -1);
      UnInitNetrik();
      UnInitNetrik();  // a second one does nothing
    }
  }
  EXPECT_TRUE(capture.Lines().empty());
}

TEST_F(Connections, TableKeyedByGuidWhateverTheKind) {
  DebugCapture capture;
  Init();
  TNetrikGUID a = Id(1), b = Id(2);
  EXPECT_EQ(CreateConnection(NETRIK_KIND_AUDIOVIDEO, &a, "127.0.0.1", 1), -1);
  EXPECT_EQ(NewConnectionRoutingID(&a), 1);
  for (int kind : {1, 2, 3}) EXPECT_EQ(CreateConnection(kind, &a, "127.0.0.1", 9), 0) << kind;
  // The first is untouched: still an audio/video connection with its routing counter.
  EXPECT_EQ(NewConnectionRoutingID(&a), 2);
  for (int kind : {0, 4, -1}) {
    EXPECT_EQ(CreateConnection(kind, &b, "127.0.0.1", 1), 0) << kind;
    EXPECT_EQ(FindConnection(&b), 0) << kind;
  }
  EXPECT_EQ(netrik::NetrikInstance->Connections().Count(), 1);
  DestroyConnection(&b);  // not in the table: nothing
  EXPECT_EQ(FindConnection(&a), -1);
  DestroyConnection(&a);
  EXPECT_EQ(FindConnection(&a), 0);
  EXPECT_EQ(netrik::NetrikInstance->Connections().Count(), 0);
  EXPECT_TRUE(capture.Lines().empty());
}

// The network library refuses one call while a connection is being built.
int32_t NETRIK_CALL RefuseCreate(netclients::TP2PClientBlock*) { return -1; }
int32_t NETRIK_CALL RefuseObjID(uint32_t, const plat::Guid*) { return 3; }
int32_t NETRIK_CALL RefuseInfo(uint32_t, const netclients::TP2PClientInfo*) { return 1; }

// A command client is made to use its own thread for commands; every client stops raising
// the library's result codes once it is set up. Failures while it is set up are reported,
// and the connection stays in the table as far as it got.
TEST_F(Connections, CreateConnectionSetsUpTheClientOrReportsWhereItStopped) {
  Init();
  TNetrikGUID cmd = Id(1);
  ASSERT_EQ(CreateConnection(NETRIK_KIND_COMMAND, &cmd, "127.0.0.1", 7), -1);
  auto* client =
      dynamic_cast<netclients::TCMDClient*>(netrik::NetrikInstance->FindConnectionItem(&cmd)->Client);
  ASSERT_NE(client, nullptr);
  EXPECT_TRUE(client->UseComInThread());
  EXPECT_FALSE(client->ShowDebugInfo());

  struct Case {
    decltype(netclients::TLoginClientFunctions::CreateClient) create;
    decltype(netclients::TLoginClientFunctions::SetClientObjID) objID;
    decltype(netclients::TLoginClientFunctions::SetClientInfo) info;
    const char* message;
    int32_t found;  // FindConnection under the host's GUID afterwards
  };
  const netclients::TNetworkApi api = netclients::NetworkApi();
  const Case cases[] = {
      {&RefuseCreate, api.avs.SetClientObjID, api.avs.SetClientInfo, "音视频客户端遇到未知错误", 0},
      {api.avs.CreateClient, &RefuseObjID, api.avs.SetClientInfo, "音视频客户端对象不存在", 0},
      {api.avs.CreateClient, api.avs.SetClientObjID, &RefuseInfo, "音视频客户端检测到无效句柄", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    TNetrikGUID id = Id(2);
    int count = netrik::NetrikInstance->Connections().Count();
    netclients::TNetworkApi refusing = api;
    refusing.avs.CreateClient = c.create;
    refusing.avs.SetClientObjID = c.objID;
    refusing.avs.SetClientInfo = c.info;
    DebugCapture capture;
    netclients::SetNetworkApi(refusing);
    int32_t created = CreateConnection(NETRIK_KIND_AUDIOVIDEO, &id, "127.0.0.1", 7);
    netclients::SetNetworkApi(api);
    EXPECT_EQ(created, 0);
    EXPECT_EQ(capture.Lines(), std::vector<std::string>{netrik_test::ReportLine(
                                   c.message, "uNetrik", "CreateConnection")});
    EXPECT_EQ(netrik::NetrikInstance->Connections().Count(), count + 1);
    EXPECT_EQ(FindConnection(&id), c.found);
    // One found under the GUID is that connection: it blocks the GUID until destroyed.
    if (c.found) {
      EXPECT_EQ(CreateConnection(NETRIK_KIND_AUDIOVIDEO, &id, "127.0.0.1", 7), 0);
      DestroyConnection(&id);
      EXPECT_EQ(FindConnection(&id), 0);
    }
  }
}

TEST_F(Connections, RoutingNumbersPerConnection) {
  Init();
  TNetrikGUID avs = Id(1), p2p = Id(2), cmd = Id(3), none = Id(4);
  CreateConnection(NETRIK_KIND_AUDIOVIDEO, &avs, "127.0.0.1", 1);
  CreateConnection(NETRIK_KIND_P2PFILE, &p2p, "127.0.0.1", 1);
  CreateConnection(NETRIK_KIND_COMMAND, &cmd, "127.0.0.1", 1);
  EXPECT_EQ(NewConnectionRoutingID(&avs), 1);
  EXPECT_EQ(NewConnectionRoutingID(&p2p), 1);
  EXPECT_EQ(NewConnectionRoutingID(&avs), 2);
  EXPECT_EQ(NewConnectionRoutingID(&avs), 3);
  EXPECT_EQ(NewConnectionRoutingID(&cmd), -1);
  EXPECT_EQ(NewConnectionRoutingID(&none), -1);
  DestroyConnection(&avs);
  EXPECT_EQ(NewConnectionRoutingID(&avs), -1);
  CreateConnection(NETRIK_KIND_AUDIOVIDEO, &avs, "127.0.0.1", 1);
  EXPECT_EQ(NewConnectionRoutingID(&avs), 1);
  // A second InitNetrik keeps the instance and its connections.
  Init();
  EXPECT_EQ(NewConnectionRoutingID(&avs), 2);
  EXPECT_EQ(FindConnection(&cmd), -1);
  // The counter is a 32-bit value and goes on past its largest one.
  netrik::NetrikInstance->FindConnectionItem(&p2p)->RoutingID = INT32_MAX;
  EXPECT_EQ(NewConnectionRoutingID(&p2p), INT32_MIN);
  EXPECT_EQ(NewConnectionRoutingID(&p2p), INT32_MIN + 1);
}

TEST_F(Connections, OpenCloseAndActiveStateForEachKind) {
  DebugCapture capture;
  Init();
  network::LoopbackServer server;
  int closed = network::ClosedLoopbackPort();
  for (int kind : {1, 2, 3}) {
    SCOPED_TRACE(kind);
    TNetrikGUID up = Id(10 + kind), down = Id(20 + kind);
    ASSERT_EQ(CreateConnection(kind, &up, "127.0.0.1", server.Port()), -1);
    ASSERT_EQ(CreateConnection(kind, &down, "127.0.0.1", closed), -1);
    EXPECT_EQ(IsConnectionActive(&up), 0);
    EXPECT_EQ(OpenConnection(&up), -1);
    EXPECT_EQ(IsConnectionActive(&up), -1);
    EXPECT_EQ(CanConnectionClose(&up), 0);
    // A refused connect shows only as an inactive connection, without a report.
    EXPECT_EQ(OpenConnection(&down), 0);
    EXPECT_EQ(IsConnectionActive(&down), 0);
    EXPECT_EQ(CanConnectionClose(&down), 0);
    CloseConnection(&up);
    EXPECT_EQ(IsConnectionActive(&up), 0);
    EXPECT_EQ(OpenConnection(&up), -1);  // opened again
  }
  TNetrikGUID none = Id(99);
  EXPECT_EQ(OpenConnection(&none), 0);
  EXPECT_EQ(CanConnectionClose(&none), 0);
  EXPECT_TRUE(capture.Lines().empty());
}

TEST_F(Connections, ModifyOnlyWhileInactive) {
  Init();
  network::LoopbackServer first, second;
  TNetrikGUID id = Id(1);
  RegisterSysHookProc(0, NETRIK_HOOK_AVS_LOGIN, 0, &RecordHook);
  CreateConnection(NETRIK_KIND_AUDIOVIDEO, &id, "127.0.0.1", first.Port());
  ASSERT_EQ(OpenConnection(&id), -1);
  HookCall call;
  // Each login's event comes on the library's thread: wait for it before the next login, so
  // that the event looked at is that login's own.
  ASSERT_TRUE(WaitForHook(NETRIK_HOOK_AVS_LOGIN, &call));
  ModifyConnection(NETRIK_KIND_AUDIOVIDEO, &id, "127.0.0.2", network::ClosedLoopbackPort());
  CloseConnection(&id);
  ClearHookCalls();
  ASSERT_EQ(OpenConnection(&id), -1);  // host and port were left as they were
  ASSERT_TRUE(WaitForHook(NETRIK_HOOK_AVS_LOGIN, &call));
  EXPECT_EQ(call.Info.ServerPort, first.Port());
  CloseConnection(&id);
  // Inactive: the change applies, but only under the connection's own kind.
  ModifyConnection(NETRIK_KIND_COMMAND, &id, "127.0.0.1", network::ClosedLoopbackPort());
  ModifyConnection(NETRIK_KIND_AUDIOVIDEO, &id, "127.0.0.1", second.Port());
  ClearHookCalls();
  ASSERT_EQ(OpenConnection(&id), -1);
  ASSERT_TRUE(WaitForHook(NETRIK_HOOK_AVS_LOGIN, &call));
  EXPECT_EQ(call.Info.ServerPort, second.Port());
}

TEST_F(Connections, EachEventCallsTheFirstHookWithTheRecord) {
  DebugCapture capture;
  Init();
  network::LoopbackServer server;
  for (int id = 1; id <= 6; ++id) {
    RegisterSysHookProc(1, id, 0, &OtherHook);  // another category: never called
    RegisterSysHookProc(0, id, 0x700 + id, &RecordHook);
    RegisterSysHookProc(0, id, 0x800 + id, &OtherHook);  // second for the pair: never called
  }
  struct Kind {
    int32_t kind, upHook, downHook;
  };
  for (Kind k : {Kind{1, 1, 2}, Kind{2, 3, 4}, Kind{3, 5, 6}}) {
    SCOPED_TRACE(k.kind);
    TNetrikGUID id = Id(0xC0DE0000u + k.kind);
    ASSERT_EQ(CreateConnection(k.kind, &id, "127.0.0.1", server.Port()), -1);
    ASSERT_EQ(OpenConnection(&id), -1);
    HookCall up;
    ASSERT_TRUE(WaitForHook(k.upHook, &up));
    CloseConnection(&id);
    HookCall down;
    ASSERT_TRUE(WaitForHook(k.downHook, &down));
    const int32_t header = InfoHeaderOf(id);
    EXPECT_NE(header, 0);
    for (const HookCall* c : {&up, &down}) {
      EXPECT_EQ(c->Category, 0);
      EXPECT_EQ(c->Info.InfoHeader, header);
      EXPECT_EQ(c->HookData, 0x700u + c->HookID);
      EXPECT_EQ(c->Reserved, 0u);
      EXPECT_EQ(std::memcmp(&c->Info.ObjID, &id, 16), 0);
      EXPECT_STREQ(c->Info.ServerHost, "127.0.0.1");
      for (size_t i = 9; i < sizeof c->Info.ServerHost; ++i) ASSERT_EQ(c->Info.ServerHost[i], 0);
      EXPECT_EQ(c->Info.ServerPort, server.Port());
    }
    EXPECT_EQ(up.Info.Active, -1);
    EXPECT_NE(up.Info.LocalPort, 0);
    EXPECT_EQ(down.Info.Active, 0);
  }
  std::lock_guard<std::mutex> guard(g_lock);
  EXPECT_EQ(g_hookCalls.size(), 6u);
  EXPECT_TRUE(capture.Lines().empty());
}

// Holds the hook registry's lock for a while from inside an enumeration, once it has said so.
std::promise<void>* g_enumerating = nullptr;
int32_t NETRIK_CALL SlowEnumeration(int32_t, int32_t, uint32_t, TSysHookProc, uint32_t) {
  g_enumerating->set_value();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  return 0;
}

// A login handler whose hook lookup waits for a slow enumeration outlasts the network
// library's wait for the running callback: freeing the client, or unloading the library,
// waits for it all the same.
TEST_F(Connections, HandlerHeldUpByAnEnumerationKeepsItsClient) {
  network::LoopbackServer server;
  for (bool unload : {false, true}) {
    SCOPED_TRACE(unload ? "unload" : "DestroyConnection");
    RegisterSysHookProc(0, NETRIK_HOOK_AVS_LOGIN, 0, &RecordHook);
    RegisterSysHookProc(7, 7, 0, &OtherHook);
    Init();
    TNetrikGUID id = Id(0xE0 + unload);
    ASSERT_EQ(CreateConnection(NETRIK_KIND_AUDIOVIDEO, &id, "127.0.0.1", server.Port()), -1);
    auto* client = dynamic_cast<netclients::TAVSClient*>(
        netrik::NetrikInstance->FindConnectionItem(&id)->Client);
    client->SetTerminateWaitTime(100);
    std::promise<void> handlerStarted;
    client->OnLogin = [&](plat::TComponent* sender) {
      handlerStarted.set_value();
      netrik::TNetrik::AVSClientConnect(sender);
    };
    std::promise<void> enumerating;
    g_enumerating = &enumerating;
    std::thread enumeration([] { EnumSysHookProcs(7, 7, 0, &SlowEnumeration, 0); });
    enumerating.get_future().wait();
    ASSERT_EQ(OpenConnection(&id), -1);
    ASSERT_EQ(handlerStarted.get_future().wait_for(std::chrono::seconds(5)),
              std::future_status::ready);
    // Time to read the client; then it waits for the lookup, well past the wait of 100 ms.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    HookCall call;
    if (unload) {
      netrik::NetrikLibraryUnload();
      std::lock_guard<std::mutex> guard(g_lock);
      ASSERT_EQ(g_hookCalls.size(), 1u);  // called before the unloading ended
      call = g_hookCalls[0];
    } else {
      DestroyConnection(&id);
      ASSERT_TRUE(WaitForHook(NETRIK_HOOK_AVS_LOGIN, &call));
    }
    enumeration.join();
    if (unload) netrik::NetrikLibraryLoad();
    EXPECT_EQ(std::memcmp(&call.Info.ObjID, &id, sizeof id), 0);
    EXPECT_EQ(call.Info.ServerPort, server.Port());
    std::lock_guard<std::mutex> guard(g_lock);
    g_hookCalls.clear();
  }
}

// A connection that goes while it is up reports its end: once DestroyConnection,
// UnInitNetrik or the unloading of the library has returned, its down hook has been called,
// after its up hook.
TEST_F(Connections, OpenConnectionsReportTheirEndBeforeTheyAreGone) {
  network::LoopbackServer server;
  const char* const ways[] = {"DestroyConnection", "UnInitNetrik", "unload"};
  for (int round = 0; round < 6; ++round) {
    const char* way = ways[round % 3];
    SCOPED_TRACE(way);
    for (int id = 1; id <= 6; ++id) RegisterSysHookProc(0, id, 0, &RecordHook);
    Init();
    std::vector<TNetrikGUID> ids;
    for (int kind : {1, 2, 3}) {
      ids.push_back(Id(0xD0000000u + round * 4 + kind));
      ASSERT_EQ(CreateConnection(kind, &ids.back(), "127.0.0.1", server.Port()), -1);
      ASSERT_EQ(OpenConnection(&ids.back()), -1);
    }
    if (round % 3 == 0) {
      for (const TNetrikGUID& id : ids) DestroyConnection(&id);
    } else if (round % 3 == 1) {
      UnInitNetrik();
    } else {
      netrik::NetrikLibraryUnload();
      netrik::NetrikLibraryLoad();
    }
    std::lock_guard<std::mutex> guard(g_lock);
    for (size_t k = 0; k < ids.size(); ++k) {
      std::vector<int32_t> seen;
      for (const HookCall& c : g_hookCalls)
        if (std::memcmp(&c.Info.ObjID, &ids[k], sizeof ids[k]) == 0) seen.push_back(c.HookID);
      const int32_t up = static_cast<int32_t>(2 * k + 1);
      EXPECT_EQ(seen, (std::vector<int32_t>{up, up + 1})) << "kind " << k + 1;
    }
    g_hookCalls.clear();
  }
}

TEST_F(Connections, RecordHostIsCutTo127BytesAndAlwaysTerminated) {
  Init();
  RegisterSysHookProc(0, NETRIK_HOOK_P2P_LOGIN, 5, &RecordHook);
  for (size_t length : {0u, 126u, 127u, 128u, 200u}) {
    SCOPED_TRACE(length);
    TNetrikGUID id = Id(static_cast<uint32_t>(length) + 1);
    std::string host(length, 'h');
    ASSERT_EQ(CreateConnection(NETRIK_KIND_P2PFILE, &id, host.c_str(), 7), -1);
    {
      std::lock_guard<std::mutex> guard(g_lock);
      g_hookCalls.clear();
    }
    // The handler reads the client as it stands; the library need not be involved.
    netrik::TNetrik* n = netrik::NetrikInstance;
    n->P2PClientConnect(n->FindConnectionItem(&id)->Client);
    HookCall call;
    ASSERT_TRUE(WaitForHook(NETRIK_HOOK_P2P_LOGIN, &call));
    size_t kept = length < 127 ? length : 127;
    EXPECT_EQ(std::string(call.Info.ServerHost, kept), host.substr(0, kept));
    for (size_t i = kept; i < 128; ++i) ASSERT_EQ(call.Info.ServerHost[i], 0) << i;
    EXPECT_EQ(call.Info.Active, 0);
    EXPECT_EQ(call.Info.ServerPort, 7);
  }
}

TEST_F(Connections, HandlerReportsANilHookOrWhatItsHookThrows) {
  DebugCapture capture;
  Init();
  TNetrikGUID cmd = Id(1), avs = Id(2);
  ASSERT_EQ(CreateConnection(NETRIK_KIND_COMMAND, &cmd, "127.0.0.1", 7), -1);
  ASSERT_EQ(CreateConnection(NETRIK_KIND_AUDIOVIDEO, &avs, "127.0.0.1", 7), -1);
  RegisterSysHookProc(0, NETRIK_HOOK_CMD_DISCONNECT, 0, &ThrowingHook);
  // The registry takes any value, a null procedure too; the handler must not call it.
  RegisterSysHookProc(0, NETRIK_HOOK_AVS_LOGIN, 0, nullptr);
  netrik::TNetrik* n = netrik::NetrikInstance;
  // Reported under the handler's name, whatever was thrown; nothing reaches the component.
  n->CMDClientDisconnect(n->FindConnectionItem(&cmd)->Client);
  n->AVSClientConnect(n->FindConnectionItem(&avs)->Client);
  EXPECT_EQ(capture.Lines(),
            (std::vector<std::string>{
                netrik_test::ReportLine("Unknown exception", "uNetrik", "CMDClientDisconnect"),
                netrik_test::ReportLine("Invalid hook procedure (nil)", "uNetrik",
                                        "AVSClientConnect")}));
}

TEST_F(Connections, NoHookNoCallNoReport) {
  DebugCapture capture;
  Init();
  network::LoopbackServer server;
  RegisterSysHookProc(1, NETRIK_HOOK_CMD_CONNECT, 0, &RecordHook);
  TNetrikGUID id = Id(1);
  CreateConnection(NETRIK_KIND_COMMAND, &id, "127.0.0.1", server.Port());
  ASSERT_EQ(OpenConnection(&id), -1);
  CloseConnection(&id);
  DestroyConnection(&id);
  std::lock_guard<std::mutex> guard(g_lock);
  EXPECT_TRUE(g_hookCalls.empty());
  EXPECT_TRUE(capture.Lines().empty());
}

TEST_F(Connections, HooksSurviveUnInitAndNullIdentityIsReported) {
  RegisterSysHookProc(0, NETRIK_HOOK_AVS_LOGIN, 1, &RecordHook);
  Init();
  UnInitNetrik();
  Init();
  uint32_t data = 0;
  TSysHookProc proc = nullptr;
  EXPECT_EQ(GetSysHookProc(0, NETRIK_HOOK_AVS_LOGIN, &data, &proc), -1);
  EXPECT_EQ(proc, &RecordHook);

  DebugCapture capture;
  EXPECT_EQ(FindConnection(nullptr), 0);
  EXPECT_EQ(NewConnectionRoutingID(nullptr), -1);
  EXPECT_EQ(CreateConnection(NETRIK_KIND_COMMAND, nullptr, "h", 1), 0);
  ASSERT_EQ(capture.Lines().size(), 3u);
  EXPECT_EQ(capture.Lines()[0],
            netrik_test::ReportLine("Invalid ObjID pointer (nil)", "uNetrik", "FindConnection"));
  EXPECT_NE(capture.Lines()[2].find("CreateConnection"), std::string::npos);
}
