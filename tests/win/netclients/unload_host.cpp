// Loads unload_probe.dll, opens its clients against a loopback listener and then either
// unloads the library (FreeLibrary) or ends the process with it loaded. Usage:
//   unload_host free|exit|free-after-close|free-at-once
// free-at-once unloads as soon as the clients are open, before the network library's thread
// has had a chance to run, and waits a little afterwards so that a fault of that thread
// shows. Prints "done" and ends with 0 when nothing hung; a watchdog ends it with 3 after
// 20 s.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "network/Loopback.h"

static DWORD WINAPI Watchdog(LPVOID) {
  Sleep(20000);
  std::printf("hung\n");
  std::fflush(stdout);
  ExitProcess(3);
}

int main(int argc, char** argv) {
  const char* mode = argc > 1 ? argv[1] : "free";
  CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
  network::LoopbackListener server;
  HMODULE probe = LoadLibraryA("unload_probe.dll");
  if (!probe) {
    std::printf("cannot load unload_probe.dll\n");
    return 2;
  }
  auto open = reinterpret_cast<int(__stdcall*)(int)>(reinterpret_cast<void*>(GetProcAddress(probe, "OpenClients")));
  auto events = reinterpret_cast<int(__stdcall*)()>(reinterpret_cast<void*>(GetProcAddress(probe, "EventCount")));
  if (!open || !events) {
    std::printf("unload_probe.dll lacks its exports\n");
    return 2;
  }
  int up = open(server.Port());
  if (std::strcmp(mode, "free-at-once") == 0) {
    FreeLibrary(probe);
    Sleep(300);
    std::printf("up %d\ndone\n", up);
    return 0;
  }
  for (int i = 0; i < up; ++i) server.Accept(5000);
  std::printf("up %d\n", up);
  // The first callback has started (each takes a while, so more are queued or running).
  for (DWORD start = GetTickCount(); events() == 0 && GetTickCount() - start < 5000;) Sleep(1);
  if (std::strcmp(mode, "free-after-close") == 0) {
    for (int i = 0; i < server.AcceptedCount(); ++i) server.CloseAccepted(i);
    Sleep(5);  // the library is now reporting the ends while we unload
  }
  std::printf("events %d\n", events() > 0 ? 1 : 0);
  std::fflush(stdout);
  if (std::strcmp(mode, "exit") == 0) {
    std::printf("done\n");
    std::fflush(stdout);
    ExitProcess(0);
  }
  FreeLibrary(probe);
  std::printf("done\n");
  return 0;
}
