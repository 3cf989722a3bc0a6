// A TCP listener on 127.0.0.1 at a port the system picks, for tests and demos that need a
// server for the network library to connect to (target network_testing).
#pragma once
#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

namespace network {

class LoopbackListener {
public:
  // backlog: how many connections may wait to be accepted (0 keeps the queue minimal).
  explicit LoopbackListener(int backlog = 16);
  ~LoopbackListener();
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;

  bool Listening() const { return listener_ != -1; }
  int Port() const { return port_; }
  // Accepts one waiting connection within timeoutMs; its index, or -1.
  int Accept(int timeoutMs);
  int AcceptedCount() const { return static_cast<int>(accepted_.size()); }
  // The port of the connection's far end (the client's local port).
  int PeerPort(int index) const;
  // Closes an accepted connection: an orderly close, or a reset.
  void CloseAccepted(int index, bool reset = false);
  // Closes every accepted connection and stops listening.
  void Stop();

protected:
  // Accepts every connection on a thread of its own from now until Stop, holding them;
  // meanwhile Accept and the accepted connections are the thread's alone.
  void Serve();

private:
  intptr_t listener_ = -1;
  int port_ = 0;
  std::vector<intptr_t> accepted_;
  std::atomic<bool> serving_{false};
  std::thread server_;
};

// A listener that accepts and holds every connection in the background until it goes.
class LoopbackServer : public LoopbackListener {
public:
  LoopbackServer() : LoopbackListener(64) { Serve(); }
};

// A loopback port that was listened on a moment ago and is closed again: connecting to it
// is refused.
int ClosedLoopbackPort();

}  // namespace network
