// Shared helpers of the web-browser tests: a message pump with a deadline, a loopback
// listener that counts the browser's connections, and access to the control's event sink.
#pragma once
#include <winsock2.h>
#include <windows.h>
#include <exdisp.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ui/OleCtrls.h"

namespace webtest {

// Handles messages until done() holds or ms milliseconds have passed; tick() runs between
// rounds. Returns done()'s last answer.
bool PumpUntil(const std::function<bool()>& done, int ms,
               const std::function<void()>& tick = nullptr);

// A TCP listener on 127.0.0.1 at an ephemeral port. Poll() takes waiting connections and
// either closes them at once or, with Hold, keeps them open unanswered.
class LoopbackListener {
public:
  LoopbackListener();
  ~LoopbackListener();
  int Port() const { return port_; }
  std::u16string Url(const char* path) const;
  void Poll();
  int Accepted() const { return accepted_; }
  bool Hold = false;

private:
  SOCKET socket_ = INVALID_SOCKET;
  int port_ = 0;
  int accepted_ = 0;
  std::vector<SOCKET> held_;
};

// The object the browser raises its events on (our site's dispatch interface), with a
// reference the caller releases.
IDispatch* EventSink(ui::TWebBrowser& browser);

// Raises an event on the sink; args are in the order of the event's declaration.
HRESULT Fire(IDispatch* sink, DISPID id, std::vector<VARIANT> args);

// Event arguments as the browser passes them. Text does not copy the string.
VARIANT Empty();
VARIANT Text(BSTR text);
VARIANT Int(int value);
VARIANT Ref(VARIANT* target);
VARIANT BoolRef(VARIANT_BOOL* target);
VARIANT DispRef(IDispatch** target);

// BeforeNavigate2 for the address, of the top frame, with no post data or headers.
HRESULT FireBeforeNavigate2(IDispatch* sink, BSTR url, VARIANT_BOOL* cancel);

// While it lives, a thread answers every message box of the given thread with OK and keeps
// the boxes' texts.
class MessageBoxCloser {
public:
  explicit MessageBoxCloser(DWORD threadId);
  ~MessageBoxCloser();
  std::vector<std::string> Texts();

private:
  static BOOL CALLBACK Visit(HWND window, LPARAM self);
  DWORD threadId_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<std::string> texts_;
  std::vector<HWND> answered_;
  std::thread thread_;
};

std::string Narrow(const std::u16string& text);  // for messages of failed checks

}  // namespace webtest
