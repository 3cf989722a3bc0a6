// Dispatch of window messages to the system or to a sink installed by a test.
#include <atomic>

#include "winmsg_sys.h"

namespace plat {

namespace {
std::atomic<MessageSink> g_sink{nullptr};
}  // namespace

intptr_t SendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) {
  if (MessageSink sink = g_sink.load()) return sink(window, message, wParam, lParam);
  return sys::SendWindowMessage(window, message, wParam, lParam);
}

MessageSink SetMessageSink(MessageSink sink) { return g_sink.exchange(sink); }

}  // namespace plat
