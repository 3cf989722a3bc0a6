// The point-to-point file client component.
#pragma once
#include "netclients/LoginClient.h"

namespace netclients {

struct TP2PKind : TLoginKindBase {
  static constexpr TLoginClientFunctions TNetworkApi::*Table = &TNetworkApi::p2p;
  static constexpr const char* ClassName = "TP2PClient";
  static constexpr const char* MessagePrefix = "P2PFile客户端";
  static constexpr const char* ExceptionProcName = "P2PExceptionProc";
  static constexpr const char* LoginProcName = "P2PLoginProc";
  static constexpr const char* LogoutProcName = "P2PLogoutProc";
  static constexpr const char* RoutingSource = "Common\\Network Components\\Source\\P2PFile";
  static constexpr int RoutingLine = 1982;
};

using TP2PClient = TLoginClient<TP2PKind>;
using TP2PClientRoutingList = TClientRoutingList<TP2PKind>;
using TP2PExceptionEvent = TLoginExceptionEvent;

inline constexpr TClientExceptionProc P2PExceptionProc = &TP2PClient::ExceptionProc;
inline constexpr TClientStateProc P2PLoginProc = &TP2PClient::LoginProc;
inline constexpr TClientStateProc P2PLogoutProc = &TP2PClient::LogoutProc;

extern template class TNetClient<TP2PKind>;
extern template class TLoginClient<TP2PKind>;
extern template class TClientRoutingList<TP2PKind>;

}  // namespace netclients
