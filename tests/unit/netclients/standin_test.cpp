// The network library stand-in against real loopback listeners: natively the static
// library bound through SetNetworkApi, under Wine Network.dll imported by name.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "netclients/AvsSvc.h"
#include "netclients/CmdSvc.h"
#include "netclients/P2PFile.h"
#include "network/Loopback.h"
#include "network/StandIn.h"

namespace {

using namespace std::chrono_literals;
using netclients::NetworkApi;

class StandIn : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
#if !defined(_WIN32)
    netclients::SetNetworkApi(network::StandInApi());
#endif
  }
};

// What the callbacks saw, waited for with a bound.
struct Events {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> seen;
  std::set<std::thread::id> threads;

  void Add(const std::string& what) {
    std::lock_guard<std::mutex> hold(mutex);
    seen.push_back(what);
    threads.insert(std::this_thread::get_id());
    changed.notify_all();
  }
  bool WaitFor(size_t count, std::chrono::milliseconds limit = 5000ms) {
    std::unique_lock<std::mutex> hold(mutex);
    return changed.wait_for(hold, limit, [&] { return seen.size() >= count; });
  }
  std::vector<std::string> Seen() {
    std::lock_guard<std::mutex> hold(mutex);
    return seen;
  }
};

TEST_F(StandIn, NewClientsHaveDistinctHandlesAndTheStreamDefaults) {
  netclients::TP2PClient p2p;
  netclients::TAVSClient avs;
  netclients::TCMDClient cmd;
  std::set<uint32_t> handles = {p2p.ClientBlock().Handle, avs.ClientBlock().Handle,
                                cmd.ClientBlock().Handle};
  EXPECT_EQ(3u, handles.size());
  EXPECT_EQ(0u, handles.count(0));
  EXPECT_FALSE(p2p.Logined());
  EXPECT_TRUE(p2p.ReuseAddr());
  EXPECT_EQ(65536, avs.RecvBufferSize());
  EXPECT_EQ(1500, avs.HeartbeatInterval());
  EXPECT_EQ(5000, p2p.P2PConnectWaitTime());
  EXPECT_EQ(32768, cmd.SendBufferSize());
  EXPECT_EQ(15, cmd.HeartbeatInterval());
  EXPECT_EQ(1400, cmd.MTUSize());
  EXPECT_EQ(5, cmd.Linger());
  EXPECT_TRUE(cmd.CanReconnect());
  EXPECT_FALSE(cmd.UseComInThread());
  EXPECT_EQ(204, cmd.GetInfoHeader());
  EXPECT_EQ(324, p2p.GetInfoHeader());
  // Another kind's handle is no handle of this kind.
  netclients::TP2PClientInfo info;
  EXPECT_EQ(1, NetworkApi().avs.GetClientInfo(p2p.ClientBlock().Handle, &info));
  EXPECT_EQ(1, NetworkApi().cmd.ConnectClient(0));
}

TEST_F(StandIn, CommandClientConnectsReportsItsLocalPortAndDisconnects) {
  network::LoopbackListener server;
  ASSERT_TRUE(server.Listening());
  Events events;
  netclients::TCMDClient client;
  client.SetServerHost("127.0.0.1");
  client.SetServerPort(server.Port());
  client.SetUseComInThread(true);
  client.OnConnect = [&](plat::TComponent*) {
    events.Add(client.Connected() ? "connect:up" : "connect:down");
  };
  client.OnDisconnect = [&](plat::TComponent*) {
    events.Add(client.Connected() ? "disconnect:up" : "disconnect:down");
  };
  EXPECT_EQ(0, client.Connect());
  EXPECT_TRUE(client.Connected());
  ASSERT_GE(server.Accept(5000), 0);
  EXPECT_NE(0, client.LocalPort());
  EXPECT_EQ(server.PeerPort(0), client.LocalPort());
  // Frozen while connected.
  client.SetServerPort(1);
  EXPECT_EQ(server.Port(), client.ServerPort());
  ASSERT_TRUE(events.WaitFor(1));
  client.Disconnect();
  EXPECT_FALSE(client.Connected());
  EXPECT_EQ(0, client.LocalPort());
  ASSERT_TRUE(events.WaitFor(2));
  EXPECT_EQ((std::vector<std::string>{"connect:up", "disconnect:down"}), events.Seen());
  EXPECT_EQ(0u, events.threads.count(std::this_thread::get_id()));  // the library's thread
}

TEST_F(StandIn, ConnectAndLoginFailOnAClosedPort) {
  int port = network::ClosedLoopbackPort();
  netclients::TCMDClient cmd;
  cmd.SetServerHost("127.0.0.1");
  cmd.SetServerPort(port);
  try {
    cmd.Connect();
    ADD_FAILURE() << "no exception";
  } catch (const plat::Exception& e) {
    EXPECT_EQ("命令客户端连接失败", e.Message());
  }
  cmd.SetShowDebugInfo(false);
  EXPECT_EQ(4, cmd.Connect());
  EXPECT_FALSE(cmd.Connected());

  netclients::TAVSClient avs;
  avs.SetShowDebugInfo(false);
  avs.SetServerHost("127.0.0.1");
  avs.SetServerPort(port);
  EXPECT_EQ(4, avs.Login());
  EXPECT_FALSE(avs.Logined());
  avs.SetServerHost("");
  EXPECT_EQ(4, avs.Login());
}

TEST_F(StandIn, LoginGivesUpAfterLoginWaitTime) {
  // A listener whose queue is full: further connection attempts get no answer.
  network::LoopbackListener server(0);
  std::vector<std::unique_ptr<netclients::TP2PClient>> fillers;
  netclients::TP2PClient client;
  client.SetShowDebugInfo(false);
  client.SetServerHost("127.0.0.1");
  client.SetServerPort(server.Port());
  client.SetLoginWaitTime(300);
  int32_t code = 0;
  std::chrono::steady_clock::duration took{};
  for (int i = 0; i < 8 && code == 0; ++i) {  // fill the queue, then one more
    auto start = std::chrono::steady_clock::now();
    code = client.Login();
    took = std::chrono::steady_clock::now() - start;
    if (code == 0) {
      auto filler = std::make_unique<netclients::TP2PClient>();
      filler->SetServerHost("127.0.0.1");
      filler->SetServerPort(server.Port());
      client.Logout();
      client.SetLoginWaitTime(300);
      filler->SetShowDebugInfo(false);
      filler->SetLoginWaitTime(300);
      if (filler->Login() != 0) {
        code = 4;
        break;
      }
      fillers.push_back(std::move(filler));
    }
  }
  EXPECT_EQ(4, code);
  EXPECT_FALSE(client.Logined());
  EXPECT_LT(took, 4000ms);
}

TEST_F(StandIn, PeerCloseCausesTheLogoutCallbackAndAResetTheExceptionFirst) {
  network::LoopbackListener server;
  Events events;
  netclients::TP2PClient client;
  client.SetServerHost("127.0.0.1");
  client.SetServerPort(server.Port());
  client.OnLogin = [&](plat::TComponent*) { events.Add(client.Logined() ? "login:up" : "login:down"); };
  client.OnLogout = [&](plat::TComponent*) {
    events.Add(client.Logined() ? "logout:up" : "logout:down");
  };
  client.OnException = [&](plat::TComponent*, uint32_t thread, const std::string& msg) {
    events.Add(std::string("exception") + (msg.empty() || thread == 0 ? ":empty" : ""));
  };
  ASSERT_EQ(0, client.Login());
  ASSERT_GE(server.Accept(5000), 0);
  server.CloseAccepted(0);
  ASSERT_TRUE(events.WaitFor(2));
  EXPECT_EQ((std::vector<std::string>{"login:up", "logout:down"}), events.Seen());
  EXPECT_FALSE(client.Logined());

  ASSERT_EQ(0, client.Login());
  ASSERT_GE(server.Accept(5000), 1);
  server.CloseAccepted(1, /*reset=*/true);
#if defined(_WIN32)
  // Wine may hand a reset over as an orderly close; the logout comes either way.
  ASSERT_TRUE(events.WaitFor(4));
  std::this_thread::sleep_for(50ms);
  auto seen = events.Seen();
  if (seen.size() == 5) {
    EXPECT_EQ("exception", seen[3]);
  }
  EXPECT_EQ("logout:down", seen.back());
#else
  ASSERT_TRUE(events.WaitFor(5));
  EXPECT_EQ((std::vector<std::string>{"login:up", "logout:down", "login:up", "exception",
                                      "logout:down"}),
            events.Seen());
#endif
}

// The raw functions with an owner of the test's own: after DestroyClient returns, no
// callback of that client may start.
struct Watch {
  std::atomic<bool> destroyed{false};
  std::atomic<int> calls{0};
  std::atomic<int> late{0};
};

void PLAT_STDCALL WatchProc(void* owner) {
  auto* watch = static_cast<Watch*>(owner);
  if (watch->destroyed) ++watch->late;
  ++watch->calls;
  std::this_thread::sleep_for(1ms);  // widen the window
  if (watch->destroyed) ++watch->late;
}

TEST_F(StandIn, NoCallbackRunsAfterDestroyReturns) {
  network::LoopbackListener server;
  const auto& api = NetworkApi().cmd;
  std::vector<std::unique_ptr<Watch>> watches;
  int accepted = 0;
  for (int round = 0; round < 40; ++round) {
    auto watch = std::make_unique<Watch>();
    netclients::TCMDClientBlock block{};
    block.Owner = watch.get();
    ASSERT_EQ(0, api.CreateClient(&block));
    netclients::TCMDClientBackProcs procs{WatchProc, WatchProc};
    ASSERT_EQ(0, api.SetClientBackProc(block.Handle, &procs));
    netclients::TCMDClientInfo info;
    ASSERT_EQ(0, api.GetClientInfo(block.Handle, &info));
    std::snprintf(info.ServerHost, sizeof info.ServerHost, "127.0.0.1");
    info.ServerPort = server.Port();
    ASSERT_EQ(0, api.SetClientInfo(block.Handle, &info));
    ASSERT_EQ(0, api.ConnectClient(block.Handle));
    ASSERT_EQ(accepted, server.Accept(5000));
    server.CloseAccepted(accepted++);  // the disconnect callback races with the destroy
    if (round % 2) std::this_thread::sleep_for(std::chrono::microseconds(200 * (round % 7)));
    api.DisconnectClient(block.Handle);
    ASSERT_EQ(0, api.DestroyClient(block.Handle));
    watch->destroyed = true;
    EXPECT_EQ(1, api.DestroyClient(block.Handle));  // gone
    watches.push_back(std::move(watch));
  }
  std::this_thread::sleep_for(100ms);  // let anything queued come out
  int calls = 0;
  for (auto& watch : watches) {
    EXPECT_EQ(0, watch->late);
    calls += watch->calls;
  }
  EXPECT_GT(calls, 0);
}

// The owner frees the component from inside the library's logout callback, as a program does
// when its connection is lost. That callback comes once the peer closes, while no other
// thread is inside a call on the component (a login callback may still run while the
// caller is inside Login, so freeing the component there would pull it from under that
// call). DestroyClient on the library's own thread must not wait for the running callback,
// and the library must go on serving other clients.
TEST_F(StandIn, AClientMayBeDestroyedFromInsideItsOwnCallback) {
  network::LoopbackListener server;
  // Shared with the handlers, so that a failed wait leaves them nothing dangling.
  auto events = std::make_shared<Events>();
  auto* client = new netclients::TAVSClient;
  client->SetServerHost("127.0.0.1");
  client->SetServerPort(server.Port());
  // Long enough that waiting on its own callback could not pass for a quick destroy.
  client->SetTerminateWaitTime(20000);
  client->OnLogin = [events](plat::TComponent*) { events->Add("login"); };
  // The hand-over to the library's thread goes through the socket's close, which
  // ThreadSanitizer cannot see; the flag shows it the order the close gives.
  auto handedOver = std::make_shared<std::atomic<bool>>(false);
  client->OnLogout = [events, handedOver](plat::TComponent* sender) {
    if (!handedOver->load(std::memory_order_acquire)) {
      events->Add("logout before the hand-over");
      return;
    }
    delete static_cast<netclients::TAVSClient*>(sender);
    events->Add("destroyed");
  };
  const uint32_t handle = client->ClientBlock().Handle;
  ASSERT_EQ(0, client->Login());
  // From here on only the library's thread touches the component.
  client = nullptr;
  handedOver->store(true, std::memory_order_release);
  ASSERT_GE(server.Accept(5000), 0);
  ASSERT_TRUE(events->WaitFor(1));
  server.CloseAccepted(0);
  ASSERT_TRUE(events->WaitFor(2));
  EXPECT_EQ((std::vector<std::string>{"login", "destroyed"}), events->Seen());
  netclients::TP2PClientInfo info;
  EXPECT_EQ(1, NetworkApi().avs.GetClientInfo(handle, &info));

  // The library's thread still runs the callbacks of other clients.
  netclients::TAVSClient other;
  other.SetServerHost("127.0.0.1");
  other.SetServerPort(server.Port());
  other.OnLogin = [events](plat::TComponent*) { events->Add("other login"); };
  ASSERT_EQ(0, other.Login());
  ASSERT_TRUE(events->WaitFor(3));
  EXPECT_EQ("other login", events->Seen().back());
}

// A logout callback that the destroy delivers runs past the library's wait for it: the
// component's memory goes only once that callback has returned.
TEST_F(StandIn, DestroyWaitsForACallbackThatOutlastsTheLibrarysWait) {
  network::LoopbackServer server;
  std::atomic<bool> finished{false};
  auto* client = new netclients::TP2PClient;
  client->SetServerHost("127.0.0.1");
  client->SetServerPort(server.Port());
  client->SetTerminateWaitTime(50);
  client->OnLogout = [&](plat::TComponent* sender) {
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(server.Port(), static_cast<netclients::TP2PClient*>(sender)->ServerPort());
    finished = true;
  };
  ASSERT_EQ(0, client->Login());
  delete client;  // logs out: the callback comes from inside the destroy
  EXPECT_TRUE(finished);
}

}  // namespace
