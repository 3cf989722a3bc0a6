// The command client component.
#pragma once
#include <cstdint>
#include <vector>

#include "netclients/NetClient.h"

namespace netclients {

struct TCMDKind {
  using Block = TCMDClientBlock;
  using Info = TCMDClientInfo;
  using BackProcs = TCMDClientBackProcs;
  using Functions = TCMDClientFunctions;
  static constexpr TCMDClientFunctions TNetworkApi::*Table = &TNetworkApi::cmd;
  static constexpr int32_t TCMDClientInfo::*State = &TCMDClientInfo::Connected;
  static constexpr const char* ClassName = "TCMDClient";
  static constexpr const char* MessagePrefix = "命令客户端";
  // The text after the prefix for -1 and 1 to 10; null for every other code.
  static const char* ErrorText(int32_t code);
};

class TCMDClient;

// An object attached to a command client; the client clears the reference when destroyed.
struct TCMDClientItem {
  TCMDClient* Owner = nullptr;
};

extern template class TNetClient<TCMDKind>;

class TCMDClient final : public TNetClient<TCMDKind> {
public:
  // The library client exists on return, not connected by the component.
  explicit TCMDClient(plat::TComponent* owner = nullptr);
  // Disconnects, detaches and frees Items, destroys the library client; errors are
  // reported on the debugger output and go no further.
  ~TCMDClient() override;

  // Returns the library's code (0 = success), also when it raised nothing.
  int32_t Connect();
  // The library's answer to the disconnect itself is never reported.
  void Disconnect();

  bool Connected() const { return GetState(); }
  void SetConnected(bool value) { SetState(value); }
  bool DesignConnected() const { return designState_; }

  bool UseComInThread() const { return GetBool(&TCMDClientInfo::UseComInThread); }
  void SetUseComInThread(bool value) { SetBool(&TCMDClientInfo::UseComInThread, value); }
  bool CanReconnect() const { return GetBool(&TCMDClientInfo::CanReconnect); }
  void SetCanReconnect(bool value) { SetBool(&TCMDClientInfo::CanReconnect, value); }
  int32_t MTUSize() const { return GetInt(&TCMDClientInfo::MTUSize); }
  void SetMTUSize(int32_t value) { SetInt(&TCMDClientInfo::MTUSize, value); }
  int32_t Linger() const { return GetInt(&TCMDClientInfo::Linger); }
  void SetLinger(int32_t value) { SetInt(&TCMDClientInfo::Linger, value); }
  int32_t ConnectWaitTime() const { return GetInt(&TCMDClientInfo::ConnectWaitTime); }
  void SetConnectWaitTime(int32_t value) { SetInt(&TCMDClientInfo::ConnectWaitTime, value); }

  // The attached objects (none in this system); only the destructor changes them.
  std::vector<TCMDClientItem*>& Items() { return items_; }

  TNotifyEvent OnConnect;
  TNotifyEvent OnDisconnect;

  // The back-procedures registered with the library (Owner: this component).
  static void PLAT_STDCALL CMDConnectProc(void* Owner);
  static void PLAT_STDCALL CMDDisconnectProc(void* Owner);

private:
  void StateOn() override { Connect(); }
  void StateOff() override { Disconnect(); }
  void ClearItems();

  std::vector<TCMDClientItem*> items_;
};

inline constexpr TClientStateProc CMDConnectProc = &TCMDClient::CMDConnectProc;
inline constexpr TClientStateProc CMDDisconnectProc = &TCMDClient::CMDDisconnectProc;

}  // namespace netclients
