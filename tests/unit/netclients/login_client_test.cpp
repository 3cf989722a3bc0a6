// The point-to-point and audio/video client components against the recording fake; every
// case runs for both twins.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "fake_network.h"
#include "netclients/AvsSvc.h"
#include "netclients/P2PFile.h"
#include "test_support.h"

namespace {

using netclients::TP2PClientInfo;
using testing_support::DebugLines;
using testing_support::Differences;
using testing_support::Range;

template <class Client>
struct Names;
template <>
struct Names<netclients::TP2PClient> {
  static constexpr const char* prefix = "p2p";
  static constexpr const char* message = "P2PFile客户端";
  static constexpr const char* routingCheck =
      "AClient<>nil (Common\\Network Components\\Source\\P2PFile, line 1982)";
};
template <>
struct Names<netclients::TAVSClient> {
  static constexpr const char* prefix = "avs";
  static constexpr const char* message = "音视频客户端";
  static constexpr const char* routingCheck =
      "AClient<>nil (Common\\Network Components\\Source\\AvsSvc, line 2018)";
};

template <class Client>
class LoginClientTest : public ::testing::Test {
protected:
  using N = Names<Client>;
  static std::string F(const char* function) { return std::string(N::prefix) + function; }

  void SetUp() override {
    testing_support::FillPattern(net.loginInfo, 0, offsetof(TP2PClientInfo, Logined));
    std::memcpy(net.loginInfo.ServerHost, "srv.example", 12);
  }

  std::unique_ptr<Client> Make() {
    auto client = std::make_unique<Client>(nullptr);
    net.calls.clear();
    net.handlesSeen.clear();
    return client;
  }

  std::string RaisedBy(std::function<void()> work) { return testing_support::RaisedBy(work); }

  fake::Network net;
};

using Twins = ::testing::Types<netclients::TP2PClient, netclients::TAVSClient>;
TYPED_TEST_SUITE(LoginClientTest, Twins);

TYPED_TEST(LoginClientTest, ConstructorCreatesRegistersAndShowsWhatTheLibraryReports) {
  this->net.loginInfo.RecvBufferSize = 1234;
  this->net.loginInfo.ReuseAddr = 0;
  this->net.loginInfo.HeartbeatInterval = 99;
  TypeParam client(nullptr);
  EXPECT_EQ((std::vector<std::string>{this->F("CreateClient"), this->F("GetClientInfo"),
                                      this->F("SetClientBackProc")}),
            this->net.calls);
  const auto& block = client.ClientBlock();
  EXPECT_EQ(7u, block.Handle);
  EXPECT_EQ(static_cast<void*>(&client), this->net.owner);
  EXPECT_EQ(this->net.owner, block.Owner);
  EXPECT_EQ(0, block.Reserved);
  EXPECT_EQ(block.ObjID, this->net.createdObjID);  // the identity was there before creation
  EXPECT_EQ(38u, client.ObjID().size());
  EXPECT_EQ(TypeParam::ExceptionProc, this->net.loginProcs.ExceptionProc);
  EXPECT_EQ(TypeParam::LoginProc, this->net.loginProcs.LoginProc);
  EXPECT_EQ(TypeParam::LogoutProc, this->net.loginProcs.LogoutProc);
  // The library's values, not the stream defaults.
  EXPECT_EQ(1234, client.RecvBufferSize());
  EXPECT_FALSE(client.ReuseAddr());
  EXPECT_EQ(99, client.HeartbeatInterval());
  EXPECT_EQ("srv.example", client.ServerHost());
  EXPECT_EQ(this->net.loginInfo.InfoHeader, client.GetInfoHeader());
  EXPECT_TRUE(client.ShowDebugInfo());
  EXPECT_FALSE(client.Logined());
}

TYPED_TEST(LoginClientTest, EachSetterWritesOnlyItsOwnFieldAndReadsBack) {
  using C = TypeParam;
  using I = TP2PClientInfo;
  auto cases = testing_support::CommonSetterCases<C, I>();
  cases.push_back({"LoginWaitTime", offsetof(I, LoginWaitTime), 4,
                   [](C& c) { c.SetLoginWaitTime(87); }, 87});
  cases.push_back({"P2PConnectWaitTime", offsetof(I, P2PConnectWaitTime), 4,
                   [](C& c) { c.SetP2PConnectWaitTime(88); }, 88});
  testing_support::CheckSetterPattern(
      cases,
      [&] {
        this->SetUp();
        return this->net.loginInfo;
      },
      [&] { return this->Make(); }, this->net.loginWrites, this->net.calls,
      {this->F("SetClientInfo"), this->F("GetClientInfo")});
}

TYPED_TEST(LoginClientTest, SettersAreFrozenWhileLoggedIn) {
  this->net.loginInfo.Logined = 1;  // any non-zero value
  auto client = this->Make();
  client->SetServerHost("other");
  client->SetServerPort(1);
  client->SetReuseAddr(false);
  client->SetLoginWaitTime(1);
  client->SetTerminateWaitTime(1);
  EXPECT_TRUE(this->net.calls.empty());
  EXPECT_EQ("srv.example", client->ServerHost());
  EXPECT_TRUE(client->Logined());
  // The identity may change at any time.
  client->SetObjID("{01234567-89AB-CDEF-0123-456789ABCDEF}");
  EXPECT_EQ(std::vector<std::string>{this->F("SetClientObjID")}, this->net.calls);
}

TYPED_TEST(LoginClientTest, ServerHostIsCopiedBoundedToItsField) {
  auto client = this->Make();
  auto written = [&] { return this->net.loginWrites.back(); };
  client->SetServerHost("");
  EXPECT_EQ(std::string(128, '\0'), std::string(written().ServerHost, 128));
  std::string h127(127, 'a'), h128(128, 'b'), h200(200, 'c');
  client->SetServerHost(h127);
  EXPECT_EQ(h127 + '\0', std::string(written().ServerHost, 128));
  EXPECT_EQ(h127, client->ServerHost());
  client->SetServerHost(h128);
  EXPECT_EQ(h128, std::string(written().ServerHost, 128));
  EXPECT_EQ(h128, client->ServerHost());
  TP2PClientInfo before = written();
  client->SetServerHost(h200);
  EXPECT_EQ(h200.substr(0, 128), client->ServerHost());
  for (size_t offset : Differences(before, written())) EXPECT_LT(offset, 136u);
}

TYPED_TEST(LoginClientTest, ObjIDRoundTripsAndIgnoresTextThatIsNoGuid) {
  auto client = this->Make();
  const std::string id = "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}";
  client->SetObjID(id);
  EXPECT_EQ(id, client->ObjID());
  EXPECT_EQ(client->ClientBlock().ObjID, this->net.objIdSet);
  EXPECT_EQ(std::vector<uint32_t>{7u}, this->net.handlesSeen);
  this->net.calls.clear();
  for (const char* bad : {"", "0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9",
                          "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F}", "{not a guid at all, not one!!!!!!!!}"}) {
    client->SetObjID(bad);
    EXPECT_EQ(id, client->ObjID());
  }
  EXPECT_TRUE(this->net.calls.empty());
  // Lower-case digits are a GUID too; the getter gives upper case.
  client->SetObjID("{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f0}");
  EXPECT_EQ("{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F0}", client->ObjID());
  // Refused by the library: raised, identity unchanged.
  this->net.codes[this->F("SetClientObjID")] = 3;
  EXPECT_EQ(std::string(TestFixture::N::message) + "对象不存在",
            this->RaisedBy([&] { client->SetObjID(id); }));
  EXPECT_EQ("{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F0}", client->ObjID());
  // Not shown: stored all the same.
  client->SetShowDebugInfo(false);
  client->SetObjID(id);
  EXPECT_EQ(id, client->ObjID());
}

TYPED_TEST(LoginClientTest, EveryResultCodeHasItsTextOnlyWhileShowDebugInfoIsOn) {
  const std::pair<int32_t, const char*> texts[] = {
      {-1, "遇到未知错误"}, {1, "检测到无效句柄"}, {2, "对象已存在"}, {3, "对象不存在"},
      {4, "登录失败"},     {5, "超过最大登录数"}, {6, "未登录"},     {7, "检测到无效索引号"}};
  auto client = this->Make();
  for (auto [code, text] : texts) {
    this->net.codes[this->F("ClientLogin")] = code;
    EXPECT_EQ(std::string(TestFixture::N::message) + text, this->RaisedBy([&] { client->Login(); }));
  }
  for (int32_t code : {0, 8, -2}) {
    this->net.codes[this->F("ClientLogin")] = code;
    EXPECT_EQ(code, client->Login());
  }
  client->SetShowDebugInfo(false);
  this->net.codes[this->F("ClientLogin")] = 1;
  EXPECT_EQ(1, client->Login());
  this->net.codes[this->F("ClientLogin")] = 0;
  client->Logout();
  this->net.codes[this->F("SetClientInfo")] = 4;
  this->net.calls.clear();
  client->SetServerPort(5);  // goes on: the record is read back
  EXPECT_EQ((std::vector<std::string>{this->F("SetClientInfo"), this->F("GetClientInfo")}),
            this->net.calls);
}

TYPED_TEST(LoginClientTest, RefusedWriteLeavesTheNewValueInTheMirrorUntilTheNextRead) {
  auto client = this->Make();
  this->net.codes[this->F("SetClientInfo")] = 2;
  EXPECT_NE("(nothing)", this->RaisedBy([&] { client->SetServerPort(4242); }));
  EXPECT_EQ(4242, client->ServerPort());
  EXPECT_EQ(std::vector<std::string>{this->F("SetClientInfo")}, this->net.calls);
}

TYPED_TEST(LoginClientTest, LoginedSetterAndDesignTimeValue) {
  auto client = this->Make();
  client->SetLogined(true);
  EXPECT_EQ((std::vector<std::string>{this->F("ClientLogin"), this->F("GetClientInfo"),
                                      this->F("GetClientInfo")}),
            this->net.calls);
  EXPECT_TRUE(client->Logined());
  this->net.calls.clear();
  client->SetLogined(true);  // already logged in: no library call
  EXPECT_TRUE(this->net.calls.empty());

  this->net.loginInfo.Logined = 0;
  auto loading = this->Make();
  loading->BeginLoading();
  loading->SetLogined(true);
  EXPECT_TRUE(loading->DesignLogined());
  EXPECT_TRUE(loading->Logined());
  EXPECT_TRUE(this->net.calls.empty());
  loading->Loaded();
  EXPECT_EQ(this->F("ClientLogin"), this->net.calls.at(0));
  EXPECT_TRUE(loading->Logined());

  this->net.loginInfo.Logined = 0;
  auto designed = this->Make();
  designed->SetDesigning(true);
  designed->SetLogined(true);
  designed->Loaded();
  EXPECT_TRUE(this->net.calls.empty());
  EXPECT_TRUE(designed->Logined());
}

TYPED_TEST(LoginClientTest, DestructorLogsOutThenDestroysAndSwallowsErrors) {
  auto client = this->Make();
  client.reset();
  EXPECT_EQ((std::vector<std::string>{this->F("ClientLogout"), this->F("GetClientInfo"),
                                      this->F("DestroyClient")}),
            this->net.calls);

  DebugLines lines;
  auto failing = this->Make();
  this->net.codes[this->F("ClientLogout")] = 6;
  this->net.codes[this->F("DestroyClient")] = 3;
  failing.reset();
  EXPECT_EQ((std::vector<std::string>{this->F("ClientLogout"), this->F("DestroyClient")}),
            this->net.calls);
  auto reported = lines.Lines();
  ASSERT_EQ(2u, reported.size());
  EXPECT_NE(std::string::npos, reported[0].find(std::string(TestFixture::N::message) + "未登录"));
  EXPECT_NE(std::string::npos, reported[1].find(std::string(TestFixture::N::message) + "对象不存在"));
}

TYPED_TEST(LoginClientTest, ConstructorFailuresReachTheCallerAndReleaseTheClient) {
  this->net.codes[this->F("CreateClient")] = 5;
  EXPECT_EQ(std::string(TestFixture::N::message) + "超过最大登录数",
            this->RaisedBy([] { TypeParam client(nullptr); }));
  this->net.codes.clear();
  this->net.calls.clear();
  this->net.codes[this->F("SetClientBackProc")] = -1;
  EXPECT_EQ(std::string(TestFixture::N::message) + "遇到未知错误",
            this->RaisedBy([] { TypeParam client(nullptr); }));
  EXPECT_EQ(this->F("DestroyClient"), this->net.calls.back());
  // A library that gives no handle: the first read fails the handle test, nothing to destroy.
  this->net.codes.clear();
  this->net.calls.clear();
  this->net.handleToGive = 0;
  EXPECT_EQ(std::string(TestFixture::N::message) + "检测到无效句柄",
            this->RaisedBy([] { TypeParam client(nullptr); }));
  EXPECT_EQ(std::vector<std::string>{this->F("CreateClient")}, this->net.calls);
}

TYPED_TEST(LoginClientTest, BackProceduresRefreshTheMirrorBeforeTheEvents) {
  auto client = this->Make();
  std::vector<std::string> seen;
  client->OnLogin = [&](plat::TComponent* sender) {
    EXPECT_EQ(client.get(), sender);
    seen.push_back(std::string("login:") + (client->Logined() ? "up" : "down"));
  };
  client->OnLogout = [&](plat::TComponent*) {
    seen.push_back(std::string("logout:") + (client->Logined() ? "up" : "down"));
  };
  void* owner = const_cast<void*>(static_cast<const void*>(client->ClientBlock().Owner));
  this->net.loginInfo.Logined = -1;
  this->net.loginProcs.LoginProc(owner);
  this->net.loginInfo.Logined = 0;
  this->net.loginProcs.LogoutProc(owner);
  EXPECT_EQ((std::vector<std::string>{"login:up", "logout:down"}), seen);
  EXPECT_EQ((std::vector<std::string>{this->F("GetClientInfo"), this->F("GetClientInfo")}),
            this->net.calls);
}

// The library's logout callback refreshes the mirror on its own thread. Arriving while a
// setter is between its change and its write, it must not put the old value back into
// what the setter writes.
TYPED_TEST(LoginClientTest, CallbackRefreshNeverUndoesASetterInProgress) {
  auto client = this->Make();
  void* owner = client->ClientBlock().Owner;
  std::thread callback;
  std::atomic<bool> started{false}, refreshed{false};
  this->net.beforeLoginWrite = [&] {
    if (started.exchange(true)) return;
    callback = std::thread([&] {
      this->net.loginProcs.LogoutProc(owner);
      refreshed = true;
    });
    // Every chance for the callback to run now; it has to wait for the setter instead.
    for (int i = 0; i < 100 && !refreshed; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  };
  client->SetServerPort(4321);
  callback.join();
  EXPECT_EQ(4321, this->net.loginWrites.front().ServerPort);
  EXPECT_EQ(4321, client->ServerPort());
}

TYPED_TEST(LoginClientTest, ExceptionCallbackPassesTheMessageAndNullAsEmpty) {
  auto client = this->Make();
  void* owner = client->ClientBlock().Owner;
  this->net.loginProcs.ExceptionProc(owner, 5, "x");  // no handler: nothing happens
  std::vector<std::string> messages;
  client->OnException = [&](plat::TComponent* sender, uint32_t thread, const std::string& msg) {
    EXPECT_EQ(client.get(), sender);
    EXPECT_EQ(77u, thread);
    messages.push_back(msg);
  };
  this->net.loginProcs.ExceptionProc(owner, 77, "断开");
  this->net.loginProcs.ExceptionProc(owner, 77, nullptr);
  EXPECT_EQ((std::vector<std::string>{"断开", ""}), messages);
  EXPECT_TRUE(this->net.calls.empty());  // the record is not read again
}

TYPED_TEST(LoginClientTest, ErrorsInsideBackProceduresStayThere) {
  DebugLines lines;
  auto client = this->Make();
  int called = 0;
  client->OnLogin = [&](plat::TComponent*) { ++called; };
  client->OnLogout = [&](plat::TComponent*) { throw plat::Exception("handler failed"); };
  client->OnException = [&](plat::TComponent*, uint32_t, const std::string&) {
    throw std::runtime_error("odd");
  };
  void* owner = client->ClientBlock().Owner;
  this->net.codes[this->F("GetClientInfo")] = 3;
  this->net.loginProcs.LoginProc(owner);  // refused refresh: no event
  EXPECT_EQ(0, called);
  this->net.codes.clear();
  this->net.loginProcs.LogoutProc(owner);
  this->net.loginProcs.ExceptionProc(owner, 1, "m");
  auto reported = lines.Lines();
  ASSERT_EQ(3u, reported.size());
  EXPECT_NE(std::string::npos, reported[0].find("对象不存在"));
  EXPECT_NE(std::string::npos, reported[1].find("handler failed"));
  EXPECT_NE(std::string::npos, reported[2].find("odd"));
}

TYPED_TEST(LoginClientTest, HandlerMayFreeItsComponent) {
  TypeParam* client = new TypeParam(nullptr);
  client->OnLogout = [client](plat::TComponent*) { delete client; };
  this->net.calls.clear();
  this->net.loginProcs.LogoutProc(client->ClientBlock().Owner);
  EXPECT_EQ(this->F("DestroyClient"), this->net.calls.back());
}

TYPED_TEST(LoginClientTest, RoutingListChecksItsClientAndDetachesItsItems) {
  using List = std::remove_reference_t<decltype(std::declval<TypeParam&>().RoutingList())>;
  EXPECT_EQ(TestFixture::N::routingCheck, this->RaisedBy([] { List list(nullptr); }));
  auto client = this->Make();
  List& list = client->RoutingList();
  EXPECT_EQ(client.get(), list.Client());
  EXPECT_EQ("List index out of bounds (0)", this->RaisedBy([&] { list.GetItem(0); }));
  typename List::Item a{11, client.get()}, b{12, client.get()}, c{13, client.get()};
  list.Items() = {&a, &b, &c};
  EXPECT_EQ(&b, list.GetItem(1));
  list.Clear();
  EXPECT_EQ((std::vector<uint32_t>{13, 12, 11}), this->net.routingOwnerCleared);
  EXPECT_EQ(nullptr, a.RoutingOwner);
  EXPECT_EQ(nullptr, c.RoutingOwner);
  EXPECT_EQ(0, list.Count());
  this->net.calls.clear();
  client.reset();  // an empty list: no routing call
  for (const auto& call : this->net.calls) EXPECT_EQ(std::string::npos, call.find("Routing"));
}

}  // namespace
