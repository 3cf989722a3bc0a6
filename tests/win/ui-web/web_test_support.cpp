#include "web_test_support.h"

#include <algorithm>

namespace webtest {

bool PumpUntil(const std::function<bool()>& done, int ms, const std::function<void()>& tick) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (tick) tick();
    if (done()) return true;
    if (GetTickCount() - start >= static_cast<DWORD>(ms)) return done();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

LoopbackListener::LoopbackListener() {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address);
  listen(socket_, 8);
  int size = sizeof address;
  getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &size);
  port_ = ntohs(address.sin_port);
  u_long nonBlocking = 1;
  ioctlsocket(socket_, FIONBIO, &nonBlocking);
}

LoopbackListener::~LoopbackListener() {
  for (SOCKET s : held_) closesocket(s);
  if (socket_ != INVALID_SOCKET) closesocket(socket_);
  WSACleanup();
}

std::u16string LoopbackListener::Url(const char* path) const {
  std::string text = "http://127.0.0.1:" + std::to_string(port_) + path;
  return std::u16string(text.begin(), text.end());
}

void LoopbackListener::Poll() {
  for (int i = 0; i < 16; ++i) {
    SOCKET c = accept(socket_, nullptr, nullptr);
    if (c == INVALID_SOCKET) return;
    ++accepted_;
    if (Hold)
      held_.push_back(c);
    else
      closesocket(c);
  }
}

IDispatch* EventSink(ui::TWebBrowser& browser) {
  IDispatch* sink = nullptr;
  IOleObject* object = nullptr;
  if (!browser.ControlInterface() ||
      FAILED(browser.ControlInterface()->QueryInterface(IID_IOleObject,
                                                        reinterpret_cast<void**>(&object))))
    return nullptr;
  IOleClientSite* site = nullptr;
  if (SUCCEEDED(object->GetClientSite(&site)) && site) {
    site->QueryInterface(DIID_DWebBrowserEvents2, reinterpret_cast<void**>(&sink));
    site->Release();
  }
  object->Release();
  return sink;
}

HRESULT Fire(IDispatch* sink, DISPID id, std::vector<VARIANT> args) {
  std::reverse(args.begin(), args.end());  // the last argument comes first
  DISPPARAMS params = {args.data(), nullptr, static_cast<UINT>(args.size()), 0};
  return sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                      nullptr, nullptr);
}

std::string Narrow(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
  return out;
}

}  // namespace webtest
