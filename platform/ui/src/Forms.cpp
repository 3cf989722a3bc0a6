#include "ui/Forms.h"

#include "ui/Application.h"

namespace ui {

namespace {

// Frees a form from its own message queue (TForm::Release).
const UINT kReleaseMessage = WM_APP + 0x101;

// The styles that the border style decides.
const DWORD kFrameStyles =
    WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
const DWORD kFrameExStyles = WS_EX_TOOLWINDOW;

TShiftState KeyboardShift() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  return s;
}

}  // namespace

TForm::TForm() : TWinControl(nullptr) {
  SetColor(clBtnFace);
  TControl::SetVisible(false);  // a form shows when asked to
}

TForm::~TForm() {
  DestroyComponents();  // the controls go while the form is still whole
  DestroyWnd();
}

void TForm::DoCreate() {
  // A failing handler is reported; the form stays as far as it was set up.
  try {
    if (OnCreate) OnCreate(this);
  } catch (...) {
    Application().HandleException();
  }
}

void TForm::CreateParams(TCreateParams& params) {
  params.Style = WS_CLIPCHILDREN;
  if (BorderStyle == TFormBorderStyle::bsNone)
    params.Style |= WS_POPUP;
  else
    params.Style |= WS_CAPTION | WS_THICKFRAME;
  if (BorderIcons & biSystemMenu) params.Style |= WS_SYSMENU;
  if (BorderStyle != TFormBorderStyle::bsSizeToolWin) {
    if (BorderIcons & biMinimize) params.Style |= WS_MINIMIZEBOX;
    if (BorderIcons & biMaximize) params.Style |= WS_MAXIMIZEBOX;
  }
  params.ExStyle = WS_EX_APPWINDOW;
  if (BorderStyle == TFormBorderStyle::bsSizeToolWin) params.ExStyle |= WS_EX_TOOLWINDOW;
  if (TransparentColor) params.ExStyle |= WS_EX_LAYERED;
}

void TForm::WindowCreated() {
  HWND window = Handle();
  if (TransparentColor)
    SetLayeredWindowAttributes(window, ColorToRGB(TransparentColorValue), 0, LWA_COLORKEY);
  if (!icon_.Empty()) {
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.Handle()));
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Handle()));
  }
}

namespace {
RECT FrameOf(const TCreateParams& params) {
  RECT r = {0, 0, 0, 0};
  AdjustWindowRectEx(&r, params.Style, FALSE, params.ExStyle);
  return r;
}
}  // namespace

void TForm::SetClientSize(int width, int height) {
  TCreateParams params;
  CreateParams(params);
  RECT frame = FrameOf(params);
  SetBounds(Left(), Top(), width + frame.right - frame.left, height + frame.bottom - frame.top);
}

int TForm::ClientWidth() const {
  if (HandleAllocated() && !IsIconic(const_cast<TForm*>(this)->Handle())) {
    RECT r;
    GetClientRect(const_cast<TForm*>(this)->Handle(), &r);
    return r.right;
  }
  TCreateParams params;
  const_cast<TForm*>(this)->CreateParams(params);
  RECT frame = FrameOf(params);
  return Width() - (frame.right - frame.left);
}

int TForm::ClientHeight() const {
  if (HandleAllocated() && !IsIconic(const_cast<TForm*>(this)->Handle())) {
    RECT r;
    GetClientRect(const_cast<TForm*>(this)->Handle(), &r);
    return r.bottom;
  }
  TCreateParams params;
  const_cast<TForm*>(this)->CreateParams(params);
  RECT frame = FrameOf(params);
  return Height() - (frame.bottom - frame.top);
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
  BorderStyle = style;
  if (!HandleAllocated()) return;
  TCreateParams params;
  CreateParams(params);
  HWND window = Handle();
  DWORD old = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
  DWORD oldEx = static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
  SetWindowLongA(window, GWL_STYLE,
                 static_cast<LONG>((old & ~kFrameStyles) | (params.Style & kFrameStyles)));
  SetWindowLongA(window, GWL_EXSTYLE,
                 static_cast<LONG>((oldEx & ~kFrameExStyles) | (params.ExStyle & kFrameExStyles)));
  // The outer bounds stay; the client area and the children follow the new frame.
  SetWindowPos(window, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  AlignControls();
}

TWindowState TForm::WindowState() const {
  if (!HandleAllocated()) return windowState_;
  HWND window = const_cast<TForm*>(this)->Handle();
  if (!IsWindowVisible(window)) return windowState_;
  if (IsIconic(window)) return TWindowState::wsMinimized;
  if (IsZoomed(window)) return TWindowState::wsMaximized;
  return TWindowState::wsNormal;
}

void TForm::SetWindowState(TWindowState state) {
  windowState_ = state;
  if (!HandleAllocated() || !IsWindowVisible(Handle())) return;
  switch (state) {
    case TWindowState::wsNormal: ShowWindow(Handle(), SW_RESTORE); break;
    case TWindowState::wsMinimized: ShowWindow(Handle(), SW_MINIMIZE); break;
    case TWindowState::wsMaximized: ShowWindow(Handle(), SW_MAXIMIZE); break;
  }
}

void TForm::Show() {
  HandleNeeded();
  if (Position == TPosition::poDesktopCenter)
    SetBounds((GetSystemMetrics(SM_CXSCREEN) - Width()) / 2,
              (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2, Width(), Height());
  TControl::SetVisible(true);
  HWND window = Handle();
  // A hidden window comes back in its WindowState: the one it had when it was hidden, or
  // the one it was given since.
  int command = SW_SHOW;
  if (!IsWindowVisible(window)) {
    if (windowState_ == TWindowState::wsNormal) command = SW_SHOWNORMAL;
    if (windowState_ == TWindowState::wsMaximized) command = SW_SHOWMAXIMIZED;
    if (windowState_ == TWindowState::wsMinimized) command = SW_SHOWMINIMIZED;
  }
  ShowWindow(window, command);
  UpdateWindow(window);
}

void TForm::Hide() {
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
  TControl::SetVisible(false);
}

void TForm::SetVisible(bool visible) {
  if (visible)
    Show();
  else
    Hide();
}

void TForm::Close() {
  TCloseAction action = TCloseAction::caHide;
  if (OnClose) OnClose(this, action);
  if (action == TCloseAction::caNone) return;
  if (Application().MainForm() == this) {
    Hide();
    Application().Terminate();
  } else if (action == TCloseAction::caHide) {
    Hide();
  } else {
    Release();
  }
}

void TForm::Release() { PostMessageA(Handle(), kReleaseMessage, 0, 0); }

void TForm::SendCancelMode() {
  if (!HandleAllocated()) return;
  HWND window = Handle();
  HWND capture = GetCapture();
  if (capture && (capture == window || IsChild(window, capture))) ReleaseCapture();
  SendMessageA(window, WM_CANCELMODE, 0, 0);
}

bool TForm::PreviewKey(MSG& msg) {
  if (!KeyPreview || !OnKeyDown) return false;
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  WORD key = static_cast<WORD>(msg.wParam);
  OnKeyDown(this, key, KeyboardShift());
  if (key == 0) return true;
  msg.wParam = key;
  return false;
}

void TForm::EraseBackground(HDC dc) {
  RECT r;
  GetClientRect(Handle(), &r);
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Color()));
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      Close();
      return 0;
    case kReleaseMessage:
      Application().RemoveForm(this);
      delete this;
      return 0;
    case WM_SHOWWINDOW:
      if (lParam == 0) {
        if (wParam && OnShow) OnShow(this);
        if (!wParam) windowState_ = WindowState();  // still visible: the window's own
        TControl::SetVisible(wParam != 0);
      }
      break;
    case WM_SIZE: {
      LRESULT result = TWinControl::WndProc(message, wParam, lParam);
      if (OnResize) OnResize(this);
      return result;
    }
    case WM_ACTIVATE:
      // Activation puts the focus on the first control that takes it, as a dialog does.
      if (LOWORD(wParam) != WA_INACTIVE && !IsIconic(Handle())) {
        HWND focus = GetFocus();
        if (!focus || !IsChild(Handle(), focus)) {
          for (TControl* c : Controls())
            if (c->IsWindowed() && static_cast<TWinControl*>(c)->TabStop && c->Visible() &&
                c->Enabled()) {
              static_cast<TWinControl*>(c)->SetFocus();
              return 0;
            }
        }
      }
      break;
  }
  return TWinControl::WndProc(message, wParam, lParam);
}

TForm* GetParentForm(TControl* control) {
  while (control && control->Parent()) control = control->Parent();
  return dynamic_cast<TForm*>(control);
}

}  // namespace ui
