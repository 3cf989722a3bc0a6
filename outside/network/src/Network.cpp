// The stand-in network library: client records, real TCP connections and callbacks on a
// thread of the library's own. See network/StandIn.h for what a caller can rely on.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Sockets.h"
#include "network/Network.h"
#include "network/StandIn.h"

#if defined(_WIN32)
#include <windows.h>
#endif

using netclients::kFalse;
using netclients::kTrue;
using netclients::TCMDClientBackProcs;
using netclients::TCMDClientBlock;
using netclients::TCMDClientInfo;
using netclients::TP2PClientBackProcs;
using netclients::TP2PClientBlock;
using netclients::TP2PClientInfo;

namespace network {
namespace {

// Result codes.
constexpr int32_t kOk = 0;
constexpr int32_t kUnknownError = -1;
constexpr int32_t kInvalidHandle = 1;
constexpr int32_t kConnectFailed = 4;  // "login failed" for the login-based kinds

enum class Kind { P2P, AVS, CMD };

struct Client {
  Kind kind;
  uint32_t handle = 0;
  void* owner = nullptr;
  plat::Guid objId{};
  uint32_t routingOwner = 0;
  // One of the two records, by kind.
  TP2PClientInfo login{};
  TCMDClientInfo cmd{};
  int32_t configuredLocalPort = 0;
  // Back-procedures: the exception one only for the login-based kinds.
  netclients::TClientExceptionProc exceptionProc = nullptr;
  netclients::TClientStateProc upProc = nullptr;
  netclients::TClientStateProc downProc = nullptr;

  sock::Socket socket = sock::kInvalid;
  bool connecting = false;
  // DestroyClient has begun: the handle is good only for reading the record (from inside
  // the callbacks it still delivers).
  bool destroying = false;
  // DestroyClient has returned: nothing queued for the client is delivered any more.
  bool destroyed = false;
  bool inCallback = false;

  bool IsLogin() const { return kind != Kind::CMD; }
  int32_t& State() { return IsLogin() ? login.Logined : cmd.Connected; }
  int32_t& LocalPortField() { return IsLogin() ? login.LocalPort : cmd.LocalPort; }
  int32_t TerminateWaitTime() const {
    return IsLogin() ? login.TerminateWaitTime : cmd.TerminateWaitTime;
  }
};

using ClientPtr = std::shared_ptr<Client>;

struct Event {
  enum What { Up, Down, Exception } what;
  ClientPtr client;
  std::string message;
};

// Everything the library keeps; made once and never freed, so that no static destructor
// runs while the library's thread may still use it.
struct Library {
  std::mutex mutex;
  std::condition_variable callbackDone;
  std::map<uint32_t, ClientPtr> clients;
  uint32_t nextHandle = 1;
  std::deque<Event> events;
  std::unique_ptr<sock::Waker> waker;
  bool threadStarted = false;
  uint32_t threadId = 0;
};

Library& Lib() {
  static Library* library = new Library;
  return *library;
}

void ThreadMain();

// Starts the library's thread with the first client (called with the mutex held). The
// library is pinned first, on the caller's thread: a caller that unloads it at once must not
// pull the code from under a thread that has not yet begun to run.
void EnsureThread(Library& lib) {
  if (lib.threadStarted) return;
  sock::PinLibrary();
  lib.waker = std::make_unique<sock::Waker>();
  lib.threadStarted = true;
  std::thread(ThreadMain).detach();
}

// A client being destroyed is found only when reading its record is asked for.
ClientPtr Find(Library& lib, uint32_t handle, Kind kind, bool evenDestroying = false) {
  auto it = lib.clients.find(handle);
  if (it == lib.clients.end() || it->second->kind != kind) return nullptr;
  if (it->second->destroying && !evenDestroying) return nullptr;
  return it->second;
}

void Post(Library& lib, Event event) {
  lib.events.push_back(std::move(event));
  if (lib.waker) lib.waker->Signal();
}

// Ends an established connection (mutex held): the record shows it down, the down callback
// (after the exception callback, for an error) is queued.
void EndConnection(Library& lib, const ClientPtr& client, const std::string* error) {
  sock::Close(client->socket);
  client->socket = sock::kInvalid;
  client->State() = kFalse;
  client->LocalPortField() = client->configuredLocalPort;
  if (error && client->IsLogin()) Post(lib, {Event::Exception, client, *error});
  Post(lib, {Event::Down, client, std::string()});
}

bool HasQueued(const Library& lib, const ClientPtr& client) {
  return std::any_of(lib.events.begin(), lib.events.end(),
                     [&](const Event& event) { return event.client == client; });
}

// Runs queued callbacks one by one, without the mutex, skipping destroyed clients.
void DispatchEvents(Library& lib) {
  std::unique_lock<std::mutex> lock(lib.mutex);
  while (!lib.events.empty()) {
    Event event = std::move(lib.events.front());
    lib.events.pop_front();
    ClientPtr client = std::move(event.client);
    if (client->destroyed) continue;
    void* owner = client->owner;
    netclients::TClientExceptionProc exceptionProc = client->exceptionProc;
    netclients::TClientStateProc stateProc = event.what == Event::Up ? client->upProc : client->downProc;
    if (event.what == Event::Exception ? !exceptionProc : !stateProc) continue;
    client->inCallback = true;
    lock.unlock();
    if (event.what == Event::Exception)
      exceptionProc(owner, sock::CurrentThreadId(), event.message.c_str());
    else
      stateProc(owner);
    lock.lock();
    client->inCallback = false;
    lib.callbackDone.notify_all();
  }
  lib.callbackDone.notify_all();
}

// The library's thread: watches the open connections for data and for their end, and runs
// the callbacks.
void ThreadMain() {
  Library& lib = Lib();
  sock::RememberLibraryThread();
  {
    std::lock_guard<std::mutex> lock(lib.mutex);
    lib.threadId = sock::CurrentThreadId();
  }
  std::vector<sock::Socket> sockets;
  std::vector<uint32_t> owners;
  std::vector<bool> readable;
  for (;;) {
    sockets.assign(1, lib.waker->ReadSide());
    owners.assign(1, 0);
    {
      std::lock_guard<std::mutex> lock(lib.mutex);
      for (auto& entry : lib.clients)
        if (entry.second->socket != sock::kInvalid) {
          sockets.push_back(entry.second->socket);
          owners.push_back(entry.first);
        }
    }
    sock::WaitReadable(sockets, 1000, readable);
    lib.waker->Clear();
    // What was queued before these sockets were looked at comes out first: a login or
    // connect callback then still finds its client up, even when the peer has already
    // closed again, and the down callback follows it.
    DispatchEvents(lib);
    {
      std::lock_guard<std::mutex> lock(lib.mutex);
      for (size_t i = 1; i < sockets.size(); ++i) {
        if (!readable[i]) continue;
        auto it = lib.clients.find(owners[i]);
        // The connection may have ended (and its socket been closed) meanwhile.
        if (it == lib.clients.end() || it->second->socket != sockets[i]) continue;
        std::string error;
        int n = sock::Drain(sockets[i], &error);
        if (n == 0)
          EndConnection(lib, it->second, nullptr);
        else if (n == -1)
          EndConnection(lib, it->second, &error);
      }
    }
    DispatchEvents(lib);
  }
}

// --- The functions, once for every kind -------------------------------------------------------

template <class Info>
Info& RecordOf(Client& client);
template <>
TP2PClientInfo& RecordOf<TP2PClientInfo>(Client& client) { return client.login; }
template <>
TCMDClientInfo& RecordOf<TCMDClientInfo>(Client& client) { return client.cmd; }

void SetDefaults(Client& client) {
  if (client.IsLogin()) {
    TP2PClientInfo& r = client.login;
    r.InfoHeader = sizeof r;
    r.ReuseAddr = r.RecvBufferEnabled = r.SendBufferEnabled = kTrue;
    r.RecvBufferSize = r.SendBufferSize = 65536;
    r.SendTimeOutEnabled = kTrue;
    r.SendTimeOut = 5000;
    r.AutoHeartbeat = kTrue;
    r.HeartbeatInterval = 1500;
    r.LoginWaitTime = r.P2PConnectWaitTime = r.TerminateWaitTime = 5000;
  } else {
    TCMDClientInfo& r = client.cmd;
    r.InfoHeader = sizeof r;
    r.UseComInThread = kFalse;
    r.CanReconnect = kTrue;
    r.MTUSize = 1400;
    r.ReuseAddr = kTrue;
    r.Linger = 5;
    r.RecvBufferEnabled = r.SendBufferEnabled = kTrue;
    r.RecvBufferSize = r.SendBufferSize = 32768;
    r.SendTimeOutEnabled = kTrue;
    r.SendTimeOut = 5000;
    r.AutoHeartbeat = kTrue;
    r.HeartbeatInterval = 15;
    r.ConnectWaitTime = r.TerminateWaitTime = 5000;
  }
}

template <class Block>
int32_t CreateClient(Kind kind, Block* block) {
  if (!block) return kUnknownError;
  if (!sock::Startup()) return kUnknownError;
  Library& lib = Lib();
  auto client = std::make_shared<Client>();
  client->kind = kind;
  client->owner = block->Owner;
  client->objId = block->ObjID;
  SetDefaults(*client);
  std::lock_guard<std::mutex> lock(lib.mutex);
  EnsureThread(lib);
  client->handle = lib.nextHandle++;
  lib.clients[client->handle] = client;
  block->Handle = client->handle;
  return kOk;
}

int32_t DestroyClient(Kind kind, uint32_t handle) {
  Library& lib = Lib();
  std::unique_lock<std::mutex> lock(lib.mutex);
  ClientPtr client = Find(lib, handle, kind);
  if (!client) return kInvalidHandle;
  client->destroying = true;
  sock::Close(client->socket);
  client->socket = sock::kInvalid;
  if (lib.waker) lib.waker->Signal();
  // The callbacks queued for this client (the logout of its last connection, say) are
  // delivered and a running one finishes before it goes, but not for ever, never on the
  // library's thread itself, and never while that thread has not begun to run (it may be
  // held up by the loader) or once it has gone.
  if (lib.threadId != 0 && sock::CurrentThreadId() != lib.threadId) {
    auto deadline = std::chrono::steady_clock::now() +
                    std::chrono::milliseconds(std::max<int32_t>(0, client->TerminateWaitTime()));
    while ((client->inCallback || HasQueued(lib, client)) && !sock::LibraryThreadEnded() &&
           std::chrono::steady_clock::now() < deadline)
      lib.callbackDone.wait_for(lock, std::chrono::milliseconds(50));
  }
  lib.clients.erase(handle);
  client->destroyed = true;
  return kOk;
}

// Runs work on a client of the kind under the mutex; an unknown handle is an invalid one.
template <class Work>
int32_t WithClient(Kind kind, uint32_t handle, Work work, bool evenDestroying = false) {
  Library& lib = Lib();
  std::lock_guard<std::mutex> lock(lib.mutex);
  ClientPtr client = Find(lib, handle, kind, evenDestroying);
  if (!client) return kInvalidHandle;
  return work(lib, client);
}

template <class Procs>
int32_t SetClientBackProc(Kind kind, uint32_t handle, const Procs* procs);

template <>
int32_t SetClientBackProc(Kind kind, uint32_t handle, const TP2PClientBackProcs* procs) {
  return WithClient(kind, handle, [&](Library&, const ClientPtr& client) {
    if (!procs) return kUnknownError;
    client->exceptionProc = procs->ExceptionProc;
    client->upProc = procs->LoginProc;
    client->downProc = procs->LogoutProc;
    return kOk;
  });
}

template <>
int32_t SetClientBackProc(Kind kind, uint32_t handle, const TCMDClientBackProcs* procs) {
  return WithClient(kind, handle, [&](Library&, const ClientPtr& client) {
    if (!procs) return kUnknownError;
    client->upProc = procs->ConnectProc;
    client->downProc = procs->DisconnectProc;
    return kOk;
  });
}

int32_t SetClientObjID(Kind kind, uint32_t handle, const plat::Guid* objId) {
  return WithClient(kind, handle, [&](Library&, const ClientPtr& client) {
    if (!objId) return kUnknownError;
    client->objId = *objId;
    return kOk;
  });
}

template <class Info>
int32_t GetClientInfo(Kind kind, uint32_t handle, Info* info) {
  return WithClient(
      kind, handle,
      [&](Library&, const ClientPtr& client) {
        if (!info) return kUnknownError;
        *info = RecordOf<Info>(*client);
        return kOk;
      },
      /*evenDestroying=*/true);
}

// Takes the settings; the header, the state and, while connected, the local port stay the
// library's own.
template <class Info>
int32_t SetClientInfo(Kind kind, uint32_t handle, const Info* info) {
  return WithClient(kind, handle, [&](Library&, const ClientPtr& client) {
    if (!info) return kUnknownError;
    Info& record = RecordOf<Info>(*client);
    Info kept = record;
    int32_t state = client->State();
    record = *info;
    record.InfoHeader = kept.InfoHeader;
    client->State() = state;
    if (client->socket != sock::kInvalid)
      record.LocalPort = kept.LocalPort;
    else
      client->configuredLocalPort = info->LocalPort;
    return kOk;
  });
}

template <class Info>
sock::ConnectOptions OptionsOf(const Info& r) {
  sock::ConnectOptions options;
  options.reuseAddr = r.ReuseAddr != 0;
  options.localPort = r.LocalPort;
  options.recvBuffer = r.RecvBufferEnabled ? r.RecvBufferSize : 0;
  options.sendBuffer = r.SendBufferEnabled ? r.SendBufferSize : 0;
  options.sendTimeOutMs = r.SendTimeOutEnabled ? r.SendTimeOut : 0;
  return options;
}

// Login / Connect: the connection is made on the caller's thread, without the mutex.
int32_t Open(Kind kind, uint32_t handle) {
  Library& lib = Lib();
  std::unique_lock<std::mutex> lock(lib.mutex);
  ClientPtr client = Find(lib, handle, kind);
  if (!client) return kInvalidHandle;
  if (client->socket != sock::kInvalid) return kOk;  // already up
  if (client->connecting) return kUnknownError;
  client->connecting = true;
  const char* hostField = client->IsLogin() ? client->login.ServerHost : client->cmd.ServerHost;
  std::string host(hostField, strnlen(hostField, sizeof client->login.ServerHost));
  int port = client->IsLogin() ? client->login.ServerPort : client->cmd.ServerPort;
  int waitMs = client->IsLogin() ? client->login.LoginWaitTime : client->cmd.ConnectWaitTime;
  sock::ConnectOptions options = client->IsLogin() ? OptionsOf(client->login) : OptionsOf(client->cmd);
  options.localPort = client->configuredLocalPort;
  lock.unlock();

  sock::Socket s = sock::Connect(host, port, options, waitMs);

  lock.lock();
  client->connecting = false;
  if (client->destroying) {
    sock::Close(s);
    return kInvalidHandle;
  }
  if (s == sock::kInvalid) return kConnectFailed;
  client->socket = s;
  client->State() = kTrue;
  client->LocalPortField() = sock::LocalPort(s);
  Post(lib, {Event::Up, client, std::string()});
  return kOk;
}

// Logout / Disconnect: a client that is not up has nothing to end.
int32_t Close(Kind kind, uint32_t handle) {
  return WithClient(kind, handle, [&](Library& lib, const ClientPtr& client) {
    if (client->socket != sock::kInvalid) EndConnection(lib, client, nullptr);
    return kOk;
  });
}

int32_t SetClientRoutingOwner(Kind kind, uint32_t handle, uint32_t owner) {
  return WithClient(kind, handle, [&](Library&, const ClientPtr& client) {
    client->routingOwner = owner;
    return kOk;
  });
}

#if defined(_WIN32)
// The code a test has the export `name` answer with (NETWORK_FAIL, network/StandIn.h), 0 when
// the export runs as usual. Read at each call: a change of the variable counts at once.
int32_t ForcedResult(const char* name) {
  char value[64];
  DWORD n = GetEnvironmentVariableA("NETWORK_FAIL", value, sizeof value);
  if (n == 0 || n >= sizeof value) return 0;
  size_t length = std::strlen(name);
  if (std::strncmp(value, name, length) != 0 || value[length] != '=') return 0;
  return static_cast<int32_t>(std::strtol(value + length + 1, nullptr, 10));
}
#endif

}  // namespace
}  // namespace network

// --- The exports ---------------------------------------------------------------------------------

using network::Kind;

// A result code a test forces for the export (by its name, __func__) answers it before it does
// anything (Network.dll only: native tests bind a fake table instead).
#if defined(_WIN32)
#define NETWORK_FORCED() \
  if (int32_t forced = network::ForcedResult(__func__)) return forced
#else
#define NETWORK_FORCED() (void)0
#endif

#define NETWORK_LOGIN_KIND(prefix, kind)                                                           \
  int32_t PLAT_STDCALL prefix##CreateClient(TP2PClientBlock* Block) {                              \
    NETWORK_FORCED();                                                                              \
    return network::CreateClient(kind, Block);                                                     \
  }                                                                                                \
  int32_t PLAT_STDCALL prefix##DestroyClient(uint32_t Handle) {                                    \
    NETWORK_FORCED();                                                                              \
    return network::DestroyClient(kind, Handle);                                                   \
  }                                                                                                \
  int32_t PLAT_STDCALL prefix##SetClientBackProc(uint32_t Handle, const TP2PClientBackProcs* P) {  \
    NETWORK_FORCED();                                                                              \
    return network::SetClientBackProc(kind, Handle, P);                                            \
  }                                                                                                \
  int32_t PLAT_STDCALL prefix##SetClientObjID(uint32_t Handle, const plat::Guid* ObjID) {          \
    NETWORK_FORCED();                                                                              \
    return network::SetClientObjID(kind, Handle, ObjID);                                           \
  }                                                                                                \
  int32_t PLAT_STDCALL prefix##GetClientInfo(uint32_t Handle, TP2PClientInfo* Info) {              \
    NETWORK_FORCED();                                                                              \
    return network::GetClientInfo(kind, Handle, Info);                                             \
  }                                                                                                \
  int32_t PLAT_STDCALL prefix##SetClientInfo(uint32_t Handle, const TP2PClientInfo* Info) {        \
    NETWORK_FORCED();                                                                              \
    return network::SetClientInfo(kind, Handle, Info);                                             \
  }                                                                                                \
  int32_t PLAT_STDCALL prefix##ClientLogin(uint32_t Handle) {                                      \
    NETWORK_FORCED();                                                                              \
    return network::Open(kind, Handle);                                                            \
  }                                                                                                \
  int32_t PLAT_STDCALL prefix##ClientLogout(uint32_t Handle) {                                     \
    NETWORK_FORCED();                                                                              \
    return network::Close(kind, Handle);                                                           \
  }                                                                                                \
  int32_t PLAT_STDCALL prefix##SetClientRoutingOwner(uint32_t Handle, uint32_t Owner) {            \
    NETWORK_FORCED();                                                                              \
    return network::SetClientRoutingOwner(kind, Handle, Owner);                                    \
  }

extern "C" {

NETWORK_LOGIN_KIND(p2p, Kind::P2P)
NETWORK_LOGIN_KIND(avs, Kind::AVS)

int32_t PLAT_STDCALL cmdCreateClient(TCMDClientBlock* Block) {
  NETWORK_FORCED();
  return network::CreateClient(Kind::CMD, Block);
}
int32_t PLAT_STDCALL cmdDestroyClient(uint32_t Handle) {
  NETWORK_FORCED();
  return network::DestroyClient(Kind::CMD, Handle);
}
int32_t PLAT_STDCALL cmdSetClientBackProc(uint32_t Handle, const TCMDClientBackProcs* Procs) {
  NETWORK_FORCED();
  return network::SetClientBackProc(Kind::CMD, Handle, Procs);
}
int32_t PLAT_STDCALL cmdSetClientObjID(uint32_t Handle, const plat::Guid* ObjID) {
  NETWORK_FORCED();
  return network::SetClientObjID(Kind::CMD, Handle, ObjID);
}
int32_t PLAT_STDCALL cmdGetClientInfo(uint32_t Handle, TCMDClientInfo* Info) {
  NETWORK_FORCED();
  return network::GetClientInfo(Kind::CMD, Handle, Info);
}
int32_t PLAT_STDCALL cmdSetClientInfo(uint32_t Handle, const TCMDClientInfo* Info) {
  NETWORK_FORCED();
  return network::SetClientInfo(Kind::CMD, Handle, Info);
}
int32_t PLAT_STDCALL cmdConnectClient(uint32_t Handle) {
  NETWORK_FORCED();
  return network::Open(Kind::CMD, Handle);
}
int32_t PLAT_STDCALL cmdDisconnectClient(uint32_t Handle) {
  NETWORK_FORCED();
  return network::Close(Kind::CMD, Handle);
}

}  // extern "C"

#undef NETWORK_LOGIN_KIND
#undef NETWORK_FORCED

#if !defined(_WIN32)
namespace network {
const netclients::TNetworkApi& StandInApi() {
  static const netclients::TNetworkApi api = NETWORK_FUNCTION_TABLE;
  return api;
}
}  // namespace network
#endif
