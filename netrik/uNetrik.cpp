#include "uNetrik.h"

#include <condition_variable>
#include <cstring>

#include "Netrik.h"
#include "netclients/AvsSvc.h"
#include "netclients/CmdSvc.h"
#include "netclients/P2PFile.h"
#include "platform/ansi.h"
#include "platform/ansifile.h"
#include "platform/except.h"
#include "platform/module.h"
#include "uCommon.h"

namespace netrik {

using netclients::TAVSClient;
using netclients::TCMDClient;
using netclients::TP2PClient;

TNetrik* NetrikInstance = nullptr;
std::recursive_mutex* NetrikLock = nullptr;

namespace {

int g_initCount = 0;

const char kUnit[] = "uNetrik";

// Runs work on the client as its own class; false when it is none of the three.
template <typename Work>
bool WithClient(plat::TComponent* client, Work work) {
  if (auto* cmd = dynamic_cast<TCMDClient*>(client)) {
    work(*cmd);
  } else if (auto* avs = dynamic_cast<TAVSClient*>(client)) {
    work(*avs);
  } else if (auto* p2p = dynamic_cast<TP2PClient*>(client)) {
    work(*p2p);
  } else {
    return false;
  }
  return true;
}

bool IsActive(const TCMDClient& c) { return c.Connected(); }
template <typename Kind>
bool IsActive(const netclients::TLoginClient<Kind>& c) {
  return c.Logined();
}

// What differs between the command client and the login-based ones.
int32_t KindOf(const TCMDClient&) { return NETRIK_KIND_COMMAND; }
int32_t KindOf(const TAVSClient&) { return NETRIK_KIND_AUDIOVIDEO; }
int32_t KindOf(const TP2PClient&) { return NETRIK_KIND_P2PFILE; }
void Open(TCMDClient& c) { c.Connect(); }
template <typename Kind>
void Open(netclients::TLoginClient<Kind>& c) {
  c.Login();
}
void Close(TCMDClient& c) { c.Disconnect(); }
template <typename Kind>
void Close(netclients::TLoginClient<Kind>& c) {
  c.Logout();
}

// The identity the host passed; a null pointer is refused rather than read.
plat::Guid HostGuid(const TNetrikGUID* objID) {
  if (!objID) throw plat::Exception("Invalid ObjID pointer (nil)");
  plat::Guid guid;
  static_assert(sizeof guid == sizeof *objID, "GUID layout");
  std::memcpy(&guid, objID, sizeof guid);
  return guid;
}

// The connection-event handlers running on the network library's threads. A client being
// freed waits for its own (the component sees to that); UnInitNetrik and the unloading also
// wait for those of clients that another thread is still freeing.
std::mutex g_handlersLock;
std::condition_variable g_handlersChanged;
int g_handlersRunning = 0;
thread_local int t_handlersRunning = 0;  // those on this thread

class HandlerRun {
public:
  HandlerRun() {
    std::lock_guard<std::mutex> hold(g_handlersLock);
    ++g_handlersRunning;
    ++t_handlersRunning;
  }
  ~HandlerRun() {
    std::lock_guard<std::mutex> hold(g_handlersLock);
    --g_handlersRunning;
    --t_handlersRunning;
    g_handlersChanged.notify_all();
  }
  HandlerRun(const HandlerRun&) = delete;
  HandlerRun& operator=(const HandlerRun&) = delete;
};

// Waits until no handler runs on another thread. A handler that waits here (its hook called
// UnInitNetrik) does not: two of them would wait for each other. Nor does anything once the
// process is ending: a running handler's thread is gone then without leaving.
void WaitForHandlers() {
  if (plat::ProcessEnding()) return;
  std::unique_lock<std::mutex> hold(g_handlersLock);
  if (t_handlersRunning != 0) return;
  g_handlersChanged.wait(hold, [] { return g_handlersRunning == 0; });
}

// Set once the library's finalization has begun (under NetrikLock): InitNetrik makes no
// instance from then on, so none outlives the hook registry.
bool g_finalizing = false;

// What the exports running on one thread leave to the outermost of them, to be done once
// it has let NetrikLock go: freeing a client waits for its pending events, whose hooks may
// call an export and so wait for the lock; the same holds for the handlers UnInitNetrik
// waits for. An export called inside a plug-in entry (under the lock of the export that
// called the entry) hands its clients outward, and so does UnInitNetrik its instance: the
// export that called the entry still works on it.
struct Release {
  std::vector<TNetrik*> instances;         // ended by UnInitNetrik, destroyed in this order
  std::vector<plat::TComponent*> clients;  // taken out of the table, freed in this order
  bool waitForHandlers = false;
};
thread_local Release* t_release = nullptr;

// Destroys the instances UnInitNetrik ended on this thread, under NetrikLock: the plug-ins
// are released and the clients join the list. An error is reported under UnInitNetrik and
// leaves what was not released by then with its instance.
void EndInstances(Release& release) {
  while (!release.instances.empty()) {
    TNetrik* n = release.instances.front();
    release.instances.erase(release.instances.begin());
    try {
      std::lock_guard<std::recursive_mutex> guard(*NetrikLock);
      std::vector<plat::TComponent*> clients = n->Destroy();
      release.clients.insert(release.clients.end(), clients.begin(), clients.end());
      delete n;
    } catch (...) {
      ReportCurrentException(kUnit, "UnInitNetrik");
    }
  }
}

// Frees what the exports of this thread handed over; an export called meanwhile on this
// thread (by a plug-in's stop entry or a hook, say) adds to the lists, and what it adds is
// freed here too. A client's destructor lets no error out.
void FinishRelease(Release& release) {
  EndInstances(release);
  for (size_t i = 0; i < release.clients.size(); ++i) {
    delete release.clients[i];
    release.clients[i] = nullptr;
    EndInstances(release);
  }
  if (release.waitForHandlers) WaitForHandlers();
}

// A text argument from the host: a null pointer is the empty text.
std::string Text(const char* p) { return p ? std::string(p) : std::string(); }

// The folder of the module that holds this code, with its trailing separator.
std::string OwnFolder() {
  plat::ModuleHandle self = plat::ModuleFromAddress(reinterpret_cast<const void*>(&OwnFolder));
  return plat::ExtractFilePath(plat::ModuleFileNameA(self));
}

}  // namespace

// The frame of the connection and life-cycle exports: the default result, the global lock
// held across the body, nothing done without an instance, and every exception of the
// general class reported under the export's name (InitNetrik alone makes the instance when
// there is none). The body may change the result as it goes; the result it holds when an
// exception arises is the one returned.
//
// The body hands the clients it takes out of the table, and the instance UnInitNetrik ends,
// to the thread's Release. The outermost export destroys that instance under the lock once
// its body is done (after an error, under the lock taken anew), then lets the lock go and
// frees the clients.
enum class Instance { Existing, CreatedIfNone };

template <typename Body>
int32_t RunExport(const char* method, int32_t defaultResult, Body body,
                  Instance instance = Instance::Existing) {
  int32_t result = defaultResult;
  Release own;
  const bool outermost = t_release == nullptr;
  if (outermost) t_release = &own;
  try {
    std::lock_guard<std::recursive_mutex> guard(*NetrikLock);
    if (!NetrikInstance && instance == Instance::CreatedIfNone && !g_finalizing)
      NetrikInstance = new TNetrik();
    if (NetrikInstance) body(*NetrikInstance, result, *t_release);
    if (outermost) EndInstances(own);
  } catch (...) {
    ReportCurrentException(kUnit, method);
  }
  if (outermost) {
    FinishRelease(own);
    t_release = nullptr;
  }
  return result;
}

// --- Connection table --------------------------------------------------------------------

TConnectionItem* TConnections::Item(int index) const {
  if (index < 0 || index >= Count()) plat::RaiseListIndexError(index);
  return items_[static_cast<size_t>(index)];
}

void TConnections::Delete(int index) { delete Item(index); }

void TConnections::Clear() {
  while (!items_.empty()) delete items_.back();
}

std::vector<plat::TComponent*> TConnections::DetachClients() {
  std::vector<plat::TComponent*> clients;
  while (!items_.empty()) {
    TConnectionItem* item = items_.back();
    if (item->Client) clients.push_back(item->Client);
    item->Client = nullptr;
    delete item;
  }
  return clients;
}

TConnectionItem::TConnectionItem(TConnections& collection) : collection_(collection) {
  collection_.items_.push_back(this);
}

TConnectionItem::~TConnectionItem() {
  // While the client goes down its item is still in the table but matches nothing.
  plat::TComponent* client = Client;
  Client = nullptr;
  delete client;
  auto& items = collection_.items_;
  for (auto it = items.begin(); it != items.end(); ++it) {
    if (*it == this) {
      items.erase(it);
      break;
    }
  }
}

bool IsClientActive(const plat::TComponent* client) {
  bool active = false;
  WithClient(const_cast<plat::TComponent*>(client), [&](auto& c) { active = IsActive(c); });
  return active;
}

// --- TNetrik -----------------------------------------------------------------------------

TNetrik::~TNetrik() {
  // Nothing is left after Destroy; an instance that never went through it (a test's own)
  // releases its plug-ins here, and the table frees its connections.
  try {
    ClearPlugs();
  } catch (...) {
    ReportCurrentException(kUnit, "UnInitNetrik");
  }
}

std::vector<plat::TComponent*> TNetrik::Destroy() {
  ClearPlugs();
  return connections_.DetachClients();
}

TConnectionItem* TNetrik::FindConnectionItem(const TNetrikGUID* objID) const {
  // The identities are compared as their 16 bytes: the braced upper-case text is one-to-one
  // with them, so this is the exact text comparison without formatting a text per item.
  plat::Guid guid = HostGuid(objID);
  for (int i = connections_.Count() - 1; i >= 0; --i) {
    TConnectionItem* item = connections_.Item(i);
    bool equal = false;
    if (WithClient(item->Client, [&](auto& c) { equal = c.ClientBlock().ObjID == guid; }) && equal)
      return item;
  }
  return nullptr;
}

TConnectionItem* TNetrik::AddConnection(int32_t clientKind, const TNetrikGUID* objID,
                                        const std::string& host, int32_t port) {
  if (FindConnectionItem(objID)) return nullptr;
  if (clientKind < NETRIK_KIND_COMMAND || clientKind > NETRIK_KIND_P2PFILE) return nullptr;
  std::string text = plat::GuidToString(HostGuid(objID));
  TConnectionItem* item = new TConnectionItem(connections_);
  // The settings are made while the client still raises on the library's result codes.
  auto configure = [&](auto* client) {
    item->Client = client;
    client->SetObjID(text);
    client->SetServerHost(host);
    client->SetServerPort(port);
  };
  switch (clientKind) {
    case NETRIK_KIND_COMMAND: {
      TCMDClient* client = new TCMDClient(nullptr);
      configure(client);
      client->SetUseComInThread(true);
      client->SetShowDebugInfo(false);
      client->OnConnect = &TNetrik::CMDClientConnect;
      client->OnDisconnect = &TNetrik::CMDClientDisconnect;
      break;
    }
    case NETRIK_KIND_AUDIOVIDEO: {
      TAVSClient* client = new TAVSClient(nullptr);
      configure(client);
      client->SetShowDebugInfo(false);
      client->OnLogin = &TNetrik::AVSClientConnect;
      client->OnLogout = &TNetrik::AVSClientDisconnect;
      break;
    }
    default: {
      TP2PClient* client = new TP2PClient(nullptr);
      configure(client);
      client->SetShowDebugInfo(false);
      client->OnLogin = &TNetrik::P2PClientConnect;
      client->OnLogout = &TNetrik::P2PClientDisconnect;
      break;
    }
  }
  return item;
}

plat::TComponent* TNetrik::RemoveConnection(const TNetrikGUID* objID) {
  TConnectionItem* item = FindConnectionItem(objID);
  if (!item) return nullptr;
  plat::TComponent* client = item->Client;
  item->Client = nullptr;
  for (int i = 0; i < connections_.Count(); ++i) {
    if (connections_.Item(i) == item) {
      connections_.Delete(i);
      break;
    }
  }
  return client;
}

void TNetrik::UpdateConnection(int32_t clientKind, const TNetrikGUID* objID,
                               const std::string& host, int32_t port) {
  TConnectionItem* item = FindConnectionItem(objID);
  if (!item) return;
  // Only the kind the connection was made with applies; its client must be down.
  WithClient(item->Client, [&](auto& c) {
    if (KindOf(c) != clientKind || IsActive(c)) return;
    c.SetServerHost(host);
    c.SetServerPort(port);
  });
}

// --- Connection events -------------------------------------------------------------------

namespace {

// Fills the record from the sender, looks up the hook and calls it; reports under the
// handler's name and never lets an error reach the component.
void CallConnectionHook(const char* method, int32_t hookID, plat::TComponent* sender) {
  HandlerRun running;
  try {
    TConnectionHookInfo info;
    std::memset(&info, 0, sizeof info);
    bool known = WithClient(sender, [&](auto& c) {
      plat::Guid guid{};
      plat::StringToGuid(c.ObjID(), guid);
      std::memcpy(&info.ObjID, &guid, sizeof info.ObjID);
      info.InfoHeader = c.GetInfoHeader();
      info.Active = IsActive(c) ? -1 : 0;
      StrToBuf(c.ServerHost(), info.ServerHost, sizeof info.ServerHost - 1);
      info.ServerPort = c.ServerPort();
      info.LocalPort = c.LocalPort();
    });
    if (!known) return;
    uint32_t hookData = 0;
    TSysHookProc proc = nullptr;
    if (GetSysHookProc(0, hookID, &hookData, &proc) == 0) return;
    // A hook registered without a procedure is reported, not called.
    if (!proc) throw plat::Exception("Invalid hook procedure (nil)");
    proc(0, hookID, hookData, &info, 0);
  } catch (...) {
    ReportCurrentException(kUnit, method);
  }
}

}  // namespace

void TNetrik::CMDClientConnect(plat::TComponent* Sender) {
  CallConnectionHook("CMDClientConnect", NETRIK_HOOK_CMD_CONNECT, Sender);
}
void TNetrik::CMDClientDisconnect(plat::TComponent* Sender) {
  CallConnectionHook("CMDClientDisconnect", NETRIK_HOOK_CMD_DISCONNECT, Sender);
}
void TNetrik::AVSClientConnect(plat::TComponent* Sender) {
  CallConnectionHook("AVSClientConnect", NETRIK_HOOK_AVS_LOGIN, Sender);
}
void TNetrik::AVSClientDisconnect(plat::TComponent* Sender) {
  CallConnectionHook("AVSClientDisconnect", NETRIK_HOOK_AVS_LOGOUT, Sender);
}
void TNetrik::P2PClientConnect(plat::TComponent* Sender) {
  CallConnectionHook("P2PClientConnect", NETRIK_HOOK_P2P_LOGIN, Sender);
}
void TNetrik::P2PClientDisconnect(plat::TComponent* Sender) {
  CallConnectionHook("P2PClientDisconnect", NETRIK_HOOK_P2P_LOGOUT, Sender);
}

TPlug* TNetrik::Plug(int index) const {
  if (index < 0 || index >= PlugCount()) plat::RaiseListIndexError(index);
  return plugs_[static_cast<size_t>(index)];
}

std::vector<std::string> SplitListLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t end = text.find('\0');
  if (end == std::string::npos) end = text.size();
  size_t p = 0;
  while (p < end) {
    size_t start = p;
    while (p < end && text[p] != '\r' && text[p] != '\n') ++p;
    lines.push_back(text.substr(start, p - start));
    if (p < end && text[p] == '\r') ++p;
    if (p < end && text[p] == '\n') ++p;
  }
  return lines;
}

bool TNetrik::LoadPlugs(const std::string& plugListFile) {
  bool result = true;
  try {
    std::string folder = OwnFolder();
    if (!plat::AnsiFileExists(plugListFile)) return true;
    std::string bytes;
    if (!plat::ReadAnsiFile(plugListFile, bytes))
      throw plat::Exception("Cannot open file \"" + plugListFile + "\"");
    std::vector<std::string> lines = SplitListLines(bytes);
    ClearPlugs();
    for (const std::string& line : lines) {
      std::string path = folder + line;
      if (!plat::AnsiFileExists(path)) {
        result = false;
        break;
      }
      TPlug* plug = new TPlug(plat::AnsiToWide(path));
      try {
        plug->LoadPlug();
      } catch (...) {
        delete plug;
        throw;
      }
      plugs_.push_back(plug);
    }
  } catch (...) {
    result = false;
    ReportCurrentException(kUnit, "LoadPlugs");
  }
  return result;
}

void TNetrik::StartPlugs() {
  int count = PlugCount();
  for (int i = 0; i < count; ++i) Plug(i)->StartPlug();
}

void TNetrik::StopPlugs() {
  int count = PlugCount();
  for (int i = 0; i < count; ++i) Plug(i)->StopPlug();
}

void TNetrik::ClearPlugs() {
  // Each plug-in leaves the list before it is stopped and freed, last first.
  while (!plugs_.empty()) {
    TPlug* plug = plugs_.back();
    plugs_.pop_back();
    delete plug;
  }
}

// --- Library load and unload -------------------------------------------------------------

void NetrikInitialize() {
  if (g_initCount++ != 0) return;
  NetrikInstance = nullptr;
  g_finalizing = false;
  NetrikLock = new std::recursive_mutex();
}

void NetrikFinalize() {
  if (g_initCount == 0 || --g_initCount != 0) return;
  {
    std::lock_guard<std::recursive_mutex> guard(*NetrikLock);
    g_finalizing = true;
  }
  // UnInitNetrik waits for the handlers still running, with or without an instance.
  UnInitNetrik();
  delete NetrikLock;
  NetrikLock = nullptr;
}

}  // namespace netrik

using netrik::RunExport;
using netrik::TNetrik;

extern "C" {

int32_t NETRIK_CALL InitNetrik(const char* PlugListFile) {
  // -1 whatever the plug-ins did: LoadPlugs reports its own failures.
  return RunExport(
      "InitNetrik", 0,
      [&](TNetrik& n, int32_t& result, auto&) {
        n.LoadPlugs(netrik::Text(PlugListFile));
        result = -1;
      },
      netrik::Instance::CreatedIfNone);
}

void NETRIK_CALL StartNetrik(void) {
  RunExport("StartNetrik", 0, [](TNetrik& n, int32_t&, auto&) { n.StartPlugs(); });
}

void NETRIK_CALL StopNetrik(void) {
  RunExport("StopNetrik", 0, [](TNetrik& n, int32_t&, auto&) { n.StopPlugs(); });
}

int32_t NETRIK_CALL CreateConnection(int32_t ClientKind, const TNetrikGUID* ObjID,
                                     const char* Host, int32_t Port) {
  return RunExport("CreateConnection", 0, [&](TNetrik& n, int32_t& result, auto&) {
    std::string host = netrik::Text(Host);
    result = n.AddConnection(ClientKind, ObjID, host, Port) ? -1 : 0;
  });
}

void NETRIK_CALL DestroyConnection(const TNetrikGUID* ObjID) {
  RunExport("DestroyConnection", 0, [&](TNetrik& n, int32_t&, netrik::Release& release) {
    if (plat::TComponent* client = n.RemoveConnection(ObjID)) release.clients.push_back(client);
  });
}

void NETRIK_CALL ModifyConnection(int32_t ClientKind, const TNetrikGUID* ObjID, const char* Host,
                                  int32_t Port) {
  RunExport("ModifyConnection", 0, [&](TNetrik& n, int32_t&, auto&) {
    std::string host = netrik::Text(Host);
    n.UpdateConnection(ClientKind, ObjID, host, Port);
  });
}

int32_t NETRIK_CALL OpenConnection(const TNetrikGUID* ObjID) {
  return RunExport("OpenConnection", 0, [&](TNetrik& n, int32_t& result, auto&) {
    netrik::TConnectionItem* item = n.FindConnectionItem(ObjID);
    if (!item) return;
    // The state after the call decides, not the library's result code.
    netrik::WithClient(item->Client, [&](auto& c) {
      netrik::Open(c);
      result = netrik::IsActive(c) ? -1 : 0;
    });
  });
}

void NETRIK_CALL CloseConnection(const TNetrikGUID* ObjID) {
  RunExport("CloseConnection", 0, [&](TNetrik& n, int32_t&, auto&) {
    if (netrik::TConnectionItem* item = n.FindConnectionItem(ObjID))
      netrik::WithClient(item->Client, [](auto& c) { netrik::Close(c); });
  });
}

int32_t NETRIK_CALL IsConnectionActive(const TNetrikGUID* ObjID) {
  return RunExport("IsConnectionActive", 0, [&](TNetrik& n, int32_t& result, auto&) {
    netrik::TConnectionItem* item = n.FindConnectionItem(ObjID);
    if (item && netrik::IsClientActive(item->Client)) result = -1;
  });
}

int32_t NETRIK_CALL CanConnectionClose(const TNetrikGUID* ObjID) {
  // Every connection answers "no", found or not.
  return RunExport("CanConnectionClose", 0,
                   [&](TNetrik& n, int32_t&, auto&) { n.FindConnectionItem(ObjID); });
}

int32_t NETRIK_CALL FindConnection(const TNetrikGUID* ObjID) {
  return RunExport("FindConnection", 0, [&](TNetrik& n, int32_t& result, auto&) {
    if (n.FindConnectionItem(ObjID)) result = -1;
  });
}

int32_t NETRIK_CALL NewConnectionRoutingID(const TNetrikGUID* ObjID) {
  return RunExport("NewConnectionRoutingID", -1, [&](TNetrik& n, int32_t& result, auto&) {
    netrik::TConnectionItem* item = n.FindConnectionItem(ObjID);
    if (!item) return;
    netrik::WithClient(item->Client, [&](auto& c) {
      if (netrik::KindOf(c) == NETRIK_KIND_COMMAND) return;
      // A 32-bit counter: past its largest value it goes on at the smallest.
      item->RoutingID = static_cast<int32_t>(static_cast<uint32_t>(item->RoutingID) + 1u);
      result = item->RoutingID;
    });
  });
}

void NETRIK_CALL UnInitNetrik(void) {
  RunExport("UnInitNetrik", 0, [](TNetrik& n, int32_t&, netrik::Release& release) {
    netrik::NetrikInstance = nullptr;
    release.instances.push_back(&n);
  });
  // With or without an instance left to end: a hook that ended it may still run. Inside a
  // plug-in entry the outermost export waits.
  if (netrik::t_release)
    netrik::t_release->waitForHandlers = true;
  else
    netrik::WaitForHandlers();
}

}  // extern "C"
