// The little of TCP/IP that the stand-in network library needs, over BSD sockets or Winsock.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace network {
namespace sock {

using Socket = intptr_t;
constexpr Socket kInvalid = -1;

// Once per process before any other call (WSAStartup on Windows); false when unusable.
bool Startup();

struct ConnectOptions {
  bool reuseAddr = false;
  int localPort = 0;      // 0: any
  int recvBuffer = 0;     // 0: the system's
  int sendBuffer = 0;     // 0: the system's
  int sendTimeOutMs = 0;  // 0: none
};

// A TCP connection to host:port made within timeoutMs, left non-blocking; kInvalid when it
// could not be made in time.
Socket Connect(const std::string& host, int port, const ConnectOptions& options, int timeoutMs);
// The local port of a bound socket (0 when unknown).
int LocalPort(Socket s);
void Close(Socket s);
// Reads and drops whatever has arrived: > 0 bytes read, 0 the peer closed, < 0 an error
// (its text in *error), or kWouldBlock when nothing was there.
constexpr int kWouldBlock = -2;
int Drain(Socket s, std::string* error);
// Waits at most timeoutMs (-1: no limit) for one of the sockets to become readable.
void WaitReadable(const std::vector<Socket>& sockets, int timeoutMs, std::vector<bool>& readable);

// Wakes a thread waiting in WaitReadable: a loopback datagram socket that talks to itself.
class Waker {
public:
  Waker();
  Socket ReadSide() const { return socket_; }
  void Signal();
  void Clear();

private:
  Socket socket_ = kInvalid;
};

// The calling thread's identifier.
uint32_t CurrentThreadId();
// Remembers the calling thread as the library's own; ThreadEnded tells whether it has
// ended (on Windows the threads are gone before the libraries are told the process exits).
void RememberLibraryThread();
bool LibraryThreadEnded();
// Keeps the library loaded for the rest of the process (before its thread is started).
void PinLibrary();

}  // namespace sock
}  // namespace network
