// Sockets for the stand-in network library: BSD sockets natively, Winsock on Windows.
#include "Sockets.h"

#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#else
#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>
#include <pthread.h>
#include <sys/syscall.h>
#endif

#include <cstring>

namespace network {
namespace sock {

namespace {

#if defined(_WIN32)
using Native = SOCKET;
Native ToNative(Socket s) { return static_cast<SOCKET>(s); }
bool InProgress() { return WSAGetLastError() == WSAEWOULDBLOCK; }
bool WouldBlock() { return WSAGetLastError() == WSAEWOULDBLOCK; }
std::string LastErrorText() { return "socket error " + std::to_string(WSAGetLastError()); }
void SetNonBlocking(Native s) {
  u_long on = 1;
  ioctlsocket(s, FIONBIO, &on);
}
int PollSockets(std::vector<WSAPOLLFD>& fds, int timeoutMs) {
  return WSAPoll(fds.data(), static_cast<ULONG>(fds.size()), timeoutMs);
}
using PollFd = WSAPOLLFD;
#else
using Native = int;
Native ToNative(Socket s) { return static_cast<int>(s); }
bool InProgress() { return errno == EINPROGRESS; }
bool WouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR; }
std::string LastErrorText() { return std::strerror(errno); }
void SetNonBlocking(Native s) { fcntl(s, F_SETFL, fcntl(s, F_GETFL) | O_NONBLOCK); }
using PollFd = pollfd;
int PollSockets(std::vector<pollfd>& fds, int timeoutMs) {
  return poll(fds.data(), fds.size(), timeoutMs);
}
#endif

void SetIntOption(Native s, int level, int name, int value) {
  setsockopt(s, level, name, reinterpret_cast<const char*>(&value), sizeof value);
}

bool Resolve(const std::string& host, int port, sockaddr_in& out) {
  if (host.empty() || port <= 0 || port > 65535) return false;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
  std::memcpy(&out, found->ai_addr, sizeof out);
  freeaddrinfo(found);
  out.sin_port = htons(static_cast<uint16_t>(port));
  return true;
}

// Waits for a non-blocking connect to finish; true when it succeeded.
bool FinishConnect(Native s, int timeoutMs) {
#if defined(_WIN32)
  fd_set writable, failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(s, &writable);
  FD_SET(s, &failed);
  timeval tv;
  tv.tv_sec = timeoutMs / 1000;
  tv.tv_usec = (timeoutMs % 1000) * 1000;
  if (select(0, nullptr, &writable, &failed, &tv) <= 0 || !FD_ISSET(s, &writable)) return false;
#else
  pollfd p{s, POLLOUT, 0};
  if (poll(&p, 1, timeoutMs) <= 0) return false;
#endif
  int error = 0;
  socklen_t len = sizeof error;
  if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &len) != 0) return false;
  return error == 0;
}

}  // namespace

bool Startup() {
#if defined(_WIN32)
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
#else
  return true;
#endif
}

Socket Connect(const std::string& host, int port, const ConnectOptions& options, int timeoutMs) {
  sockaddr_in address{};
  if (!Startup() || !Resolve(host, port, address)) return kInvalid;
  Native s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == static_cast<Native>(kInvalid)) return kInvalid;
  if (options.reuseAddr) SetIntOption(s, SOL_SOCKET, SO_REUSEADDR, 1);
  if (options.recvBuffer > 0) SetIntOption(s, SOL_SOCKET, SO_RCVBUF, options.recvBuffer);
  if (options.sendBuffer > 0) SetIntOption(s, SOL_SOCKET, SO_SNDBUF, options.sendBuffer);
  if (options.sendTimeOutMs > 0) {
#if defined(_WIN32)
    DWORD ms = static_cast<DWORD>(options.sendTimeOutMs);
    setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&ms), sizeof ms);
#else
    timeval tv{options.sendTimeOutMs / 1000, (options.sendTimeOutMs % 1000) * 1000};
    setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
#endif
  }
  if (options.localPort > 0 && options.localPort <= 65535) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<uint16_t>(options.localPort));
    if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
      Close(static_cast<Socket>(s));
      return kInvalid;
    }
  }
  SetNonBlocking(s);
  bool ok = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 ||
            (InProgress() && FinishConnect(s, timeoutMs < 0 ? 0 : timeoutMs));
  if (!ok) {
    Close(static_cast<Socket>(s));
    return kInvalid;
  }
  return static_cast<Socket>(s);
}

int LocalPort(Socket s) {
  sockaddr_in local{};
  socklen_t len = sizeof local;
  if (getsockname(ToNative(s), reinterpret_cast<sockaddr*>(&local), &len) != 0) return 0;
  return ntohs(local.sin_port);
}

void Close(Socket s) {
  if (s == kInvalid) return;
#if defined(_WIN32)
  closesocket(ToNative(s));
#else
  close(ToNative(s));
#endif
}

int Drain(Socket s, std::string* error) {
  char buffer[4096];
  int total = 0;
  for (;;) {
    int n = static_cast<int>(recv(ToNative(s), buffer, sizeof buffer, 0));
    if (n > 0) {
      total += n;
      if (total > (1 << 20)) return total;  // enough for one round; the rest comes next time
      continue;
    }
    if (n == 0) return total > 0 ? total : 0;
    if (WouldBlock()) return total > 0 ? total : kWouldBlock;
    if (error) *error = LastErrorText();
    return -1;
  }
}

void WaitReadable(const std::vector<Socket>& sockets, int timeoutMs, std::vector<bool>& readable) {
  std::vector<PollFd> fds(sockets.size());
  for (size_t i = 0; i < sockets.size(); ++i) {
    fds[i].fd = ToNative(sockets[i]);
    fds[i].events = POLLIN;
    fds[i].revents = 0;
  }
  readable.assign(sockets.size(), false);
  if (PollSockets(fds, timeoutMs) <= 0) return;
  for (size_t i = 0; i < sockets.size(); ++i)
    readable[i] = (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) != 0;
}

Waker::Waker() {
  Startup();
  Native s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  sockaddr_in self{};
  self.sin_family = AF_INET;
  self.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof self;
  bind(s, reinterpret_cast<sockaddr*>(&self), sizeof self);
  getsockname(s, reinterpret_cast<sockaddr*>(&self), &len);
  connect(s, reinterpret_cast<sockaddr*>(&self), sizeof self);
  SetNonBlocking(s);
  socket_ = static_cast<Socket>(s);
}

void Waker::Signal() {
  char byte = 1;
  send(ToNative(socket_), &byte, 1, 0);
}

void Waker::Clear() {
  char buffer[64];
  while (recv(ToNative(socket_), buffer, sizeof buffer, 0) > 0) {
  }
}

#if defined(_WIN32)
namespace {
HANDLE g_libraryThread = nullptr;
}
uint32_t CurrentThreadId() { return GetCurrentThreadId(); }
void RememberLibraryThread() {
  DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &g_libraryThread,
                  SYNCHRONIZE, FALSE, 0);
}
bool LibraryThreadEnded() {
  return g_libraryThread && WaitForSingleObject(g_libraryThread, 0) == WAIT_OBJECT_0;
}
void PinLibrary() {
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                     reinterpret_cast<LPCWSTR>(&PinLibrary), &self);
}
#else
uint32_t CurrentThreadId() { return static_cast<uint32_t>(syscall(SYS_gettid)); }
void RememberLibraryThread() {}
bool LibraryThreadEnded() { return false; }
void PinLibrary() {}
#endif

}  // namespace sock
}  // namespace network
