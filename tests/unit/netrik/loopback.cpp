#include "loopback.h"

#include <chrono>

#if defined(_WIN32)
#include <winsock2.h>
using socklen_t = int;
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace netrik_test {

namespace {

#if defined(_WIN32)
struct WinsockUser {
  WinsockUser() {
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
  }
} g_winsock;
void CloseSocket(intptr_t s) { closesocket(static_cast<SOCKET>(s)); }
bool Readable(intptr_t s, int ms) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(static_cast<SOCKET>(s), &set);
  timeval tv{0, ms * 1000};
  return select(0, &set, nullptr, nullptr, &tv) > 0;
}
#else
void CloseSocket(intptr_t s) { close(static_cast<int>(s)); }
bool Readable(intptr_t s, int ms) {
  pollfd p{static_cast<int>(s), POLLIN, 0};
  return poll(&p, 1, ms) > 0;
}
#endif

intptr_t BoundSocket(int& port) {
  intptr_t s = static_cast<intptr_t>(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = 0;
  bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t len = sizeof a;
  getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
  port = ntohs(a.sin_port);
  return s;
}

}  // namespace

Listener::Listener() {
  sock_ = BoundSocket(port_);
  listen(sock_, 64);
  thread_ = std::thread([this] { Run(); });
}

Listener::~Listener() {
  stop_ = true;
  thread_.join();
  CloseSocket(sock_);
  for (intptr_t s : accepted_) CloseSocket(s);
}

void Listener::Run() {
  // Polls so that stopping never waits for more than one short interval.
  while (!stop_) {
    if (!Readable(sock_, 20)) continue;
    intptr_t s = static_cast<intptr_t>(accept(sock_, nullptr, nullptr));
    if (s >= 0) accepted_.push_back(s);
  }
}

int ClosedPort() {
  int port = 0;
  CloseSocket(BoundSocket(port));
  return port;
}

}  // namespace netrik_test
