// What the point-to-point, audio/video and command client components have in common: the
// client block handed to Network.dll, the mirror of its info record with the setter
// pattern, the identity as GUID text, the handle and result-code checks, and the state
// property (Logined / Connected) with its design-time value.
//
// Traits name the records (Block, Info, BackProcs), the function group of the table
// (Functions, Table), the state field of the record (State), the class name used in reports
// (ClassName), the prefix of the result-code messages (MessagePrefix) and the text for a
// code (ErrorText, null when the code has none).
#pragma once
#include <condition_variable>
#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "netclients/NetworkApi.h"
#include "platform/component.h"
#include "platform/except.h"
#include "platform/guid.h"

namespace netclients {

using TNotifyEvent = std::function<void(plat::TComponent* Sender)>;

// Reports an error that must not leave a destructor or a back-procedure, on the debugger
// output channel: "<class>.<method>: <message>".
void ReportSwallowedError(const char* className, const char* method, const char* message);

// The back-procedures running in one component, by thread. The library may give up waiting
// for a running one when its client is destroyed; the component waits here before its
// memory goes. Each back-procedure holds the gate itself, so that a handler may free the
// component it was called for.
class TCallbackGate {
public:
  class Run {
  public:
    explicit Run(std::shared_ptr<TCallbackGate> gate);
    ~Run();
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

  private:
    std::shared_ptr<TCallbackGate> gate_;
  };

  // Returns once no back-procedure runs on another thread than the caller's.
  void WaitForOtherThreads();

private:
  std::mutex lock_;
  std::condition_variable left_;
  std::vector<std::thread::id> running_;
};

template <class Traits>
class TNetClient : public plat::TComponent {
public:
  using Block = typename Traits::Block;
  using Info = typename Traits::Info;
  using BackProcs = typename Traits::BackProcs;

  // The identity as the braced GUID text of 38 characters.
  std::string ObjID() const { return plat::GuidToString(block_.ObjID); }
  // Text that is no GUID is ignored; otherwise the library is told, then the GUID stored.
  void SetObjID(const std::string& text) {
    CheckHandle();
    plat::Guid guid;
    if (!plat::StringToGuid(text, guid)) return;
    CheckError(Api().SetClientObjID(block_.Handle, &guid));
    block_.ObjID = guid;
  }

  // Up to the first zero byte, at most the 128 bytes of the field.
  std::string ServerHost() const {
    std::lock_guard<std::recursive_mutex> hold(mirrorLock_);
    const char* host = block_.Info.ServerHost;
    return std::string(host, strnlen(host, sizeof block_.Info.ServerHost));
  }
  void SetServerHost(const std::string& host) {
    ChangeSetting([&](Info& info) {
      std::memset(info.ServerHost, 0, sizeof info.ServerHost);
      std::memcpy(info.ServerHost, host.data(),
                  host.size() < sizeof info.ServerHost ? host.size() : sizeof info.ServerHost);
    });
  }

  int32_t ServerPort() const { return GetInt(&Info::ServerPort); }
  void SetServerPort(int32_t value) { SetInt(&Info::ServerPort, value); }
  int32_t LocalPort() const { return GetInt(&Info::LocalPort); }
  void SetLocalPort(int32_t value) { SetInt(&Info::LocalPort, value); }
  bool ReuseAddr() const { return GetBool(&Info::ReuseAddr); }
  void SetReuseAddr(bool value) { SetBool(&Info::ReuseAddr, value); }
  bool RecvBufferEnabled() const { return GetBool(&Info::RecvBufferEnabled); }
  void SetRecvBufferEnabled(bool value) { SetBool(&Info::RecvBufferEnabled, value); }
  bool SendBufferEnabled() const { return GetBool(&Info::SendBufferEnabled); }
  void SetSendBufferEnabled(bool value) { SetBool(&Info::SendBufferEnabled, value); }
  int32_t RecvBufferSize() const { return GetInt(&Info::RecvBufferSize); }
  void SetRecvBufferSize(int32_t value) { SetInt(&Info::RecvBufferSize, value); }
  int32_t SendBufferSize() const { return GetInt(&Info::SendBufferSize); }
  void SetSendBufferSize(int32_t value) { SetInt(&Info::SendBufferSize, value); }
  bool SendTimeOutEnabled() const { return GetBool(&Info::SendTimeOutEnabled); }
  void SetSendTimeOutEnabled(bool value) { SetBool(&Info::SendTimeOutEnabled, value); }
  int32_t SendTimeOut() const { return GetInt(&Info::SendTimeOut); }
  void SetSendTimeOut(int32_t value) { SetInt(&Info::SendTimeOut, value); }
  bool AutoHeartbeat() const { return GetBool(&Info::AutoHeartbeat); }
  void SetAutoHeartbeat(bool value) { SetBool(&Info::AutoHeartbeat, value); }
  int32_t HeartbeatInterval() const { return GetInt(&Info::HeartbeatInterval); }
  void SetHeartbeatInterval(int32_t value) { SetInt(&Info::HeartbeatInterval, value); }
  int32_t TerminateWaitTime() const { return GetInt(&Info::TerminateWaitTime); }
  void SetTerminateWaitTime(int32_t value) { SetInt(&Info::TerminateWaitTime, value); }

  // While true, the library's result codes with a text raise plat::Exception.
  bool ShowDebugInfo() const { return showDebugInfo_; }
  void SetShowDebugInfo(bool value) { showDebugInfo_ = value; }

  int32_t GetInfoHeader() const { return GetInt(&Info::InfoHeader); }

  // The block whose address the library was given; it stays in place for the whole life.
  const Block& ClientBlock() const { return block_; }

  // After streaming: a true design-time state turns into the real one.
  void Loaded() override {
    plat::TComponent::Loaded();
    if (designState_) SetState(true);
  }

protected:
  // Constructor steps up to the library call: fresh identity, empty block.
  explicit TNetClient(plat::TComponent* owner) : plat::TComponent(owner) {
    std::memset(&block_, 0, sizeof block_);
    if (!plat::CreateGuid(block_.ObjID)) throw plat::Exception("创建GUID失败");
    block_.Owner = static_cast<TNetClient*>(this);
  }

  // Constructor steps from the library call on; a failure releases the new library client.
  void CreateLibraryClient(const BackProcs& procs) {
    CheckError(Api().CreateClient(&block_));
    try {
      ReadClientInfo();
      block_.BackProcs = procs;
      CheckError(Api().SetClientBackProc(block_.Handle, &block_.BackProcs));
    } catch (...) {
      if (block_.Handle != 0) Api().DestroyClient(block_.Handle);
      block_.Handle = 0;
      throw;
    }
  }

  // The last destructor step; errors are reported, never raised. Once the library client
  // is gone no back-procedure starts; one still running on another thread (past the
  // library's wait) is waited for.
  void DestroyLibraryClient() noexcept {
    if (block_.Handle != 0)
      Guarded("Destroy", [&] { CheckError(Api().DestroyClient(block_.Handle)); });
    callbacks_->WaitForOtherThreads();
  }

  static TNetClient* FromOwner(void* owner) { return static_cast<TNetClient*>(owner); }

  static const typename Traits::Functions& Api() { return NetworkApi().*Traits::Table; }

  void CheckHandle() {
    if (block_.Handle == 0) CheckError(1);
  }

  // Whether CheckError raises on the code.
  bool Raises(int32_t code) const { return showDebugInfo_ && Traits::ErrorText(code) != nullptr; }

  void CheckError(int32_t code) {
    if (Raises(code))
      throw plat::Exception(std::string(Traits::MessagePrefix) + Traits::ErrorText(code));
  }

  // The library's callbacks rewrite the mirror on the library's thread while the owner may
  // be changing a setting: every read and write of the mirror holds mirrorLock_, which is
  // never held while an event or anything else outside the library is called. Nor is an
  // error raised while it is held: the result code is checked once it is released (in the
  // x86-64 build of a program run under a debugger, the runtime's unwinder gave the frame
  // that releases the lock wrong registers, and the release crashed).
  void ReadClientInfo() {
    CheckHandle();
    CheckError(GetInfo());
  }

  // The setter pattern: frozen while the library reports the client up; otherwise change
  // the one field, write the whole record and read it back, with no refresh in between
  // (one would put the old values back before the write). A write that raises is not read
  // back.
  template <class Change>
  void ChangeSetting(Change change) {
    CheckHandle();
    int32_t code;
    {
      std::lock_guard<std::recursive_mutex> hold(mirrorLock_);
      if (block_.Info.*Traits::State != 0) return;
      change(block_.Info);
      code = SetInfo();
      if (!Raises(code)) code = GetInfo();
    }
    CheckError(code);
  }
  void SetInt(int32_t Info::*field, int32_t value) {
    ChangeSetting([&](Info& info) { info.*field = value; });
  }
  void SetBool(int32_t Info::*field, bool value) { SetInt(field, value ? kTrue : kFalse); }
  int32_t GetInt(int32_t Info::*field) const {
    std::lock_guard<std::recursive_mutex> hold(mirrorLock_);
    return block_.Info.*field;
  }
  bool GetBool(int32_t Info::*field) const { return GetInt(field) != 0; }

  // Logined / Connected: the design-time value while designing or loading, else the mirror.
  bool GetState() const {
    if (IsDesigning() || IsLoading()) return designState_;
    return GetInt(Traits::State) != 0;
  }
  void SetState(bool value) {
    CheckHandle();
    if (IsDesigning() || IsLoading()) {
      designState_ = value;
      return;
    }
    if (value == GetState()) return;
    if (value)
      StateOn();
    else
      StateOff();
    ReadClientInfo();
  }
  virtual void StateOn() = 0;   // Login / Connect
  virtual void StateOff() = 0;  // Logout / Disconnect

  // Runs work that must not let an error out (destructor, back-procedures).
  template <class Work>
  void Guarded(const char* method, Work work) noexcept {
    try {
      work();
    } catch (const std::exception& e) {
      ReportSwallowedError(Traits::ClassName, method, e.what());
    } catch (...) {
      ReportSwallowedError(Traits::ClassName, method, "unknown error");
    }
  }

  // A state callback of the library: refresh the mirror, then the event.
  void RunStateProc(const char* method, const TNotifyEvent& event) noexcept {
    TCallbackGate::Run running(callbacks_);
    Guarded(method, [&] {
      ReadClientInfo();
      // A copy: the handler may free this component.
      if (TNotifyEvent handler = event) handler(this);
    });
  }

  Block block_;
  std::shared_ptr<TCallbackGate> callbacks_ = std::make_shared<TCallbackGate>();
  mutable std::recursive_mutex mirrorLock_;
  bool designState_ = false;
  bool showDebugInfo_ = true;

private:
  // The record's read and write under mirrorLock_, answering the library's result code.
  int32_t GetInfo() {
    std::lock_guard<std::recursive_mutex> hold(mirrorLock_);
    return Api().GetClientInfo(block_.Handle, &block_.Info);
  }
  int32_t SetInfo() {
    std::lock_guard<std::recursive_mutex> hold(mirrorLock_);
    return Api().SetClientInfo(block_.Handle, &block_.Info);
  }
};

}  // namespace netclients
