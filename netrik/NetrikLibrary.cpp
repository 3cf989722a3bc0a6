#include "NetrikLibrary.h"

#include "uNetrik.h"
#include "uSysHooks.h"

namespace netrik {

void NetrikLibraryLoad() {
  SysHooksInitialize();
  NetrikInitialize();
}

void NetrikLibraryUnload() {
  NetrikFinalize();
  SysHooksFinalize();
}

}  // namespace netrik
