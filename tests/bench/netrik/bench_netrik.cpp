// The cost of one connection export: FindConnection with 10, 100 and 1,000 connections in
// the table, asking for the oldest (the lookup runs from the newest) and for a GUID that is
// not there. Natively against the stand-in network library; under Wine through Netrik.dll.
#include <chrono>
#include <cstdio>
#include <initializer_list>

#include "Netrik.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include "NetrikLibrary.h"
#include "netclients/NetworkApi.h"
#include "network/StandIn.h"
#endif

namespace {

struct Exports {
  decltype(&::InitNetrik) Init;
  decltype(&::UnInitNetrik) UnInit;
  decltype(&::CreateConnection) Create;
  decltype(&::FindConnection) Find;
};

TNetrikGUID Id(uint32_t n) { return TNetrikGUID{n, 0x1111, 0x2222, {1, 2, 3, 4, 5, 6, 7, 8}}; }

double NanosPerCall(const Exports& e, const TNetrikGUID& id, int calls) {
  auto start = std::chrono::steady_clock::now();
  int found = 0;
  for (int i = 0; i < calls; ++i) found += e.Find(&id) != 0;
  auto took = std::chrono::steady_clock::now() - start;
  if (found < 0) std::printf("?");
  return std::chrono::duration<double, std::nano>(took).count() / calls;
}

}  // namespace

int main() {
#if defined(_WIN32)
  HMODULE m = LoadLibraryA("Netrik.dll");
  if (!m) {
    std::printf("Netrik.dll not found\n");
    return 1;
  }
  auto get = [&](const char* n) { return reinterpret_cast<void*>(GetProcAddress(m, n)); };
  Exports e{reinterpret_cast<decltype(&::InitNetrik)>(get("InitNetrik")),
            reinterpret_cast<decltype(&::UnInitNetrik)>(get("UnInitNetrik")),
            reinterpret_cast<decltype(&::CreateConnection)>(get("CreateConnection")),
            reinterpret_cast<decltype(&::FindConnection)>(get("FindConnection"))};
  const char* where = "Netrik.dll under Wine";
#else
  netclients::SetNetworkApi(network::StandInApi());
  netrik::NetrikLibraryLoad();
  Exports e{&InitNetrik, &UnInitNetrik, &CreateConnection, &FindConnection};
  const char* where = "native";
#endif
  std::printf("FindConnection (%s), nanoseconds per call\n", where);
  std::printf("%12s %14s %14s\n", "connections", "oldest", "not found");
  for (int count : {10, 100, 1000}) {
    e.Init(nullptr);
    for (int i = 0; i < count; ++i) {
      TNetrikGUID id = Id(static_cast<uint32_t>(i));
      e.Create(1 + i % 3, &id, "127.0.0.1", 1);
    }
    int calls = 200000 / count;
    TNetrikGUID oldest = Id(0), missing = Id(0xFFFFFFFF);
    NanosPerCall(e, oldest, calls / 10 + 1);  // warm up
    std::printf("%12d %14.0f %14.0f\n", count, NanosPerCall(e, oldest, calls),
                NanosPerCall(e, missing, calls));
    e.UnInit();
  }
#if defined(_WIN32)
  FreeLibrary(m);
#else
  netrik::NetrikLibraryUnload();
#endif
  return 0;
}
