// Several host threads create, open, close and destroy connections while the network
// library reports events whose hooks call Netrik's exports back, another thread works the
// hook registry and one more re-initialises the library. Bounded in time; prints figures.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <future>
#include <random>
#include <thread>
#include <vector>

#include "Netrik.h"
#include "network/Loopback.h"
#include "uSysHooks.h"

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<long> g_hookCalls{0};
std::atomic<long> g_hookFound{0};

int32_t NETRIK_CALL ReenteringHook(int32_t, int32_t, uint32_t, void* data, uint32_t) {
  auto* info = static_cast<TConnectionHookInfo*>(data);
  ++g_hookCalls;
  if (FindConnection(&info->ObjID) == -1) ++g_hookFound;
  IsConnectionActive(&info->ObjID);
  return 0;
}

int32_t NETRIK_CALL Enumerated(int32_t, int32_t, uint32_t, TSysHookProc, uint32_t) { return 0; }

TNetrikGUID PoolId(int n) { return TNetrikGUID{0x5EED0000u + n, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}}; }

}  // namespace

TEST(NetrikStress, HostThreadsAndLibraryEventsTogether) {
  const auto duration = std::chrono::milliseconds(2500);
  const int hostThreads = 4;
  netrik::ClearSysHooks();
  for (int id = 1; id <= 6; ++id) RegisterSysHookProc(0, id, 0, &ReenteringHook);
  ASSERT_EQ(InitNetrik(nullptr), -1);
  network::LoopbackServer server;
  const int port = server.Port();

  std::atomic<bool> stop{false};
  std::atomic<long> creates{0}, opens{0}, opened{0}, routing{0}, destroys{0}, registry{0},
      reinits{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < hostThreads; ++t) {
    threads.emplace_back([&, t] {
      std::mt19937 rnd(1234 + t);
      while (!stop) {
        // A small shared pool, so threads meet on the same GUIDs.
        TNetrikGUID id = PoolId(static_cast<int>(rnd() % 12));
        int kind = 1 + static_cast<int>(rnd() % 3);
        if (CreateConnection(kind, &id, "127.0.0.1", port) == -1) ++creates;
        ++opens;
        if (OpenConnection(&id) == -1) ++opened;
        if (NewConnectionRoutingID(&id) > 0) ++routing;
        IsConnectionActive(&id);
        if (rnd() % 2) CloseConnection(&id);
        if (rnd() % 3 != 0) {
          DestroyConnection(&id);
          ++destroys;
        }
      }
    });
  }
  threads.emplace_back([&] {
    uint32_t n = 0;
    while (!stop) {
      RegisterSysHookProc(9, 1, ++n, &ReenteringHook);
      EnumSysHookProcs(9, 1, 0, &Enumerated, 0);
      UnRegisterSysHookProc(9, 1, n, &ReenteringHook);
      ++registry;
      // The registry's lock is not fair: a loop without a pause would starve the hooks.
      std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
  });
  threads.emplace_back([&] {
    while (!stop) {
      std::this_thread::sleep_for(std::chrono::milliseconds(400));
      UnInitNetrik();
      InitNetrik(nullptr);
      StartNetrik();
      StopNetrik();
      ++reinits;
    }
  });

  auto started = Clock::now();
  std::this_thread::sleep_for(duration);
  stop = true;
  // Joining must finish well within the bound; a hang fails the run instead of blocking it.
  auto joined = std::async(std::launch::async, [&] {
    for (std::thread& t : threads) t.join();
  });
  if (joined.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
    std::fprintf(stderr, "threads did not finish: deadlock\n");
    std::abort();
  }
  double seconds = std::chrono::duration<double>(Clock::now() - started).count();
  UnInitNetrik();
  netrik::ClearSysHooks();

  std::printf("stress: %.2f s, %d host threads: %ld creates, %ld opens (%ld up), %ld routing "
              "numbers, %ld destroys; %ld hook calls (%ld found their connection); %ld registry "
              "rounds; %ld re-inits\n",
              seconds, hostThreads, creates.load(), opens.load(), opened.load(), routing.load(),
              destroys.load(), g_hookCalls.load(), g_hookFound.load(), registry.load(),
              reinits.load());
  EXPECT_GT(opened.load(), 0);
  EXPECT_GT(g_hookCalls.load(), 0);
  EXPECT_GT(reinits.load(), 0);
}
