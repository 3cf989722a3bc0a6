// A host built the way hosts are built: against Netrik.h and the import library, so that
// the loader binds each stdcall prototype to its plain export name.
#include <cstdio>

#include "Netrik.h"

namespace {

int32_t NETRIK_CALL Hook(int32_t, int32_t, uint32_t, void*, uint32_t) { return 0; }

int g_enumerated = 0;
int32_t NETRIK_CALL Enumerate(int32_t, int32_t, uint32_t, TSysHookProc, uint32_t) {
  ++g_enumerated;
  return 0;
}

int g_failures = 0;
void Expect(bool ok, const char* what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
  if (!ok) ++g_failures;
}

}  // namespace

int main() {
  TNetrikGUID id = {};
  id.Data1 = 0x12345678;
  Expect(FindConnection(&id) == 0, "FindConnection before InitNetrik finds nothing");
  Expect(InitNetrik("no-such-list.txt") != 0, "InitNetrik without a list file");
  StartNetrik();
  Expect(CreateConnection(1, &id, "127.0.0.1", 1) != 0, "CreateConnection of a command client");
  Expect(FindConnection(&id) != 0, "FindConnection finds it");
  Expect(IsConnectionActive(&id) == 0, "a new connection is not active");
  Expect(CanConnectionClose(&id) == 0, "CanConnectionClose answers 0");
  DestroyConnection(&id);
  Expect(FindConnection(&id) == 0, "DestroyConnection removes it");
  Expect(RegisterSysHookProc(0, 1, 7, &Hook) != 0, "RegisterSysHookProc");
  uint32_t data = 0;
  TSysHookProc proc = nullptr;
  Expect(GetSysHookProc(0, 1, &data, &proc) != 0 && data == 7 && proc == &Hook, "GetSysHookProc");
  Expect(EnumSysHookProcs(0, 1, 0, &Enumerate, 0) != 0 && g_enumerated == 1, "EnumSysHookProcs");
  UnRegisterSysHookProc(0, 1, 7, &Hook);
  Expect(GetSysHookProc(0, 1, &data, &proc) == 0, "UnRegisterSysHookProc");
  StopNetrik();
  UnInitNetrik();
  Expect(FindConnection(&id) == 0, "nothing after UnInitNetrik");
  return g_failures == 0 ? 0 : 1;
}
