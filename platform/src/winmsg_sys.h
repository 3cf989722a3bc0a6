// The system's message send behind platform/winmsg.h, one implementation per platform.
#pragma once
#include "platform/winmsg.h"

namespace plat::sys {
intptr_t SendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam);
}  // namespace plat::sys
