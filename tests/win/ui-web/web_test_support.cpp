#include "web_test_support.h"

#include <exdispid.h>

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

namespace {
VARIANT Variant(VARTYPE type) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = type;
  return v;
}
}  // namespace

VARIANT Empty() { return Variant(VT_EMPTY); }
VARIANT Text(BSTR text) {
  VARIANT v = Variant(VT_BSTR);
  V_BSTR(&v) = text;
  return v;
}
VARIANT Int(int value) {
  VARIANT v = Variant(VT_I4);
  V_I4(&v) = value;
  return v;
}
VARIANT Ref(VARIANT* target) {
  VARIANT v = Variant(VT_BYREF | VT_VARIANT);
  V_VARIANTREF(&v) = target;
  return v;
}
VARIANT BoolRef(VARIANT_BOOL* target) {
  VARIANT v = Variant(VT_BYREF | VT_BOOL);
  V_BOOLREF(&v) = target;
  return v;
}
VARIANT DispRef(IDispatch** target) {
  VARIANT v = Variant(VT_BYREF | VT_DISPATCH);
  V_DISPATCHREF(&v) = target;
  return v;
}

HRESULT FireBeforeNavigate2(IDispatch* sink, BSTR url, VARIANT_BOOL* cancel) {
  VARIANT address = Text(url), flags = Int(0), frame = Empty(), post = Empty(),
          headers = Empty();
  return Fire(sink, DISPID_BEFORENAVIGATE2,
              {Empty(), Ref(&address), Ref(&flags), Ref(&frame), Ref(&post), Ref(&headers),
               BoolRef(cancel)});
}

MessageBoxCloser::MessageBoxCloser(DWORD threadId) : threadId_(threadId) {
  thread_ = std::thread([this] {
    while (!stop_) {
      EnumThreadWindows(threadId_, Visit, reinterpret_cast<LPARAM>(this));
      Sleep(20);
    }
  });
}

MessageBoxCloser::~MessageBoxCloser() {
  stop_ = true;
  thread_.join();
}

std::vector<std::string> MessageBoxCloser::Texts() {
  std::lock_guard<std::mutex> lock(mutex_);
  return texts_;
}

BOOL CALLBACK MessageBoxCloser::Visit(HWND window, LPARAM param) {
  auto* self = reinterpret_cast<MessageBoxCloser*>(param);
  char name[32] = "";
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) != "#32770" || !IsWindowVisible(window)) return TRUE;
  std::lock_guard<std::mutex> lock(self->mutex_);
  if (std::find(self->answered_.begin(), self->answered_.end(), window) !=
      self->answered_.end())
    return TRUE;
  self->answered_.push_back(window);
  std::string text;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char cls[32] = "", line[512] = "";
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") != 0) continue;
    GetWindowTextA(child, line, sizeof line);
    text += line;
  }
  self->texts_.push_back(text);
  PostMessageA(window, WM_COMMAND, IDOK, 0);
  return TRUE;
}

std::string Narrow(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
  return out;
}

}  // namespace webtest
