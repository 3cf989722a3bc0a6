#include "uSysHooks.h"

#include "uCommon.h"

namespace netrik {

TSysHookList* SysHooks = nullptr;

namespace {

int g_initCount = 0;

const char kUnit[] = "uSysHooks";

// Holds the registry's lock for one scope, released on every way out.
class RegistryLock {
public:
  RegistryLock() { SysHooks->Lock(); }
  ~RegistryLock() { SysHooks->Unlock(); }
  RegistryLock(const RegistryLock&) = delete;
  RegistryLock& operator=(const RegistryLock&) = delete;
};

}  // namespace

TSysHookList::~TSysHookList() {
  for (TSysHookRec* rec : items_) delete rec;
}

TSysHookRec* TSysHookList::Get(int index) const {
  if (index < 0 || index >= Count()) plat::RaiseListIndexError(index);
  return items_[static_cast<size_t>(index)];
}

void TSysHookList::Delete(int index) {
  if (index < 0 || index >= Count()) plat::RaiseListIndexError(index);
  items_.erase(items_.begin() + index);
}

void SysHooksInitialize() {
  if (g_initCount++ != 0) return;
  SysHooks = new TSysHookList();
}

void SysHooksFinalize() {
  if (g_initCount == 0 || --g_initCount != 0) return;
  ClearSysHooks();
  delete SysHooks;
  SysHooks = nullptr;
}

void ClearSysHooks() {
  RegistryLock lock;
  while (SysHooks->Count() > 0) {
    TSysHookRec* rec = SysHooks->Get(0);
    SysHooks->Delete(0);
    delete rec;
  }
}

}  // namespace netrik

using netrik::RegistryLock;
using netrik::SysHooks;
using netrik::TSysHookRec;

extern "C" {

int32_t NETRIK_CALL RegisterSysHookProc(int32_t Category, int32_t HookID, uint32_t HookData,
                                        TSysHookProc Proc) {
  int32_t result = 0;
  try {
    RegistryLock lock;
    SysHooks->Add(new TSysHookRec{Category, HookID, HookData, Proc});
    result = -1;
  } catch (...) {
    netrik::ReportCurrentException(netrik::kUnit, "RegisterSysHookProc");
  }
  return result;
}

void NETRIK_CALL UnRegisterSysHookProc(int32_t Category, int32_t HookID, uint32_t HookData,
                                       TSysHookProc Proc) {
  try {
    RegistryLock lock;
    int count = SysHooks->Count();
    for (int i = 0; i < count; ++i) {
      TSysHookRec* rec = SysHooks->Get(i);
      if (rec->Category == Category && rec->HookID == HookID && rec->HookData == HookData &&
          rec->Proc == Proc) {
        SysHooks->Delete(i);
        delete rec;
        break;
      }
    }
  } catch (...) {
    netrik::ReportCurrentException(netrik::kUnit, "UnRegisterSysHookProc");
  }
}

int32_t NETRIK_CALL GetSysHookProc(int32_t Category, int32_t HookID, uint32_t* HookData,
                                   TSysHookProc* Proc) {
  int32_t result = 0;
  try {
    RegistryLock lock;
    int count = SysHooks->Count();
    for (int i = 0; i < count; ++i) {
      TSysHookRec* rec = SysHooks->Get(i);
      if (rec->Category == Category && rec->HookID == HookID) {
        // A missing place to write to is reported, not written through.
        if (!HookData || !Proc) throw plat::Exception("GetSysHookProc: nil result address");
        *HookData = rec->HookData;
        *Proc = rec->Proc;
        result = -1;
        break;
      }
    }
  } catch (...) {
    netrik::ReportCurrentException(netrik::kUnit, "GetSysHookProc");
  }
  return result;
}

int32_t NETRIK_CALL EnumSysHookProcs(int32_t Category, int32_t HookID, uint32_t HookData,
                                     TSysHookEnumProc EnumProc, uint32_t EnumData) {
  int32_t result = 0;
  try {
    RegistryLock lock;
    // The count is taken once: records added by EnumProc are not visited, and a list that
    // EnumProc shortened ends the scan with the list's index error.
    int count = SysHooks->Count();
    for (int i = 0; i < count; ++i) {
      TSysHookRec* rec = SysHooks->Get(i);
      if (rec->Category == Category && rec->HookID == HookID &&
          (HookData == 0 || rec->HookData == HookData)) {
        if (!EnumProc) throw plat::Exception("EnumSysHookProcs: nil enumeration procedure");
        // Copied first: EnumProc may unregister (and so free) the record.
        TSysHookRec found = *rec;
        EnumProc(found.Category, found.HookID, found.HookData, found.Proc, EnumData);
        result = -1;
      }
    }
  } catch (...) {
    netrik::ReportCurrentException(netrik::kUnit, "EnumHookProcs");
  }
  return result;
}

}  // extern "C"
