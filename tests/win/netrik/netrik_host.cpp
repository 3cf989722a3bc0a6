// A host program for Netrik.dll: loads the library from its own folder, checks its export
// and import tables, runs the life cycle with a plug-in list, opens a command and an
// audio/video connection to loopback listeners, checks the records its hooks receive, and
// unloads the library with the connections still open; then once more, after UnInitNetrik
// while a hook still runs, and once more after a hook ended Netrik itself; last it ends a
// process whose host library ends Netrik at exit while a hook runs.
//   netrik_host check          the whole run, as a test (exit code 0 when all is well)
//   netrik_host demo <port>    one audio/video connection to 127.0.0.1:<port>, printed
//   netrik_host exit           the process that ends while a hook runs (exit code 0)
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Netrik.h"
#include "network/Loopback.h"

namespace {

int g_failures = 0;

void Check(bool ok, const char* what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
  if (!ok) ++g_failures;
}

std::string Folder() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  return s.substr(0, s.find_last_of('\\') + 1);
}

// --- The library's exports, found by name ----------------------------------------------

struct Api {
  decltype(&::InitNetrik) InitNetrik;
  decltype(&::StartNetrik) StartNetrik;
  decltype(&::StopNetrik) StopNetrik;
  decltype(&::UnInitNetrik) UnInitNetrik;
  decltype(&::CreateConnection) CreateConnection;
  decltype(&::OpenConnection) OpenConnection;
  decltype(&::IsConnectionActive) IsConnectionActive;
  decltype(&::NewConnectionRoutingID) NewConnectionRoutingID;
  decltype(&::RegisterSysHookProc) RegisterSysHookProc;
  decltype(&::EnumSysHookProcs) EnumSysHookProcs;
};

template <typename T>
void Bind(HMODULE m, T& fn, const char* name) {
  fn = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(m, name)));
}

Api BindApi(HMODULE m) {
  Api a{};
  Bind(m, a.InitNetrik, "InitNetrik");
  Bind(m, a.StartNetrik, "StartNetrik");
  Bind(m, a.StopNetrik, "StopNetrik");
  Bind(m, a.UnInitNetrik, "UnInitNetrik");
  Bind(m, a.CreateConnection, "CreateConnection");
  Bind(m, a.OpenConnection, "OpenConnection");
  Bind(m, a.IsConnectionActive, "IsConnectionActive");
  Bind(m, a.NewConnectionRoutingID, "NewConnectionRoutingID");
  Bind(m, a.RegisterSysHookProc, "RegisterSysHookProc");
  Bind(m, a.EnumSysHookProcs, "EnumSysHookProcs");
  return a;
}

// --- Export and import tables ------------------------------------------------------------

const IMAGE_NT_HEADERS* Headers(HMODULE m) {
  auto* base = reinterpret_cast<const BYTE*>(m);
  auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  return reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
}

void CheckExports(HMODULE m) {
  static const char* const kNames[] = {
      "EnumSysHookProcs",   "GetSysHookProc",     "UnRegisterSysHookProc", "RegisterSysHookProc",
      "NewConnectionRoutingID", "FindConnection", "CanConnectionClose",  "IsConnectionActive",
      "CloseConnection",    "OpenConnection",     "ModifyConnection",      "DestroyConnection",
      "CreateConnection",   "UnInitNetrik",       "StopNetrik",            "StartNetrik",
      "InitNetrik"};
  auto* base = reinterpret_cast<const BYTE*>(m);
  const IMAGE_DATA_DIRECTORY& dir =
      Headers(m)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  auto* exp = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
  Check(std::strcmp(reinterpret_cast<const char*>(base + exp->Name), "Netrik.dll") == 0,
        "export directory name is Netrik.dll");
  Check(exp->NumberOfNames == 17 && exp->NumberOfFunctions == 17, "17 exports, all by name");
  auto* names = reinterpret_cast<const DWORD*>(base + exp->AddressOfNames);
  auto* ordinals = reinterpret_cast<const WORD*>(base + exp->AddressOfNameOrdinals);
  bool allMatch = true;
  for (int i = 0; i < 17; ++i) {
    const char* name = kNames[i];
    DWORD ordinal = static_cast<DWORD>(i + 1);
    bool found = false;
    for (DWORD k = 0; k < exp->NumberOfNames; ++k) {
      if (std::strcmp(reinterpret_cast<const char*>(base + names[k]), name) == 0)
        found = exp->Base + ordinals[k] == ordinal;
    }
    FARPROC byName = GetProcAddress(m, name);
    FARPROC byOrdinal = GetProcAddress(m, MAKEINTRESOURCEA(ordinal));
    if (!found || !byName || byName != byOrdinal) {
      std::printf("     %s is not at ordinal %lu\n", name, ordinal);
      allMatch = false;
    }
  }
  Check(allMatch, "every export at its ordinal, undecorated");
}

void CheckImportsNetwork(HMODULE m) {
  auto* base = reinterpret_cast<const BYTE*>(m);
  const IMAGE_DATA_DIRECTORY& dir =
      Headers(m)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  bool found = false;
  for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
       d->Name; ++d) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), "Network.dll") == 0) found = true;
  }
  Check(found, "imports Network.dll by name");
}

// --- Hooks -------------------------------------------------------------------------------

struct HookCall {
  LONG count = 0;
  TConnectionHookInfo info{};
  int32_t category = -1;
  uint32_t data = 0;
  uint32_t reserved = 1;
  HANDLE event = nullptr;
};
HookCall g_hooks[7];

int32_t NETRIK_CALL Hook(int32_t category, int32_t id, uint32_t data, void* info,
                         uint32_t reserved) {
  if (id < 1 || id > 6) return 0;
  HookCall& h = g_hooks[id];
  if (InterlockedIncrement(&h.count) == 1) {
    h.category = category;
    h.data = data;
    h.reserved = reserved;
    std::memcpy(&h.info, info, sizeof h.info);
  }
  SetEvent(h.event);
  return 0;
}

void PrintRecord(const TConnectionHookInfo& r) {
  const unsigned char* id = reinterpret_cast<const unsigned char*>(&r.ObjID);
  std::printf("     ObjID     ");
  for (int i = 0; i < 16; ++i) std::printf("%02X", id[i]);
  std::printf("\n     InfoHeader %d  Active %d  ServerHost \"%s\"  ServerPort %d  LocalPort %d\n",
              r.InfoHeader, r.Active, r.ServerHost, r.ServerPort, r.LocalPort);
}

bool CheckRecord(int id, const GUID& guid, int port, uint32_t data) {
  const HookCall& h = g_hooks[id];
  const TConnectionHookInfo& r = h.info;
  bool hostOk = std::strcmp(r.ServerHost, "127.0.0.1") == 0;
  for (size_t i = std::strlen("127.0.0.1"); i < sizeof r.ServerHost; ++i)
    if (r.ServerHost[i] != 0) hostOk = false;
  return h.category == 0 && h.data == data && h.reserved == 0 &&
         std::memcmp(&r.ObjID, &guid, 16) == 0 && r.Active == -1 && hostOk &&
         r.ServerPort == port && r.LocalPort > 0 && r.LocalPort != port;
}

std::vector<std::string> ReadLines(const std::string& file) {
  std::vector<std::string> out;
  FILE* f = std::fopen(file.c_str(), "rb");
  if (!f) return out;
  char line[256];
  while (std::fgets(line, sizeof line, f)) {
    std::string s(line);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    out.push_back(s);
  }
  std::fclose(f);
  return out;
}

void WriteFile(const std::string& file, const char* text) {
  FILE* f = std::fopen(file.c_str(), "wb");
  std::fputs(text, f);
  std::fclose(f);
}

// The library's UnRegisterSysHookProc, for the enumeration procedure (EnumData is 32 bits and
// can't carry a pointer in a 64-bit build).
decltype(&::UnRegisterSysHookProc) g_unregister = nullptr;

int32_t NETRIK_CALL RemoveWhileEnumerating(int32_t c, int32_t id, uint32_t data, TSysHookProc p,
                                           uint32_t) {
  g_unregister(c, id, data, p);
  return 0;
}

// Login hooks that run on and then load a library, which takes the loader lock that
// FreeLibrary holds while Netrik unloads. The slow one runs past the network library's wait
// for it (5 s); the ending one ends Netrik first.
HANDLE g_slowStarted = nullptr;
volatile LONG g_slowEnded = 0;
decltype(&::UnInitNetrik) g_unInit = nullptr;

void GoOnAndLoad(DWORD ms) {
  Sleep(ms);
  FreeLibrary(LoadLibraryA("kernel32.dll"));
  InterlockedExchange(&g_slowEnded, 1);
}

int32_t NETRIK_CALL SlowHook(int32_t, int32_t, uint32_t, void*, uint32_t) {
  SetEvent(g_slowStarted);
  GoOnAndLoad(6000);
  return 0;
}

int32_t NETRIK_CALL EndingHook(int32_t, int32_t, uint32_t, void*, uint32_t) {
  g_unInit();
  SetEvent(g_slowStarted);
  GoOnAndLoad(1000);
  return 0;
}

DWORD WINAPI Unload(void* module) { return FreeLibrary(static_cast<HMODULE>(module)) ? 0 : 1; }

// Loads Netrik and opens an audio/video connection whose login calls the hook; returns once
// the hook has begun.
HMODULE StartHook(const std::string& folder, TSysHookProc hook, network::LoopbackServer& server) {
  HMODULE netrik = LoadLibraryA((folder + "Netrik.dll").c_str());
  Api api = BindApi(netrik);
  g_unInit = api.UnInitNetrik;
  g_slowStarted = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  g_slowEnded = 0;
  api.RegisterSysHookProc(0, NETRIK_HOOK_AVS_LOGIN, 0, hook);
  api.InitNetrik(nullptr);
  const GUID id = {0x5A5A5A5A, 0x1234, 0x5678, {1, 1, 2, 3, 5, 8, 13, 21}};
  api.CreateConnection(NETRIK_KIND_AUDIOVIDEO, &id, "127.0.0.1", server.Port());
  api.OpenConnection(&id);
  Check(WaitForSingleObject(g_slowStarted, 5000) == WAIT_OBJECT_0, "login hook called");
  return netrik;
}

// UnInitNetrik while that hook runs, then FreeLibrary: nothing of Netrik is left running
// for the unloading to wait for.
void CheckUnloadAfterUnInit(const std::string& folder, TSysHookProc hook, const char* which) {
  network::LoopbackServer server;
  HMODULE netrik = StartHook(folder, hook, server);
  g_unInit();
  std::string what = std::string(which) + ": ";
  Check(g_slowEnded == 1, (what + "UnInitNetrik returns once it has returned").c_str());
  // Another thread unloads, so that a hang shows here as a time-out.
  HANDLE unloader = CreateThread(nullptr, 0, &Unload, netrik, 0, nullptr);
  bool done = WaitForSingleObject(unloader, 30000) == WAIT_OBJECT_0;
  DWORD code = 1;
  GetExitCodeThread(unloader, &code);
  Check(done && code == 0, (what + "FreeLibrary after UnInitNetrik returns").c_str());
  if (!done) {
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 3);
  }
}

// A host library that ends Netrik from its process-detach notification at exit, while the
// slow hook runs on a thread the exit has ended: the process still ends.
int RunExit() {
  std::string folder = Folder();
  if (!LoadLibraryA((folder + "netrik_exit_host.dll").c_str())) return 2;
  network::LoopbackServer server;
  StartHook(folder, &SlowHook, server);
  ExitProcess(g_failures == 0 ? 0 : 1);
}

void CheckExitWhileHookRuns() {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string line = std::string("\"") + self + "\" exit";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  DWORD code = 1;
  bool ended = false;
  if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    ended = WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(pi.hProcess, 3);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  std::printf("     exit code %lu\n", code);
  Check(ended && code == 0, "Netrik ended at exit while a hook runs: the process ends");
}

// The probe GUID the re-entering plug-in asks about.
const GUID kProbe = {0x01234567, 0x89AB, 0xCDEF, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};

int RunCheck() {
  std::string folder = Folder();
  std::string record = folder + "netrik_host.rec";
  std::string list = folder + "netrik_host.lst";
  DeleteFileA(record.c_str());
  SetEnvironmentVariableA("NETRIK_PLUG_RECORD", record.c_str());
  // The refused plug-in leaves a report line for the debugger to see.
  WriteFile(list, "PlugA.dll\r\nPlugReenter.dll\r\nPlugInfoFails.dll\r\n");

  HMODULE netrik = LoadLibraryA((folder + "Netrik.dll").c_str());
  Check(netrik != nullptr, "Netrik.dll loads");
  if (!netrik) return 1;
  CheckExports(netrik);
  CheckImportsNetwork(netrik);
  Api api = BindApi(netrik);

  // A report from the hook registry: a record removed during its own enumeration.
  Bind(netrik, g_unregister, "UnRegisterSysHookProc");
  api.RegisterSysHookProc(7, 7, 1, &Hook);
  api.RegisterSysHookProc(7, 7, 2, &Hook);
  Check(api.EnumSysHookProcs(7, 7, 0, &RemoveWhileEnumerating, 0) == -1,
        "enumeration that shortens the list answers -1");

  for (int i = 1; i <= 6; ++i) {
    g_hooks[i].event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    api.RegisterSysHookProc(0, i, 0x1000 + i, &Hook);
  }

  Check(api.InitNetrik(list.c_str()) == -1, "InitNetrik answers -1");
  network::LoopbackServer cmdServer, avsServer;
  // The library refuses a command connection's host setting (5, too many connections): the
  // error is reported and the host goes on.
  const GUID refusedID = {0x55555555, 0x6666, 0x7777, {1, 2, 3, 4, 5, 6, 7, 8}};
  SetEnvironmentVariableA("NETWORK_FAIL", "cmdSetClientInfo=5");
  Check(api.CreateConnection(NETRIK_KIND_COMMAND, &refusedID, "127.0.0.1", cmdServer.Port()) == 0,
        "command connection whose host setting is refused answers 0");
  SetEnvironmentVariableA("NETWORK_FAIL", nullptr);
  const GUID cmdID = {0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};
  Check(api.CreateConnection(NETRIK_KIND_COMMAND, &cmdID, "127.0.0.1", cmdServer.Port()) == -1,
        "command connection created");
  Check(api.CreateConnection(NETRIK_KIND_AUDIOVIDEO, &kProbe, "127.0.0.1", avsServer.Port()) == -1,
        "audio/video connection created");
  api.StartNetrik();  // the re-entering plug-in asks about kProbe from inside
  Check(api.OpenConnection(&cmdID) == -1, "command connection opens");
  Check(api.OpenConnection(&kProbe) == -1, "audio/video connection logs in");
  Check(WaitForSingleObject(g_hooks[NETRIK_HOOK_CMD_CONNECT].event, 5000) == WAIT_OBJECT_0,
        "hook 1 (command connected) called");
  Check(WaitForSingleObject(g_hooks[NETRIK_HOOK_AVS_LOGIN].event, 5000) == WAIT_OBJECT_0,
        "hook 3 (audio/video logged in) called");
  Check(CheckRecord(NETRIK_HOOK_CMD_CONNECT, cmdID, cmdServer.Port(), 0x1001),
        "hook 1 record: GUID, active, host, ports, hook data, 0");
  PrintRecord(g_hooks[NETRIK_HOOK_CMD_CONNECT].info);
  Check(CheckRecord(NETRIK_HOOK_AVS_LOGIN, kProbe, avsServer.Port(), 0x1003),
        "hook 3 record: GUID, active, host, ports, hook data, 0");
  PrintRecord(g_hooks[NETRIK_HOOK_AVS_LOGIN].info);
  api.StopNetrik();

  // Unloading with both connections open and the plug-ins loaded.
  DWORD start = GetTickCount();
  BOOL freed = FreeLibrary(netrik);
  DWORD took = GetTickCount() - start;
  std::printf("     unload took %lu ms\n", took);
  Check(freed && took < 10000, "Netrik.dll unloads with connections open");
  Check(GetModuleHandleA("Netrik.dll") == nullptr, "Netrik.dll is gone");

  std::vector<std::string> calls = ReadLines(record);
  std::vector<std::string> expected = {
      "PlugA DllGetPlugInfo zeroed",
      "PlugA DllLoadPlug",
      "PlugReenter DllGetPlugInfo zeroed",
      "PlugReenter DllLoadPlug",
      "PlugReenter DllLoadPlug FindConnection=0",
      "PlugInfoFails DllGetPlugInfo zeroed",
      "PlugInfoFails DllStopPlug",
      "PlugA DllStartPlug",
      "PlugReenter DllStartPlug",
      "PlugReenter DllStartPlug FindConnection=-1",
      "PlugReenter DllStartPlug NewConnectionRoutingID=1",
      "PlugA DllStopPlug",
      "PlugReenter DllStopPlug",
      "PlugReenter DllStopPlug",
      "PlugA DllStopPlug"};
  Check(calls == expected, "plug-in entries in order; re-entry goes through; stopped twice");
  for (const std::string& c : calls) std::printf("     %s\n", c.c_str());
  DeleteFileA(record.c_str());
  DeleteFileA(list.c_str());
  CheckUnloadAfterUnInit(folder, &SlowHook, "slow hook");
  CheckUnloadAfterUnInit(folder, &EndingHook, "hook that ended Netrik");
  CheckExitWhileHookRuns();
  return g_failures == 0 ? 0 : 1;
}

int RunDemo(int port) {
  std::string folder = Folder();
  std::string list = folder + "netrik_demo.lst";
  WriteFile(list, "PlugA.dll\r\nPlugB.dll\r\n");
  std::string record = folder + "netrik_demo.rec";
  DeleteFileA(record.c_str());
  SetEnvironmentVariableA("NETRIK_PLUG_RECORD", record.c_str());
  HMODULE netrik = LoadLibraryA((folder + "Netrik.dll").c_str());
  if (!netrik) return 1;
  Api api = BindApi(netrik);
  g_hooks[NETRIK_HOOK_AVS_LOGIN].event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  api.RegisterSysHookProc(0, NETRIK_HOOK_AVS_LOGIN, 42, &Hook);
  std::printf("InitNetrik -> %d\n", api.InitNetrik(list.c_str()));
  api.StartNetrik();
  const GUID id = {0xDE30DE30, 0x1234, 0x5678, {9, 8, 7, 6, 5, 4, 3, 2}};
  std::printf("CreateConnection(2, 127.0.0.1:%d) -> %d\n", port,
              api.CreateConnection(NETRIK_KIND_AUDIOVIDEO, &id, "127.0.0.1", port));
  std::printf("OpenConnection -> %d\n", api.OpenConnection(&id));
  if (WaitForSingleObject(g_hooks[NETRIK_HOOK_AVS_LOGIN].event, 5000) == WAIT_OBJECT_0) {
    std::printf("hook 3 called with hook data %u; its record:\n", g_hooks[3].data);
    PrintRecord(g_hooks[NETRIK_HOOK_AVS_LOGIN].info);
  } else {
    std::printf("hook 3 was not called\n");
  }
  std::printf("NewConnectionRoutingID -> %d\n", api.NewConnectionRoutingID(&id));
  api.StopNetrik();
  api.UnInitNetrik();
  FreeLibrary(netrik);
  std::printf("plug-in entry calls:\n");
  for (const std::string& c : ReadLines(record)) std::printf("     %s\n", c.c_str());
  DeleteFileA(record.c_str());
  DeleteFileA(list.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);
  int rc = 2;
  if (argc >= 2 && std::strcmp(argv[1], "check") == 0) rc = RunCheck();
  else if (argc >= 3 && std::strcmp(argv[1], "demo") == 0) rc = RunDemo(std::atoi(argv[2]));
  else if (argc >= 2 && std::strcmp(argv[1], "exit") == 0) rc = RunExit();
  else std::printf("usage: netrik_host check | demo <port> | exit\n");
  std::fflush(stdout);
  WSACleanup();
  return rc;
}
