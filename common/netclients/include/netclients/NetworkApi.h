// The network library Network.dll as the client components see it: its client blocks,
// client info records and back-procedure records, byte for byte, and one table of its 26
// stdcall functions through which every call goes.
//
// Binding the table
// -----------------
// * Windows build: NetworkApi() starts out bound to Network.dll, imported by name (the
//   import library is made from outside/network/Network.def, undecorated names). Any
//   program or DLL that links `netclients` therefore loads Network.dll from beside itself
//   (or the search path) when it starts. Nothing has to be called.
// * Native build: there is no Network.dll. The table starts out empty (every entry null)
//   and must be bound with SetNetworkApi() before the first component is created:
//     - the unit tests bind a recording fake of their own (tests/unit/netclients);
//     - programs that want real loopback networking link `network_standin` and call
//         netclients::SetNetworkApi(network::StandInApi());   // network/StandIn.h
//       The stand-in opens real TCP connections and calls back on a thread of its own,
//       exactly as Network.dll does on Windows.
// * Portable test code that runs in both builds:
//     #ifndef _WIN32
//       netclients::SetNetworkApi(network::StandInApi());
//     #endif
//   Linking `network_standin` works in both builds (on Windows it stands for Network.dll).
// SetNetworkApi() also exists in the Windows build (tests use it to bind a fake there).
// Bind the table while no component exists; the table is copied.
//
// Result codes: 0 success; -1 and 1 to 7 (point-to-point, audio/video) or 1 to 10
// (command) have the texts of the components (see CheckError); others carry no text.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/callconv.h"
#include "platform/guid.h"

namespace netclients {

// Booleans inside the records are 32-bit: -1 true, 0 false; any non-zero value reads true.
constexpr int32_t kTrue = -1;
constexpr int32_t kFalse = 0;

#pragma pack(push, 1)

// --- Point-to-point and audio/video clients (one layout for both) ------------------------

struct TP2PClientInfo {
  int32_t InfoHeader;
  int32_t Logined;
  char ServerHost[128];
  int32_t ServerPort;
  int32_t LocalPort;
  uint8_t LibraryArea[132];  // the library's own; travels between its read and write untouched
  int32_t ReuseAddr;
  int32_t RecvBufferEnabled;
  int32_t SendBufferEnabled;
  int32_t RecvBufferSize;
  int32_t SendBufferSize;
  int32_t SendTimeOutEnabled;
  int32_t SendTimeOut;
  int32_t AutoHeartbeat;
  int32_t HeartbeatInterval;
  int32_t LoginWaitTime;
  int32_t P2PConnectWaitTime;
  int32_t TerminateWaitTime;
};

using TClientExceptionProc = void(PLAT_STDCALL*)(void* Owner, uint32_t ThreadHandle,
                                                 const char* Msg);
using TClientStateProc = void(PLAT_STDCALL*)(void* Owner);

struct TP2PClientBackProcs {
  TClientExceptionProc ExceptionProc;
  TClientStateProc LoginProc;
  TClientStateProc LogoutProc;
};

struct TP2PClientBlock {
  uint32_t Handle;
  plat::Guid ObjID;
  void* Owner;  // handed back as the first argument of every back-procedure
  int32_t Reserved;
  TP2PClientInfo Info;
  TP2PClientBackProcs BackProcs;
};

// --- Command client -----------------------------------------------------------------------

struct TCMDClientInfo {
  int32_t InfoHeader;
  int32_t Connected;
  char ServerHost[128];
  int32_t ServerPort;
  int32_t LocalPort;
  int32_t UseComInThread;
  int32_t CanReconnect;
  int32_t MTUSize;
  int32_t ReuseAddr;
  int32_t Linger;
  int32_t RecvBufferEnabled;
  int32_t SendBufferEnabled;
  int32_t RecvBufferSize;
  int32_t SendBufferSize;
  int32_t SendTimeOutEnabled;
  int32_t SendTimeOut;
  int32_t AutoHeartbeat;
  int32_t HeartbeatInterval;
  int32_t ConnectWaitTime;
  int32_t TerminateWaitTime;
};

struct TCMDClientBackProcs {
  TClientStateProc ConnectProc;
  TClientStateProc DisconnectProc;
};

struct TCMDClientBlock {
  uint32_t Handle;
  plat::Guid ObjID;
  void* Owner;
  int32_t Reserved;
  TCMDClientInfo Info;
  TCMDClientBackProcs BackProcs;
};

#pragma pack(pop)

// The records are those of 32-bit Windows. A 64-bit build (a test vehicle only) widens the
// pointer-sized fields, the owner and the back-procedures, and keeps everything else.
constexpr std::size_t kPtr = sizeof(void*);
static_assert(kPtr == 4 || kPtr == 8, "a 32-bit or 64-bit build");
constexpr std::size_t Layout(std::size_t in32, std::size_t in64) { return kPtr == 4 ? in32 : in64; }

static_assert(sizeof(TP2PClientInfo) == 324, "TP2PClientInfo");
static_assert(offsetof(TP2PClientInfo, InfoHeader) == 0, "InfoHeader");
static_assert(offsetof(TP2PClientInfo, Logined) == 4, "Logined");
static_assert(offsetof(TP2PClientInfo, ServerHost) == 8, "ServerHost");
static_assert(offsetof(TP2PClientInfo, ServerPort) == 136, "ServerPort");
static_assert(offsetof(TP2PClientInfo, LocalPort) == 140, "LocalPort");
static_assert(offsetof(TP2PClientInfo, LibraryArea) == 144, "LibraryArea");
static_assert(offsetof(TP2PClientInfo, ReuseAddr) == 276, "ReuseAddr");
static_assert(offsetof(TP2PClientInfo, RecvBufferEnabled) == 280, "RecvBufferEnabled");
static_assert(offsetof(TP2PClientInfo, SendBufferEnabled) == 284, "SendBufferEnabled");
static_assert(offsetof(TP2PClientInfo, RecvBufferSize) == 288, "RecvBufferSize");
static_assert(offsetof(TP2PClientInfo, SendBufferSize) == 292, "SendBufferSize");
static_assert(offsetof(TP2PClientInfo, SendTimeOutEnabled) == 296, "SendTimeOutEnabled");
static_assert(offsetof(TP2PClientInfo, SendTimeOut) == 300, "SendTimeOut");
static_assert(offsetof(TP2PClientInfo, AutoHeartbeat) == 304, "AutoHeartbeat");
static_assert(offsetof(TP2PClientInfo, HeartbeatInterval) == 308, "HeartbeatInterval");
static_assert(offsetof(TP2PClientInfo, LoginWaitTime) == 312, "LoginWaitTime");
static_assert(offsetof(TP2PClientInfo, P2PConnectWaitTime) == 316, "P2PConnectWaitTime");
static_assert(offsetof(TP2PClientInfo, TerminateWaitTime) == 320, "TerminateWaitTime");

static_assert(sizeof(TP2PClientBackProcs) == Layout(12, 24), "TP2PClientBackProcs");
static_assert(offsetof(TP2PClientBackProcs, ExceptionProc) == 0, "ExceptionProc");
static_assert(offsetof(TP2PClientBackProcs, LoginProc) == kPtr, "LoginProc");
static_assert(offsetof(TP2PClientBackProcs, LogoutProc) == 2 * kPtr, "LogoutProc");

static_assert(sizeof(TP2PClientBlock) == Layout(364, 380), "TP2PClientBlock");
static_assert(offsetof(TP2PClientBlock, Handle) == 0, "Handle");
static_assert(offsetof(TP2PClientBlock, ObjID) == 4, "ObjID");
static_assert(offsetof(TP2PClientBlock, Owner) == 20, "Owner");
static_assert(offsetof(TP2PClientBlock, Reserved) == Layout(24, 28), "Reserved");
static_assert(offsetof(TP2PClientBlock, Info) == Layout(28, 32), "Info");
static_assert(offsetof(TP2PClientBlock, BackProcs) == Layout(352, 356), "BackProcs");

static_assert(sizeof(TCMDClientInfo) == 204, "TCMDClientInfo");
static_assert(offsetof(TCMDClientInfo, InfoHeader) == 0, "InfoHeader");
static_assert(offsetof(TCMDClientInfo, Connected) == 4, "Connected");
static_assert(offsetof(TCMDClientInfo, ServerHost) == 8, "ServerHost");
static_assert(offsetof(TCMDClientInfo, ServerPort) == 136, "ServerPort");
static_assert(offsetof(TCMDClientInfo, LocalPort) == 140, "LocalPort");
static_assert(offsetof(TCMDClientInfo, UseComInThread) == 144, "UseComInThread");
static_assert(offsetof(TCMDClientInfo, CanReconnect) == 148, "CanReconnect");
static_assert(offsetof(TCMDClientInfo, MTUSize) == 152, "MTUSize");
static_assert(offsetof(TCMDClientInfo, ReuseAddr) == 156, "ReuseAddr");
static_assert(offsetof(TCMDClientInfo, Linger) == 160, "Linger");
static_assert(offsetof(TCMDClientInfo, RecvBufferEnabled) == 164, "RecvBufferEnabled");
static_assert(offsetof(TCMDClientInfo, SendBufferEnabled) == 168, "SendBufferEnabled");
static_assert(offsetof(TCMDClientInfo, RecvBufferSize) == 172, "RecvBufferSize");
static_assert(offsetof(TCMDClientInfo, SendBufferSize) == 176, "SendBufferSize");
static_assert(offsetof(TCMDClientInfo, SendTimeOutEnabled) == 180, "SendTimeOutEnabled");
static_assert(offsetof(TCMDClientInfo, SendTimeOut) == 184, "SendTimeOut");
static_assert(offsetof(TCMDClientInfo, AutoHeartbeat) == 188, "AutoHeartbeat");
static_assert(offsetof(TCMDClientInfo, HeartbeatInterval) == 192, "HeartbeatInterval");
static_assert(offsetof(TCMDClientInfo, ConnectWaitTime) == 196, "ConnectWaitTime");
static_assert(offsetof(TCMDClientInfo, TerminateWaitTime) == 200, "TerminateWaitTime");

static_assert(sizeof(TCMDClientBackProcs) == Layout(8, 16), "TCMDClientBackProcs");
static_assert(offsetof(TCMDClientBackProcs, ConnectProc) == 0, "ConnectProc");
static_assert(offsetof(TCMDClientBackProcs, DisconnectProc) == kPtr, "DisconnectProc");

static_assert(sizeof(TCMDClientBlock) == Layout(240, 252), "TCMDClientBlock");
static_assert(offsetof(TCMDClientBlock, Handle) == 0, "Handle");
static_assert(offsetof(TCMDClientBlock, ObjID) == 4, "ObjID");
static_assert(offsetof(TCMDClientBlock, Owner) == 20, "Owner");
static_assert(offsetof(TCMDClientBlock, Reserved) == Layout(24, 28), "Reserved");
static_assert(offsetof(TCMDClientBlock, Info) == Layout(28, 32), "Info");
static_assert(offsetof(TCMDClientBlock, BackProcs) == Layout(232, 236), "BackProcs");

// --- The functions ---------------------------------------------------------------------------

// The nine functions of one login-based kind, in the order p2p.../avs... of Network.dll:
// CreateClient, DestroyClient, SetClientBackProc, SetClientObjID, GetClientInfo,
// SetClientInfo, ClientLogin, ClientLogout, SetClientRoutingOwner.
struct TLoginClientFunctions {
  int32_t(PLAT_STDCALL* CreateClient)(TP2PClientBlock* Block);
  int32_t(PLAT_STDCALL* DestroyClient)(uint32_t Handle);
  int32_t(PLAT_STDCALL* SetClientBackProc)(uint32_t Handle, const TP2PClientBackProcs* Procs);
  int32_t(PLAT_STDCALL* SetClientObjID)(uint32_t Handle, const plat::Guid* ObjID);
  int32_t(PLAT_STDCALL* GetClientInfo)(uint32_t Handle, TP2PClientInfo* Info);
  int32_t(PLAT_STDCALL* SetClientInfo)(uint32_t Handle, const TP2PClientInfo* Info);
  int32_t(PLAT_STDCALL* ClientLogin)(uint32_t Handle);
  int32_t(PLAT_STDCALL* ClientLogout)(uint32_t Handle);
  int32_t(PLAT_STDCALL* SetClientRoutingOwner)(uint32_t Handle, uint32_t Owner);
};

// The eight cmd... functions: CreateClient, DestroyClient, SetClientBackProc,
// SetClientObjID, GetClientInfo, SetClientInfo, ConnectClient, DisconnectClient.
struct TCMDClientFunctions {
  int32_t(PLAT_STDCALL* CreateClient)(TCMDClientBlock* Block);
  int32_t(PLAT_STDCALL* DestroyClient)(uint32_t Handle);
  int32_t(PLAT_STDCALL* SetClientBackProc)(uint32_t Handle, const TCMDClientBackProcs* Procs);
  int32_t(PLAT_STDCALL* SetClientObjID)(uint32_t Handle, const plat::Guid* ObjID);
  int32_t(PLAT_STDCALL* GetClientInfo)(uint32_t Handle, TCMDClientInfo* Info);
  int32_t(PLAT_STDCALL* SetClientInfo)(uint32_t Handle, const TCMDClientInfo* Info);
  int32_t(PLAT_STDCALL* ConnectClient)(uint32_t Handle);
  int32_t(PLAT_STDCALL* DisconnectClient)(uint32_t Handle);
};

// The table of all 26 functions.
struct TNetworkApi {
  TLoginClientFunctions p2p;
  TLoginClientFunctions avs;
  TCMDClientFunctions cmd;
};

// The table every component calls through.
const TNetworkApi& NetworkApi();
// Binds the table (see the top of this file); returns the previous binding.
TNetworkApi SetNetworkApi(const TNetworkApi& api);

}  // namespace netclients
