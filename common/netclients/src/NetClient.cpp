// Shared pieces of the client components: the result-code texts and the error report.
#include "netclients/NetClient.h"

#include <algorithm>

#include "netclients/AvsSvc.h"
#include "netclients/CmdSvc.h"
#include "netclients/P2PFile.h"
#include "platform/debugout.h"
#include "platform/module.h"

namespace netclients {

void ReportSwallowedError(const char* className, const char* method, const char* message) {
  plat::DebugOutput(plat::Format("%s.%s: %s", className, method, message ? message : ""));
}

TCallbackGate::Run::Run(std::shared_ptr<TCallbackGate> gate) : gate_(std::move(gate)) {
  std::lock_guard<std::mutex> hold(gate_->lock_);
  gate_->running_.push_back(std::this_thread::get_id());
}

TCallbackGate::Run::~Run() {
  std::lock_guard<std::mutex> hold(gate_->lock_);
  auto& running = gate_->running_;
  running.erase(std::find(running.begin(), running.end(), std::this_thread::get_id()));
  gate_->left_.notify_all();
}

void TCallbackGate::WaitForOtherThreads() {
  // At the end of the process a running back-procedure's thread is gone without leaving.
  if (plat::ProcessEnding()) return;
  std::unique_lock<std::mutex> hold(lock_);
  const std::thread::id self = std::this_thread::get_id();
  left_.wait(hold, [&] {
    return std::all_of(running_.begin(), running_.end(),
                       [&](std::thread::id id) { return id == self; });
  });
}

const char* TLoginKindBase::ErrorText(int32_t code) {
  switch (code) {
    case -1: return "遇到未知错误";
    case 1: return "检测到无效句柄";
    case 2: return "对象已存在";
    case 3: return "对象不存在";
    case 4: return "登录失败";
    case 5: return "超过最大登录数";
    case 6: return "未登录";
    case 7: return "检测到无效索引号";
    default: return nullptr;
  }
}

const char* TCMDKind::ErrorText(int32_t code) {
  switch (code) {
    case -1: return "遇到未知错误";
    case 1: return "检测到无效句柄";
    case 2: return "对象已存在";
    case 3: return "对象不存在";
    case 4: return "连接失败";
    case 5: return "超过最大连接数";
    case 6: return "检测到命令已存在";
    case 7: return "检测到命令不存在";
    case 8: return "发送数据失败";
    case 9: return "未连接";
    case 10: return "检测到无效索引号";
    default: return nullptr;
  }
}

}  // namespace netclients
