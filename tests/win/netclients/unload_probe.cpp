// A library that uses the client components and frees them while it is unloaded (under
// the loader lock), as a host's DLL does when it is unloaded with connections still up.
#include <windows.h>

#include "netclients/AvsSvc.h"
#include "netclients/CmdSvc.h"
#include "netclients/P2PFile.h"

namespace {
netclients::TCMDClient* g_cmd = nullptr;
netclients::TAVSClient* g_avs = nullptr;
netclients::TP2PClient* g_p2p = nullptr;
volatile LONG g_events = 0;

void Slow(plat::TComponent*) {
  InterlockedIncrement(&g_events);
  Sleep(20);  // a callback that is still running while the library goes away
}
}  // namespace

// Opens one client of each kind to 127.0.0.1:port; the number of them that came up.
extern "C" __declspec(dllexport) int __stdcall OpenClients(int port) {
  g_cmd = new netclients::TCMDClient;
  g_avs = new netclients::TAVSClient;
  g_p2p = new netclients::TP2PClient;
  int up = 0;
  g_cmd->SetServerHost("127.0.0.1");
  g_cmd->SetServerPort(port);
  g_cmd->OnConnect = g_cmd->OnDisconnect = Slow;
  up += g_cmd->Connect() == 0;
  {
    netclients::TAVSClient* c = g_avs;
    c->SetServerHost("127.0.0.1");
    c->SetServerPort(port);
    c->OnLogin = c->OnLogout = Slow;
    up += c->Login() == 0;
  }
  g_p2p->SetServerHost("127.0.0.1");
  g_p2p->SetServerPort(port);
  g_p2p->OnLogin = g_p2p->OnLogout = Slow;
  up += g_p2p->Login() == 0;
  return up;
}

extern "C" __declspec(dllexport) int __stdcall EventCount() { return g_events; }

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_DETACH) {
    delete g_p2p;
    delete g_avs;
    delete g_cmd;
  }
  return TRUE;
}
