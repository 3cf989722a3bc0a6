// Sending window messages (SendMessageA on Windows).
#pragma once
#include <cstdint>

namespace plat {

using WindowHandle = uintptr_t;  // a window handle: 32 bits on the target

// Sends a message synchronously: returns once the window procedure has handled it; for a
// window of another thread the caller waits until that thread handles it. A handle that
// names no window fails at once and gives 0. On POSIX there are no windows: every send
// gives 0 unless a sink is installed.
intptr_t SendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam);

// A sink, while installed, receives every message instead of the system and answers it;
// tests use it to watch the sends. Returns the previous sink; nullptr removes it.
using MessageSink = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t wParam,
                                 intptr_t lParam);
MessageSink SetMessageSink(MessageSink sink);

}  // namespace plat
