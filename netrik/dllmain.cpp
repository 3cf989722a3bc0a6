// The entry of Netrik.dll: load and unload written out in their order, not left to the order
// of static destructors.
#include <windows.h>

#include "NetrikLibrary.h"

namespace {

// Later attach and detach notifications. The C++ runtime is thread-safe from the start, so
// there is no multi-threaded mode to switch on for process or thread attach.
void DLLEntry(DWORD reason) { (void)reason; }

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      netrik::NetrikLibraryLoad();
      DLLEntry(reason);
      break;
    case DLL_PROCESS_DETACH:
      DLLEntry(reason);
      // At process exit (reserved set) the other threads are gone already, possibly inside
      // the network library or a plug-in holding their locks; releasing then could hang.
      // The process frees everything itself. A FreeLibrary runs the whole release.
      if (!reserved) netrik::NetrikLibraryUnload();
      break;
    default:
      DLLEntry(reason);
      break;
  }
  return TRUE;
}
