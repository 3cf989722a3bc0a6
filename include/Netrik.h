/* Netrik.dll: connections keyed by GUID, plug-ins, and hook procedures told of connection
 * events. Every export is stdcall; boolean results are -1 (true) or 0 (false). */
#ifndef NETRIK_H
#define NETRIK_H

#include <stdint.h>

#if defined(_WIN32)
#include <guiddef.h>
#define NETRIK_CALL __stdcall
typedef GUID TNetrikGUID;
#else
#define NETRIK_CALL __attribute__((stdcall))
typedef struct TNetrikGUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
} TNetrikGUID;
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Connection kinds of CreateConnection and ModifyConnection. */
enum {
  NETRIK_KIND_COMMAND = 1,
  NETRIK_KIND_AUDIOVIDEO = 2,
  NETRIK_KIND_P2PFILE = 3
};

/* Hook ids of the connection events; they are reported under category 0. */
enum {
  NETRIK_HOOK_CMD_CONNECT = 1,
  NETRIK_HOOK_CMD_DISCONNECT = 2,
  NETRIK_HOOK_AVS_LOGIN = 3,
  NETRIK_HOOK_AVS_LOGOUT = 4,
  NETRIK_HOOK_P2P_LOGIN = 5,
  NETRIK_HOOK_P2P_LOGOUT = 6
};

/* The record a connection-event hook receives; valid only during the call. */
#pragma pack(push, 1)
typedef struct TConnectionHookInfo {
  TNetrikGUID ObjID;      /* the connection's GUID */
  int32_t InfoHeader;     /* first word of the client's settings record */
  int32_t Active;         /* -1 connected / logged in, 0 not */
  char ServerHost[128];   /* at most 127 bytes of text, zero-filled */
  int32_t ServerPort;
  int32_t LocalPort;
} TConnectionHookInfo;
#pragma pack(pop)

/* Hook procedure: category, hook id, the value registered with it, event data, 0. */
typedef int32_t(NETRIK_CALL* TSysHookProc)(int32_t Category, int32_t HookID, uint32_t HookData,
                                           void* Data, uint32_t Reserved);
/* Enumeration procedure: one registration and the caller's EnumData. */
typedef int32_t(NETRIK_CALL* TSysHookEnumProc)(int32_t Category, int32_t HookID,
                                               uint32_t HookData, TSysHookProc Proc,
                                               uint32_t EnumData);

/* Hook registry (works with or without InitNetrik). EnumSysHookProcs calls EnumProc with the
 * registry's lock held: EnumProc may use these four exports on its own thread, but must not
 * call the connection or life-cycle exports. Those take Netrik's own lock, under which
 * plug-in entries may use the registry, so the two locks would be taken in opposite orders.
 * The connection events call their hook after the lookup, without either lock. */
int32_t NETRIK_CALL EnumSysHookProcs(int32_t Category, int32_t HookID, uint32_t HookData,
                                     TSysHookEnumProc EnumProc, uint32_t EnumData);
int32_t NETRIK_CALL GetSysHookProc(int32_t Category, int32_t HookID, uint32_t* HookData,
                                   TSysHookProc* Proc);
void NETRIK_CALL UnRegisterSysHookProc(int32_t Category, int32_t HookID, uint32_t HookData,
                                       TSysHookProc Proc);
int32_t NETRIK_CALL RegisterSysHookProc(int32_t Category, int32_t HookID, uint32_t HookData,
                                        TSysHookProc Proc);

/* Connections. DestroyConnection takes the connection out of the table (it is not found any
 * more from then on) and frees it once Netrik's lock is let go: when the export returns, or,
 * called inside a plug-in entry, when the export that called the entry returns. Freeing
 * logs the client out or disconnects it and destroys it, and waits until its pending events
 * have reached the hooks (the network library waits at most the client's TerminateWaitTime,
 * 5 s by default, and drops what is still queued then; on its own thread it does not wait)
 * and a hook still running for the connection has returned. Called outside a plug-in entry,
 * DestroyConnection thus returns after the connection's down event; that event may still
 * come after the up event of a connection that another thread, or a plug-in entry, makes
 * and opens anew under the same GUID meanwhile. Called from a hook (on the network
 * library's thread), DestroyConnection does not wait: that connection's down event reaches
 * no hook. UnInitNetrik called from a hook frees every connection so: the pending down
 * events of the other connections are dropped too. */
int32_t NETRIK_CALL NewConnectionRoutingID(const TNetrikGUID* ObjID);
int32_t NETRIK_CALL FindConnection(const TNetrikGUID* ObjID);
int32_t NETRIK_CALL CanConnectionClose(const TNetrikGUID* ObjID);
int32_t NETRIK_CALL IsConnectionActive(const TNetrikGUID* ObjID);
void NETRIK_CALL CloseConnection(const TNetrikGUID* ObjID);
int32_t NETRIK_CALL OpenConnection(const TNetrikGUID* ObjID);
void NETRIK_CALL ModifyConnection(int32_t ClientKind, const TNetrikGUID* ObjID, const char* Host,
                                  int32_t Port);
void NETRIK_CALL DestroyConnection(const TNetrikGUID* ObjID);
int32_t NETRIK_CALL CreateConnection(int32_t ClientKind, const TNetrikGUID* ObjID,
                                     const char* Host, int32_t Port);

/* Life cycle. Call UnInitNetrik before FreeLibrary: it stops and frees the plug-ins, frees
 * the connections (newest first, as above) and returns once no hook call of Netrik runs on
 * another thread, so that FreeLibrary has nothing left to wait for; so it does too when a
 * hook or another thread has ended Netrik already. Called inside a plug-in entry, it ends
 * Netrik at once (no export finds the instance any more), and the plug-ins and connections
 * go when the export that called the entry returns. At process exit (from a library's
 * DLL_PROCESS_DETACH) it does not wait for hooks, whose threads are gone. Without it the
 * unloading does the same under the system's loader lock: then a plug-in's stop entry and
 * the hook procedures still called for the connections must not load or free a library,
 * nor start a thread or wait for one that starts, ends or loads a library, or the unloading
 * never ends. Once the unloading has begun, InitNetrik makes no instance (it answers 0). */
void NETRIK_CALL UnInitNetrik(void);
void NETRIK_CALL StopNetrik(void);
void NETRIK_CALL StartNetrik(void);
int32_t NETRIK_CALL InitNetrik(const char* PlugListFile);

#ifdef __cplusplus
}
#endif

#endif /* NETRIK_H */
