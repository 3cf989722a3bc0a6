// Win32 message send.
#include <windows.h>

#include "../winmsg_sys.h"

namespace plat::sys {

intptr_t SendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) {
  return SendMessageA(reinterpret_cast<HWND>(window), message, wParam, lParam);
}

}  // namespace plat::sys
