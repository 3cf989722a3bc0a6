// The process-wide registry of hook procedures, with its own re-entrant lock.
#pragma once
#include <cstdint>
#include <mutex>
#include <vector>

#include "Netrik.h"

namespace netrik {

// One registration; the registry compares the four values and interprets none of them.
struct TSysHookRec {
  int32_t Category;
  int32_t HookID;
  uint32_t HookData;
  TSysHookProc Proc;
};

// A list of owned records in registration order, guarded by a re-entrant lock.
class TSysHookList {
public:
  TSysHookList() = default;
  ~TSysHookList();
  TSysHookList(const TSysHookList&) = delete;
  TSysHookList& operator=(const TSysHookList&) = delete;

  void Lock() { lock_.lock(); }
  void Unlock() { lock_.unlock(); }

  // The calls below expect the lock to be held.
  int Count() const { return static_cast<int>(items_.size()); }
  // Raises "List index out of bounds (%d)" for an index outside the list.
  TSysHookRec* Get(int index) const;
  void Add(TSysHookRec* rec) { items_.push_back(rec); }
  // Removes the record at the index and closes the gap; the caller frees it.
  void Delete(int index);

private:
  std::recursive_mutex lock_;
  std::vector<TSysHookRec*> items_;
};

// The registry; exists while the library is loaded.
extern TSysHookList* SysHooks;

// Library load and unload steps of the registry (each guarded to run once per load).
void SysHooksInitialize();
void SysHooksFinalize();

// Removes and frees every record.
void ClearSysHooks();

}  // namespace netrik
