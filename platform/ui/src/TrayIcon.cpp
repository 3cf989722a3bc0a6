// The notification-area icon: a library of its own, so that programs without one do not
// carry it (nor its shell32 calls).
#include "ui/TrayIcon.h"

#include <shellapi.h>

#include <cstring>

#include "Internal.h"
#include "platform/ansi.h"
#include "ui/Application.h"
#include "ui/Menus.h"

namespace ui {

// --- TTrayIcon ------------------------------------------------------------------------

namespace {

UINT TaskbarCreatedMessage() {
  static UINT message = RegisterWindowMessageA("TaskbarCreated");
  return message;
}

// Takes the first icon group's name (a number, or text that is copied) and stops.
BOOL CALLBACK FirstIconName(HMODULE, LPCSTR, LPSTR name, LONG_PTR found) {
  static char copy[256];
  LPCSTR result = name;
  if (!IS_INTRESOURCE(name)) {
    std::strncpy(copy, name, sizeof copy - 1);
    result = copy;
  }
  *reinterpret_cast<LPCSTR*>(found) = result;
  return FALSE;
}

HICON ProgramIcon() {
  static HICON icon = nullptr;
  if (icon) return icon;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  LPCSTR name = nullptr;
  EnumResourceNamesA(instance, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */, FirstIconName,
                     reinterpret_cast<LONG_PTR>(&name));
  if (name) icon = LoadIconA(instance, name);
  if (!icon) icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  return icon;
}

// Copies at most size - 1 bytes of text, never splitting a double-byte character.
void CopyTip(char* target, size_t size, const std::string& text) {
  size_t n = 0;
  while (n < text.size()) {
    size_t step = plat::AnsiCharSize(text, n);
    if (n + step > size - 1) break;
    n += step;
  }
  std::memcpy(target, text.data(), n);
  target[n] = '\0';
}

}  // namespace

TTrayIcon::TTrayIcon(TComponent* owner) : TComponent(owner) {
  static UINT nextId = 1;
  id_ = nextId++;
  TaskbarCreatedMessage();
  window_ = MakeHiddenWindow(kTrayIconClass, WindowProc, this, true);
  icon_.OnChange = [this] {
    if (added_) Notify(NIM_MODIFY);
  };
}

TTrayIcon::~TTrayIcon() {
  icon_.OnChange = nullptr;
  if (added_) Notify(NIM_DELETE);
  if (window_) {
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

bool TTrayIcon::Notify(DWORD action) {
  if (!window_) return false;
  NOTIFYICONDATAA data = {};
  data.cbSize = NOTIFYICONDATAA_V2_SIZE;
  data.hWnd = window_;
  data.uID = id_;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayIconMessage;
  data.hIcon = icon_.Empty() ? ProgramIcon() : icon_.Handle();
  CopyTip(data.szTip, sizeof data.szTip, hint_);
  return Shell_NotifyIconA(action, &data) != FALSE;
}

void TTrayIcon::SetHint(const std::string& hint) {
  hint_ = hint;
  if (added_) Notify(NIM_MODIFY);
}

void TTrayIcon::SetVisible(bool visible) {
  visible_ = visible;
  if (visible && !added_)
    added_ = Notify(NIM_ADD);
  else if (!visible && added_) {
    Notify(NIM_DELETE);
    added_ = false;
  }
}

void TTrayIcon::Message(LPARAM mouseMessage) {
  switch (mouseMessage) {
    case WM_RBUTTONUP:
      if (PopupMenu) {
        POINT at;
        GetCursorPos(&at);
        PopupMenu->Popup(at.x, at.y);
      }
      break;
    case WM_LBUTTONDBLCLK:
      if (OnDblClick) OnDblClick(this);
      break;
  }
}

LRESULT CALLBACK TTrayIcon::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TTrayIcon* icon = HiddenWindowData<TTrayIcon>(window);
  if (icon && message == kTrayIconMessage) {
    try {
      icon->Message(lParam);
    } catch (...) {
      Application().HandleException();
    }
    return 0;
  }
  if (icon && message == TaskbarCreatedMessage() && message != 0) {
    // A new taskbar knows nothing of the icon; a shell that still holds it refuses the add.
    if (icon->visible_)
      icon->added_ = icon->Notify(NIM_ADD) || icon->Notify(NIM_MODIFY);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace ui
