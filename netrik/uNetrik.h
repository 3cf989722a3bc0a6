// The base client object of Netrik: the plug-in list, the global lock and the frame that
// every connection and life-cycle export runs in.
#pragma once
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "Netrik.h"
#include "PlugSvc.h"
#include "platform/component.h"
#include "platform/guid.h"

namespace netrik {

static_assert(sizeof(TConnectionHookInfo) == 160, "TConnectionHookInfo");
static_assert(offsetof(TConnectionHookInfo, ObjID) == 0, "ObjID");
static_assert(offsetof(TConnectionHookInfo, InfoHeader) == 16, "InfoHeader");
static_assert(offsetof(TConnectionHookInfo, Active) == 20, "Active");
static_assert(offsetof(TConnectionHookInfo, ServerHost) == 24, "ServerHost");
static_assert(offsetof(TConnectionHookInfo, ServerPort) == 152, "ServerPort");
static_assert(offsetof(TConnectionHookInfo, LocalPort) == 156, "LocalPort");

class TConnectionItem;

// The connection table: items in creation order, each owning one client component.
class TConnections {
public:
  TConnections() = default;
  // Frees the items, the newest first.
  ~TConnections() { Clear(); }
  TConnections(const TConnections&) = delete;
  TConnections& operator=(const TConnections&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  // Raises "List index out of bounds (%d)" outside the table.
  TConnectionItem* Item(int index) const;
  // Frees the item at the index (it leaves the table once its client is freed).
  void Delete(int index);
  void Clear();
  // Takes every client out of its item, newest first, and frees the items: the table is
  // empty and the caller frees the clients.
  std::vector<plat::TComponent*> DetachClients();

private:
  friend class TConnectionItem;
  std::vector<TConnectionItem*> items_;
};

class TConnectionItem {
public:
  // Appends the item to the table; no client yet, routing number 0.
  explicit TConnectionItem(TConnections& collection);
  // Clears Client first, then frees the client (which logs out or disconnects), then
  // leaves the table.
  ~TConnectionItem();
  TConnectionItem(const TConnectionItem&) = delete;
  TConnectionItem& operator=(const TConnectionItem&) = delete;

  // A TCMDClient, TAVSClient or TP2PClient; the kind of the connection is its class.
  plat::TComponent* Client = nullptr;
  int32_t RoutingID = 0;

private:
  TConnections& collection_;
};

class TNetrik : public plat::TComponent {
public:
  TNetrik() : plat::TComponent(nullptr) {}
  // Frees what Destroy left (nothing after a complete Destroy).
  ~TNetrik() override;
  TNetrik(const TNetrik&) = delete;
  TNetrik& operator=(const TNetrik&) = delete;

  // Releases the plug-ins (last first), then takes every client out of the table and hands
  // them to the caller, newest first, to be freed in that order once NetrikLock is
  // released. May raise; what was not released by then stays with the object.
  std::vector<plat::TComponent*> Destroy();

  // Connection table (called with NetrikLock held).
  TConnectionItem* FindConnectionItem(const TNetrikGUID* objID) const;
  TConnectionItem* AddConnection(int32_t clientKind, const TNetrikGUID* objID,
                                 const std::string& host, int32_t port);
  // Takes the connection out of the table and hands its client (or nullptr) to the caller,
  // which frees it once NetrikLock is released: freeing logs it out or disconnects it.
  plat::TComponent* RemoveConnection(const TNetrikGUID* objID);
  void UpdateConnection(int32_t clientKind, const TNetrikGUID* objID, const std::string& host,
                        int32_t port);
  TConnections& Connections() { return connections_; }

  // Connection events: the first hook of category 0 and the handler's hook id is called
  // with the sender's record. They run on the network library's threads, without a lock,
  // and use only the sender (so a client may outlive the instance that made it).
  static void CMDClientConnect(plat::TComponent* Sender);
  static void CMDClientDisconnect(plat::TComponent* Sender);
  static void AVSClientConnect(plat::TComponent* Sender);
  static void AVSClientDisconnect(plat::TComponent* Sender);
  static void P2PClientConnect(plat::TComponent* Sender);
  static void P2PClientDisconnect(plat::TComponent* Sender);

  // Plug-in host.
  bool LoadPlugs(const std::string& plugListFile);
  void StartPlugs();
  void StopPlugs();
  void ClearPlugs();
  int PlugCount() const { return static_cast<int>(plugs_.size()); }
  // Raises "List index out of bounds (%d)" outside the list.
  TPlug* Plug(int index) const;

private:
  TConnections connections_;
  std::vector<TPlug*> plugs_;  // owned, in list-file order
};

// True when the client is connected (command) or logged in (the others).
bool IsClientActive(const plat::TComponent* client);

// The one instance, or nullptr; changed only under NetrikLock.
extern TNetrik* NetrikInstance;
// The global re-entrant lock; exists while the library is loaded.
extern std::recursive_mutex* NetrikLock;

// Splits list-file text: it ends at its first zero byte, lines end at CR, LF or CR LF, and
// a line break after the last line adds no line.
std::vector<std::string> SplitListLines(const std::string& text);

// Library load and unload steps of this unit (each guarded to run once per load).
void NetrikInitialize();
void NetrikFinalize();

}  // namespace netrik
