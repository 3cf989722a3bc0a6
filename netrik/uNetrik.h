// The base client object of Netrik: the plug-in list, the global lock and the frame that
// every connection and life-cycle export runs in.
#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "PlugSvc.h"

namespace netrik {

class TNetrik {
public:
  TNetrik() = default;
  // Frees what Destroy left (nothing after a complete Destroy).
  ~TNetrik();
  TNetrik(const TNetrik&) = delete;
  TNetrik& operator=(const TNetrik&) = delete;

  // Releases the plug-ins (last first), then the connections (newest first). May raise;
  // what was not freed by then stays with the object.
  void Destroy();

  // Plug-in host.
  bool LoadPlugs(const std::string& plugListFile);
  void StartPlugs();
  void StopPlugs();
  void ClearPlugs();
  int PlugCount() const { return static_cast<int>(plugs_.size()); }
  // Raises "List index out of bounds (%d)" outside the list.
  TPlug* Plug(int index) const;

private:
  std::vector<TPlug*> plugs_;  // owned, in list-file order
};

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
