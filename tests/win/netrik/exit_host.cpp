// A host library that ends Netrik from its own process-detach notification, as one that
// tidies up at process exit does (the process has ended its other threads by then).
#include <windows.h>

#include "Netrik.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_DETACH && reserved) UnInitNetrik();
  return TRUE;
}
