/* A host built from the installed folder alone: the headers from include/, the import
 * libraries from lib/, and the DLLs loaded from bin/ when it starts. One call into each. */
#include <stdio.h>

#include "Netrik.h"
#include "Skinelle.h"

static int32_t NETRIK_CALL Hook(int32_t Category, int32_t HookID, uint32_t HookData, void* Data,
                                uint32_t Reserved) {
  return 0;
}

int main(void) {
  SkinelleBool listening = RegisterSkinListener((void*)1, 0x8001, 0x8002);
  int32_t hooked = RegisterSysHookProc(0, NETRIK_HOOK_CMD_CONNECT, 7, Hook);
  printf("RegisterSkinListener %d, RegisterSysHookProc %d\n", (int)listening, (int)hooked);
  return listening == SKINELLE_TRUE && hooked != 0 ? 0 : 1;
}
