// The login-based client components: TP2PClient (unit P2PFile) and TAVSClient (unit
// AvsSvc) are this one template, told apart by their kind (function group of the table,
// message prefix, names, and the source path and line named by the routing list's check).
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "netclients/NetClient.h"

namespace netclients {

// What the two login-based kinds share.
struct TLoginKindBase {
  using Block = TP2PClientBlock;
  using Info = TP2PClientInfo;
  using BackProcs = TP2PClientBackProcs;
  using Functions = TLoginClientFunctions;
  static constexpr int32_t TP2PClientInfo::*State = &TP2PClientInfo::Logined;
  // The text after the prefix for -1 and 1 to 7; null for every other code.
  static const char* ErrorText(int32_t code);
};

// OnException: Sender, the library's thread handle, the message (empty for none).
using TLoginExceptionEvent =
    std::function<void(plat::TComponent* Sender, uint32_t AThreadHandle, const std::string& AErrMsg)>;

template <class Kind>
class TLoginClient;

// A routed client of the same kind: another client's handle and the component routing it.
template <class Kind>
struct TRoutedClient {
  uint32_t Handle = 0;
  TLoginClient<Kind>* RoutingOwner = nullptr;
};

// The lock-guarded list of routed clients a component owns. Nothing adds to it in this
// system; destroying it detaches whatever it holds from its routing owner.
template <class Kind>
class TClientRoutingList {
public:
  using Item = TRoutedClient<Kind>;

  explicit TClientRoutingList(TLoginClient<Kind>* AClient) {
    if (!AClient)
      throw plat::EAssertionFailed(plat::Format("%s (%s, line %d)", "AClient<>nil",
                                                Kind::RoutingSource, Kind::RoutingLine));
    client_ = AClient;
  }

  ~TClientRoutingList() {
    std::lock_guard<std::recursive_mutex> hold(itemsLock_);
    try {
      Clear();
    } catch (...) {
      // Clear ignores the library's answers; nothing else in it can fail.
    }
    items_.clear();
  }

  TClientRoutingList(const TClientRoutingList&) = delete;
  TClientRoutingList& operator=(const TClientRoutingList&) = delete;

  // Tells the library that each routed client has no routing owner any more (last item
  // first, coping with a list that shrinks meanwhile), then empties the list. Takes no lock.
  void Clear() {
    int i = Count() - 1;
    while (i >= 0) {
      Item* item = items_[static_cast<size_t>(i)];
      (NetworkApi().*Kind::Table).SetClientRoutingOwner(item->Handle, 0);
      item->RoutingOwner = nullptr;
      if (Count() < i + 1)
        i = Count() - 1;
      else
        --i;
    }
    items_.clear();
  }

  Item* GetItem(int index) const {
    if (index < 0 || index >= Count()) plat::RaiseListIndexError(index);
    return items_[static_cast<size_t>(index)];
  }
  int Count() const { return static_cast<int>(items_.size()); }
  // The list itself, for users holding the lock.
  std::vector<Item*>& Items() { return items_; }
  TLoginClient<Kind>* Client() const { return client_; }

  void Lock() { itemsLock_.lock(); }
  void Unlock() { itemsLock_.unlock(); }

private:
  std::vector<Item*> items_;
  std::recursive_mutex itemsLock_;
  TLoginClient<Kind>* client_ = nullptr;
};

template <class Kind>
class TLoginClient final : public TNetClient<Kind> {
  using Base = TNetClient<Kind>;
  using Info = TP2PClientInfo;

public:
  // The library client exists on return, not logged in by the component.
  explicit TLoginClient(plat::TComponent* owner = nullptr) : Base(owner) {
    routingList_ = std::make_unique<TClientRoutingList<Kind>>(this);
    this->CreateLibraryClient({&TLoginClient::ExceptionProc, &TLoginClient::LoginProc,
                               &TLoginClient::LogoutProc});
  }

  // Logs out, detaches the routing list, destroys the library client; errors are reported
  // on the debugger output and go no further.
  ~TLoginClient() override {
    this->Guarded("Destroy", [&] { Logout(); });
    routingList_.reset();
    this->DestroyLibraryClient();
  }

  // Returns the library's code (0 = success), also when it raised nothing.
  int32_t Login() {
    this->CheckHandle();
    int32_t code = Base::Api().ClientLogin(this->block_.Handle);
    this->CheckError(code);
    this->ReadClientInfo();
    return code;
  }

  void Logout() {
    this->CheckHandle();
    this->CheckError(Base::Api().ClientLogout(this->block_.Handle));
    this->ReadClientInfo();
  }

  bool Logined() const { return this->GetState(); }
  void SetLogined(bool value) { this->SetState(value); }
  bool DesignLogined() const { return this->designState_; }

  int32_t LoginWaitTime() const { return this->GetInt(&Info::LoginWaitTime); }
  void SetLoginWaitTime(int32_t value) { this->SetInt(&Info::LoginWaitTime, value); }
  int32_t P2PConnectWaitTime() const { return this->GetInt(&Info::P2PConnectWaitTime); }
  void SetP2PConnectWaitTime(int32_t value) { this->SetInt(&Info::P2PConnectWaitTime, value); }

  TClientRoutingList<Kind>& RoutingList() { return *routingList_; }

  TLoginExceptionEvent OnException;
  TNotifyEvent OnLogin;
  TNotifyEvent OnLogout;

  // The back-procedures registered with the library (Owner: this component).
  static void PLAT_STDCALL ExceptionProc(void* Owner, uint32_t ThreadHandle, const char* Msg) {
    TLoginClient* self = From(Owner);
    TCallbackGate::Run running(self->callbacks_);
    self->Guarded(Kind::ExceptionProcName, [&] {
      if (TLoginExceptionEvent handler = self->OnException)
        handler(self, ThreadHandle, Msg ? std::string(Msg) : std::string());
    });
  }
  static void PLAT_STDCALL LoginProc(void* Owner) {
    TLoginClient* self = From(Owner);
    self->RunStateProc(Kind::LoginProcName, self->OnLogin);
  }
  static void PLAT_STDCALL LogoutProc(void* Owner) {
    TLoginClient* self = From(Owner);
    self->RunStateProc(Kind::LogoutProcName, self->OnLogout);
  }

private:
  static TLoginClient* From(void* owner) { return static_cast<TLoginClient*>(Base::FromOwner(owner)); }
  void StateOn() override { Login(); }
  void StateOff() override { Logout(); }

  std::unique_ptr<TClientRoutingList<Kind>> routingList_;
};

}  // namespace netclients
