#include "ui/ExtCtrls.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "Internal.h"
#include "ui/Application.h"
#include "ui/Menus.h"

namespace ui {

// --- TImage ---------------------------------------------------------------------------

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
  picture_.OnChange = [this] { PictureChanged(); };
  captureMouse_ = true;
}

void TImage::PictureChanged() {
  if (AutoSize && picture_.Width() > 0 && picture_.Height() > 0)
    SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
  Invalidate();
}

void TImage::PaintTo(TCanvas& canvas) {
  TGraphic* graphic = picture_.Graphic();
  if (!graphic || graphic->Empty()) return;
  if (Stretch)
    canvas.StretchDraw(ClientRect(), *graphic);
  else
    canvas.Draw(0, 0, *graphic);
}

// --- TPanel ---------------------------------------------------------------------------

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 185, 41); }

void TPanel::SetBevelOuter(TBevelCut bevel) {
  bevelOuter_ = bevel;
  Invalidate();
}

void TPanel::SetAutoSize(bool on) {
  autoSize_ = on;
  AdjustSize();
}

void TPanel::ControlsChanged() { AdjustSize(); }

void TPanel::AdjustSize() {
  if (!autoSize_) return;
  int width = 0, height = 0;
  bool any = false;
  for (TControl* c : Controls()) {
    if (!c->Visible() || c->Align() != TAlign::alNone) continue;
    any = true;
    width = std::max(width, c->Left() + c->Width());
    height = std::max(height, c->Top() + c->Height());
  }
  if (any && (width != Width() || height != Height())) SetBounds(Left(), Top(), width, height);
}

void TPanel::Paint() {
  RECT r = ClientRect();
  Canvas().Brush().Color = Color();
  Canvas().Brush().Style = TBrushStyle::bsSolid;
  Canvas().FillRect(r);
  if (bevelOuter_ != TBevelCut::bvNone)
    DrawEdge(Canvas().Handle(), &r,
             bevelOuter_ == TBevelCut::bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
}

// --- TTimer ---------------------------------------------------------------------------

namespace {
const UINT_PTR kTimerId = 1;
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  window_ = MakeHiddenWindow("UiTimer", WindowProc, this, false);
  Update();
}

TTimer::~TTimer() {
  if (window_) {
    if (running_) KillTimer(window_, kTimerId);
    DestroyWindow(window_);
  }
}

void TTimer::SetInterval(unsigned milliseconds) {
  interval_ = milliseconds;
  Update();
}

void TTimer::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Update();
}

void TTimer::Update() {
  if (!window_) return;
  if (running_) KillTimer(window_, kTimerId);
  running_ = enabled_ && interval_ > 0 && SetTimer(window_, kTimerId, interval_, nullptr) != 0;
}

LRESULT CALLBACK TTimer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    TTimer* timer = HiddenWindowData<TTimer>(window);
    // The handler may free the timer: nothing of it is touched afterwards.
    if (timer && timer->running_ && timer->OnTimer) {
      try {
        timer->OnTimer(timer);
      } catch (...) {
        Application().HandleException();
      }
    }
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

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
    size_t step = IsDBCSLeadByte(static_cast<BYTE>(text[n])) && n + 1 < text.size() ? 2 : 1;
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
