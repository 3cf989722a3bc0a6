// The audio/video client component.
#pragma once
#include "netclients/LoginClient.h"

namespace netclients {

struct TAVSKind : TLoginKindBase {
  static constexpr TLoginClientFunctions TNetworkApi::*Table = &TNetworkApi::avs;
  static constexpr const char* ClassName = "TAVSClient";
  static constexpr const char* MessagePrefix = "音视频客户端";
  static constexpr const char* ExceptionProcName = "AVSExceptionProc";
  static constexpr const char* LoginProcName = "AVSLoginProc";
  static constexpr const char* LogoutProcName = "AVSLogoutProc";
  static constexpr const char* RoutingSource = "Common\\Network Components\\Source\\AvsSvc";
  static constexpr int RoutingLine = 2018;
};

using TAVSClient = TLoginClient<TAVSKind>;
using TAVSClientRoutingList = TClientRoutingList<TAVSKind>;
using TAVSExceptionEvent = TLoginExceptionEvent;

inline constexpr TClientExceptionProc AVSExceptionProc = &TAVSClient::ExceptionProc;
inline constexpr TClientStateProc AVSLoginProc = &TAVSClient::LoginProc;
inline constexpr TClientStateProc AVSLogoutProc = &TAVSClient::LogoutProc;

extern template class TNetClient<TAVSKind>;
extern template class TLoginClient<TAVSKind>;
extern template class TClientRoutingList<TAVSKind>;

}  // namespace netclients
