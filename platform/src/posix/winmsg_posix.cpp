// POSIX has no windows: a message without a sink reaches nobody.
#include "../winmsg_sys.h"

namespace plat::sys {

intptr_t SendWindowMessage(WindowHandle, uint32_t, uintptr_t, intptr_t) { return 0; }

}  // namespace plat::sys
