// Images, panels, timers and the notification-area icon.
#pragma once
#include "ui/Controls.h"

namespace ui {

class TPopupMenu;

// A window-less picture, drawn at its top left corner or stretched over the control; sized to
// its picture when AutoSize is on. Mouse events come through the TControl events.
class TImage : public TGraphicControl {
public:
  explicit TImage(TComponent* owner);
  TPicture& Picture() { return picture_; }
  bool Stretch = false;
  bool AutoSize = false;
  void PaintTo(TCanvas& canvas) override;

private:
  void PictureChanged();
  TPicture picture_;
};

enum class TBevelCut { bvNone, bvLowered, bvRaised };

// A windowed container filled with its colour, with an optional raised or lowered edge. With
// AutoSize on it keeps the size that just holds its visible, unaligned children.
class TPanel : public TCustomControl {
public:
  explicit TPanel(TComponent* owner);

  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut bevel);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool on);

protected:
  void Paint() override;
  void EraseBackground(HDC dc) override {}  // Paint covers the whole client area
  void ControlsChanged() override;

private:
  void AdjustSize();
  TBevelCut bevelOuter_ = TBevelCut::bvRaised;
  bool autoSize_ = false;
};

// Runs OnTimer every Interval milliseconds while Enabled, on the thread that made it, from a
// window timer of its own hidden window; no form is needed. Changing Interval or switching the
// timer on starts the count anew.
class TTimer : public TComponent {
public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned milliseconds);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  TNotifyEvent OnTimer;

private:
  void Update();
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND window_ = nullptr;
  unsigned interval_ = 1000;
  bool enabled_ = true;
  bool running_ = false;
};

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
