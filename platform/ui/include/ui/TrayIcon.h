// The notification-area icon (library platform_ui_tray).
#pragma once
#include "ui/Controls.h"

namespace ui {

class TPopupMenu;

// The icon's messages come to a hidden top-level window of class kTrayIconClass as message
// kTrayIconMessage, with the mouse message (WM_RBUTTONUP, WM_LBUTTONDBLCLK...) in lParam.
constexpr char kTrayIconClass[] = "UiTrayIcon";
constexpr UINT kTrayIconMessage = WM_APP + 0x100;

// An icon in the notification area with a hint; a right click opens PopupMenu at the cursor
// and a double-click runs OnDblClick. The icon is put back when the taskbar is re-created.
class TTrayIcon : public TComponent {
public:
  explicit TTrayIcon(TComponent* owner);
  ~TTrayIcon() override;

  TIcon& Icon() { return icon_; }  // an empty icon shows the program's own first icon
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  TPopupMenu* PopupMenu = nullptr;

  TNotifyEvent OnDblClick;

  HWND Handle() const { return window_; }  // the hidden window that receives the messages

private:
  bool Notify(DWORD action);
  void Message(LPARAM mouseMessage);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND window_ = nullptr;
  UINT id_ = 0;
  TIcon icon_;
  std::string hint_;
  bool visible_ = false;
  bool added_ = false;  // the shell holds the icon
};

}  // namespace ui
