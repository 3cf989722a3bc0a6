// A TCP listener on 127.0.0.1 with an ephemeral port that accepts and holds connections
// until it is destroyed; and a port on which nothing listens.
#pragma once
#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

namespace netrik_test {

class Listener {
public:
  Listener();
  ~Listener();
  Listener(const Listener&) = delete;
  Listener& operator=(const Listener&) = delete;
  int Port() const { return port_; }

private:
  void Run();
  intptr_t sock_;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::vector<intptr_t> accepted_;
  std::thread thread_;
};

// A loopback port that was bound a moment ago and is closed again: connecting to it fails.
int ClosedPort();

}  // namespace netrik_test
