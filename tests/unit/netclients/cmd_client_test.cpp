// The command client component against the recording fake: what sets it apart from the
// login-based twins.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "fake_network.h"
#include "netclients/CmdSvc.h"
#include "test_support.h"

namespace {

using netclients::TCMDClient;
using netclients::TCMDClientInfo;
using testing_support::DebugLines;
using testing_support::Differences;

class CmdClientTest : public ::testing::Test {
protected:
  void SetUp() override {
    testing_support::FillPattern(net.cmdInfo, 0, offsetof(TCMDClientInfo, Connected));
    net.cmdInfo.ServerHost[0] = '\0';
  }
  std::unique_ptr<TCMDClient> Make() {
    auto client = std::make_unique<TCMDClient>(nullptr);
    net.calls.clear();
    return client;
  }
  static std::string RaisedBy(std::function<void()> work) { return testing_support::RaisedBy(work); }
  fake::Network net;
};

TEST_F(CmdClientTest, ConstructorRegistersTheTwoBackProcedures) {
  net.cmdInfo.MTUSize = 576;
  TCMDClient client(nullptr);
  EXPECT_EQ((std::vector<std::string>{"cmdCreateClient", "cmdGetClientInfo", "cmdSetClientBackProc"}),
            net.calls);
  EXPECT_EQ(static_cast<void*>(&client), net.owner);
  EXPECT_EQ(netclients::CMDConnectProc, net.cmdProcs.ConnectProc);
  EXPECT_EQ(netclients::CMDDisconnectProc, net.cmdProcs.DisconnectProc);
  EXPECT_EQ(576, client.MTUSize());
  EXPECT_FALSE(client.Connected());
}

TEST_F(CmdClientTest, EachSetterWritesOnlyItsOwnFieldAndReadsBack) {
  using C = TCMDClient;
  using I = TCMDClientInfo;
  auto cases = testing_support::CommonSetterCases<C, I>();
  cases.push_back({"UseComInThread", offsetof(I, UseComInThread), 4,
                   [](C& c) { c.SetUseComInThread(true); }, -1});
  cases.push_back({"CanReconnect", offsetof(I, CanReconnect), 4,
                   [](C& c) { c.SetCanReconnect(false); }, 0});
  cases.push_back({"MTUSize", offsetof(I, MTUSize), 4, [](C& c) { c.SetMTUSize(90); }, 90});
  cases.push_back({"Linger", offsetof(I, Linger), 4, [](C& c) { c.SetLinger(91); }, 91});
  cases.push_back({"ConnectWaitTime", offsetof(I, ConnectWaitTime), 4,
                   [](C& c) { c.SetConnectWaitTime(92); }, 92});
  testing_support::CheckSetterPattern(
      cases,
      [&] {
        SetUp();
        return net.cmdInfo;
      },
      [&] { return Make(); }, net.cmdWrites, net.calls, {"cmdSetClientInfo", "cmdGetClientInfo"});
  // Frozen while connected.
  net.cmdInfo.Connected = -1;
  auto client = Make();
  for (const auto& setter : cases) setter.set(*client);
  EXPECT_TRUE(net.calls.empty());
}

TEST_F(CmdClientTest, LongServerHostFillsTheFieldAndNothingBeyond) {
  auto client = Make();
  TCMDClientInfo before = net.cmdInfo;
  client->SetServerHost(std::string(200, 'z'));
  EXPECT_EQ(std::string(128, 'z'), client->ServerHost());
  for (size_t offset : Differences(before, net.cmdWrites.back())) EXPECT_LT(offset, 136u);
}

TEST_F(CmdClientTest, EveryResultCodeHasItsText) {
  const std::pair<int32_t, const char*> texts[] = {
      {-1, "命令客户端遇到未知错误"},   {1, "命令客户端检测到无效句柄"},
      {2, "命令客户端对象已存在"},      {3, "命令客户端对象不存在"},
      {4, "命令客户端连接失败"},        {5, "命令客户端超过最大连接数"},
      {6, "命令客户端检测到命令已存在"}, {7, "命令客户端检测到命令不存在"},
      {8, "命令客户端发送数据失败"},    {9, "命令客户端未连接"},
      {10, "命令客户端检测到无效索引号"}};
  auto client = Make();
  for (auto [code, text] : texts) {
    net.codes["cmdConnectClient"] = code;
    EXPECT_EQ(text, RaisedBy([&] { client->Connect(); }));
  }
  for (int32_t code : {0, 11, -2}) {
    net.codes["cmdConnectClient"] = code;
    EXPECT_EQ(code, client->Connect());
  }
  client->SetShowDebugInfo(false);
  net.codes["cmdConnectClient"] = 1;
  EXPECT_EQ(1, client->Connect());
}

TEST_F(CmdClientTest, DisconnectNeverReportsTheLibrarysAnswer) {
  auto client = Make();
  net.codes["cmdDisconnectClient"] = 9;
  EXPECT_EQ("(nothing)", RaisedBy([&] { client->Disconnect(); }));
  EXPECT_EQ((std::vector<std::string>{"cmdDisconnectClient", "cmdGetClientInfo"}), net.calls);
  // Its re-read still raises.
  net.codes["cmdGetClientInfo"] = 3;
  EXPECT_EQ("命令客户端对象不存在", RaisedBy([&] { client->Disconnect(); }));
}

TEST_F(CmdClientTest, ConnectedSetterAndLoading) {
  auto client = Make();
  client->BeginLoading();
  client->SetConnected(true);
  EXPECT_TRUE(client->DesignConnected());
  EXPECT_TRUE(net.calls.empty());
  client->Loaded();
  EXPECT_EQ((std::vector<std::string>{"cmdConnectClient", "cmdGetClientInfo", "cmdGetClientInfo"}),
            net.calls);
  EXPECT_TRUE(client->Connected());
  net.calls.clear();
  client->SetConnected(true);
  EXPECT_TRUE(net.calls.empty());
  client->SetConnected(false);
  EXPECT_EQ("cmdDisconnectClient", net.calls.at(0));
  EXPECT_FALSE(client->Connected());
}

TEST_F(CmdClientTest, DestructorDisconnectsClearsItemsAndDestroys) {
  netclients::TCMDClientItem a, b;
  {
    auto client = Make();
    a.Owner = b.Owner = client.get();
    client->Items() = {&a, &b};
    net.codes["cmdDisconnectClient"] = 9;
    net.codes["cmdDestroyClient"] = 0;
  }
  EXPECT_EQ((std::vector<std::string>{"cmdDisconnectClient", "cmdGetClientInfo", "cmdDestroyClient"}),
            net.calls);
  EXPECT_EQ(nullptr, a.Owner);
  EXPECT_EQ(nullptr, b.Owner);

  DebugLines lines;
  {
    auto client = Make();
    net.codes["cmdGetClientInfo"] = 3;
    net.codes["cmdDestroyClient"] = 1;
  }
  auto reported = lines.Lines();
  ASSERT_EQ(2u, reported.size());
  EXPECT_EQ("TCMDClient.Destroy: 命令客户端对象不存在", reported[0]);
  EXPECT_EQ("TCMDClient.Destroy: 命令客户端检测到无效句柄", reported[1]);
}

TEST_F(CmdClientTest, BackProceduresRefreshThenCallTheEvents) {
  auto client = Make();
  std::vector<bool> states;
  client->OnConnect = [&](plat::TComponent* s) { states.push_back(client->Connected()); (void)s; };
  client->OnDisconnect = [&](plat::TComponent*) { states.push_back(client->Connected()); };
  net.cmdInfo.Connected = 5;
  net.cmdProcs.ConnectProc(client->ClientBlock().Owner);
  net.cmdInfo.Connected = 0;
  net.cmdProcs.DisconnectProc(client->ClientBlock().Owner);
  EXPECT_EQ((std::vector<bool>{true, false}), states);
}

TEST_F(CmdClientTest, OwnedByAnotherComponentAndFreedWithIt) {
  auto owner = std::make_unique<plat::TComponent>(nullptr);
  new TCMDClient(owner.get());
  EXPECT_EQ(1, owner->ComponentCount());
  net.calls.clear();
  owner.reset();
  EXPECT_EQ("cmdDestroyClient", net.calls.back());
}

}  // namespace
