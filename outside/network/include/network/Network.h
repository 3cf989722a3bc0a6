// The 26 functions of the network library Network.dll (stdcall, undecorated export names).
// Records and codes: netclients/NetworkApi.h.
#pragma once
#include <cstdint>

#include "netclients/NetworkApi.h"

#if defined(_WIN32) && !defined(NETWORK_BUILDING_DLL)
#define NETWORK_IMPORT __declspec(dllimport)
#else
#define NETWORK_IMPORT
#endif

#define NETWORK_LOGIN_FUNCTIONS(prefix)                                                         \
  NETWORK_IMPORT int32_t PLAT_STDCALL prefix##CreateClient(netclients::TP2PClientBlock* Block); \
  NETWORK_IMPORT int32_t PLAT_STDCALL prefix##DestroyClient(uint32_t Handle);                   \
  NETWORK_IMPORT int32_t PLAT_STDCALL prefix##SetClientBackProc(                                \
      uint32_t Handle, const netclients::TP2PClientBackProcs* Procs);                           \
  NETWORK_IMPORT int32_t PLAT_STDCALL prefix##SetClientObjID(uint32_t Handle,                   \
                                                             const plat::Guid* ObjID);          \
  NETWORK_IMPORT int32_t PLAT_STDCALL prefix##GetClientInfo(uint32_t Handle,                    \
                                                            netclients::TP2PClientInfo* Info);  \
  NETWORK_IMPORT int32_t PLAT_STDCALL prefix##SetClientInfo(                                    \
      uint32_t Handle, const netclients::TP2PClientInfo* Info);                                 \
  NETWORK_IMPORT int32_t PLAT_STDCALL prefix##ClientLogin(uint32_t Handle);                     \
  NETWORK_IMPORT int32_t PLAT_STDCALL prefix##ClientLogout(uint32_t Handle);                    \
  NETWORK_IMPORT int32_t PLAT_STDCALL prefix##SetClientRoutingOwner(uint32_t Handle, uint32_t Owner);

extern "C" {
NETWORK_LOGIN_FUNCTIONS(p2p)
NETWORK_LOGIN_FUNCTIONS(avs)

NETWORK_IMPORT int32_t PLAT_STDCALL cmdCreateClient(netclients::TCMDClientBlock* Block);
NETWORK_IMPORT int32_t PLAT_STDCALL cmdDestroyClient(uint32_t Handle);
NETWORK_IMPORT int32_t PLAT_STDCALL cmdSetClientBackProc(uint32_t Handle,
                                                         const netclients::TCMDClientBackProcs* Procs);
NETWORK_IMPORT int32_t PLAT_STDCALL cmdSetClientObjID(uint32_t Handle, const plat::Guid* ObjID);
NETWORK_IMPORT int32_t PLAT_STDCALL cmdGetClientInfo(uint32_t Handle, netclients::TCMDClientInfo* Info);
NETWORK_IMPORT int32_t PLAT_STDCALL cmdSetClientInfo(uint32_t Handle,
                                                     const netclients::TCMDClientInfo* Info);
NETWORK_IMPORT int32_t PLAT_STDCALL cmdConnectClient(uint32_t Handle);
NETWORK_IMPORT int32_t PLAT_STDCALL cmdDisconnectClient(uint32_t Handle);
}

#undef NETWORK_LOGIN_FUNCTIONS

// The 26 functions as a netclients::TNetworkApi initialiser.
#define NETWORK_FUNCTION_TABLE                                                                  \
  {                                                                                             \
    {p2pCreateClient, p2pDestroyClient, p2pSetClientBackProc, p2pSetClientObjID,                \
     p2pGetClientInfo, p2pSetClientInfo, p2pClientLogin, p2pClientLogout,                       \
     p2pSetClientRoutingOwner},                                                                 \
    {avsCreateClient, avsDestroyClient, avsSetClientBackProc, avsSetClientObjID,                \
     avsGetClientInfo, avsSetClientInfo, avsClientLogin, avsClientLogout,                       \
     avsSetClientRoutingOwner},                                                                 \
    {cmdCreateClient, cmdDestroyClient, cmdSetClientBackProc, cmdSetClientObjID,                \
     cmdGetClientInfo, cmdSetClientInfo, cmdConnectClient, cmdDisconnectClient},                \
  }
