#include <gtest/gtest.h>

#include "NetrikLibrary.h"
#include "netclients/NetworkApi.h"
#include "netrik_test_support.h"
#include "network/StandIn.h"
#include "platform/debugout.h"

namespace netrik_test {

namespace {

std::mutex g_lock;
std::vector<std::string>* g_lines = nullptr;

// The library is loaded once for the whole run, as a host's LoadLibrary would.
class NetrikEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
#ifndef _WIN32
    // Natively the clients reach the stand-in network library directly.
    netclients::SetNetworkApi(network::StandInApi());
#endif
    netrik::NetrikLibraryLoad();
  }
  void TearDown() override { netrik::NetrikLibraryUnload(); }
};

::testing::Environment* const g_env =
    ::testing::AddGlobalTestEnvironment(new NetrikEnvironment);

}  // namespace

DebugCapture::DebugCapture() {
  std::lock_guard<std::mutex> guard(g_lock);
  g_lines = new std::vector<std::string>();
  plat::SetDebugSink(&DebugCapture::Sink);
}

DebugCapture::~DebugCapture() {
  plat::SetDebugSink(nullptr);
  std::lock_guard<std::mutex> guard(g_lock);
  delete g_lines;
  g_lines = nullptr;
}

std::vector<std::string> DebugCapture::Lines() const {
  std::lock_guard<std::mutex> guard(g_lock);
  return *g_lines;
}

void DebugCapture::Clear() {
  std::lock_guard<std::mutex> guard(g_lock);
  g_lines->clear();
}

void DebugCapture::Sink(const char* text) {
  std::lock_guard<std::mutex> guard(g_lock);
  if (g_lines) g_lines->push_back(text);
}

std::string ReportLine(const std::string& message, const std::string& unit,
                       const std::string& method) {
  // "异常:", " 模块:", " 单元:", " 方法:", " 位置:" in code page 936.
  return "\xD2\xEC\xB3\xA3:" + message + " \xC4\xA3\xBF\xE9:Netrik.dll \xB5\xA5\xD4\xAA:" + unit +
         " \xB7\xBD\xB7\xA8:" + method + " \xCE\xBB\xD6\xC3:";
}

}  // namespace netrik_test
