// A window hook for every program of the desktop that keeps Brovia.exe from making the hidden
// window of its notification-area icon, as a system short of window resources would.
#include <windows.h>

#include <cstring>

namespace {

bool InBrovia() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, sizeof path);
  const char* name = std::strrchr(path, '\\');
  return name && lstrcmpiA(name + 1, "Brovia.exe") == 0;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK RefuseTrayWindow(int code, WPARAM wParam,
                                                                   LPARAM lParam) {
  if (code == HCBT_CREATEWND && InBrovia()) {
    char name[64] = "";
    GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
    if (std::strcmp(name, "UiTrayIcon") == 0) return 1;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
