// The library entry of Skinelle.dll: creates the documents and the listener list when the
// library is loaded and destroys them, in reverse order, when it is unloaded.
#include <windows.h>

#include "uResourceManage.h"
#include "uSkinManage.h"

// The runtime of this library is always thread-safe (its heap included), so attaching
// threads needs nothing here.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      skinelle::InitializeSkinManage();
      skinelle::InitializeResourceManage();
      break;
    case DLL_PROCESS_DETACH:
      skinelle::FinalizeResourceManage();
      skinelle::FinalizeSkinManage();
      break;
    default:
      break;
  }
  return TRUE;
}
