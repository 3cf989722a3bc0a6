// The loopback listener for tests and demos.
#include "network/Loopback.h"

#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include "Sockets.h"

namespace network {

namespace {
#if defined(_WIN32)
using Native = SOCKET;
bool WaitAcceptable(Native s, int timeoutMs) {
  WSAPOLLFD p{s, POLLIN, 0};
  return WSAPoll(&p, 1, timeoutMs) > 0;
}
#else
using Native = int;
bool WaitAcceptable(Native s, int timeoutMs) {
  pollfd p{s, POLLIN, 0};
  return poll(&p, 1, timeoutMs) > 0;
}
#endif
Native N(intptr_t s) { return static_cast<Native>(s); }
}  // namespace

LoopbackListener::LoopbackListener(int backlog) {
  if (!sock::Startup()) return;
  Native s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof address;
  if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(s, backlog) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&address), &len) != 0) {
    sock::Close(static_cast<intptr_t>(s));
    return;
  }
  listener_ = static_cast<intptr_t>(s);
  port_ = ntohs(address.sin_port);
}

LoopbackListener::~LoopbackListener() { Stop(); }

int LoopbackListener::Accept(int timeoutMs) {
  if (listener_ == -1 || !WaitAcceptable(N(listener_), timeoutMs)) return -1;
  Native s = accept(N(listener_), nullptr, nullptr);
  if (s == static_cast<Native>(-1)) return -1;
  accepted_.push_back(static_cast<intptr_t>(s));
  return AcceptedCount() - 1;
}

int LoopbackListener::PeerPort(int index) const {
  sockaddr_in peer{};
  socklen_t len = sizeof peer;
  if (getpeername(N(accepted_[static_cast<size_t>(index)]), reinterpret_cast<sockaddr*>(&peer),
                  &len) != 0)
    return 0;
  return ntohs(peer.sin_port);
}

void LoopbackListener::CloseAccepted(int index, bool reset) {
  intptr_t& s = accepted_[static_cast<size_t>(index)];
  if (s == -1) return;
  if (reset) {
    linger option{1, 0};  // close at once with a reset
    setsockopt(N(s), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&option), sizeof option);
  }
  sock::Close(s);
  s = -1;
}

void LoopbackListener::Serve() {
  if (!Listening()) return;
  serving_ = true;
  // Polls, so that stopping never waits for more than one short interval.
  server_ = std::thread([this] {
    while (serving_) Accept(20);
  });
}

void LoopbackListener::Stop() {
  if (server_.joinable()) {
    serving_ = false;
    server_.join();
  }
  for (int i = 0; i < AcceptedCount(); ++i) CloseAccepted(i);
  sock::Close(listener_);
  listener_ = -1;
}

int ClosedLoopbackPort() {
  LoopbackListener listener;
  return listener.Port();
}

}  // namespace network
