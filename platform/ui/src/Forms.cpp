#include "ui/Forms.h"

#include "ui/Application.h"

namespace ui {

TForm::TForm() : TWinControl(nullptr) { SetColor(clBtnFace); }

TForm::~TForm() {
  DestroyComponents();  // the controls go while the form is still whole
  DestroyWnd();
}

void TForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

void TForm::CreateParams(TCreateParams& params) {
  params.Style = WS_CLIPCHILDREN;
  if (BorderStyle == TFormBorderStyle::bsNone)
    params.Style |= WS_POPUP;
  else
    params.Style |= WS_CAPTION | WS_THICKFRAME;
  if (BorderIcons & biSystemMenu) params.Style |= WS_SYSMENU;
  if (BorderIcons & biMinimize) params.Style |= WS_MINIMIZEBOX;
  if (BorderIcons & biMaximize) params.Style |= WS_MAXIMIZEBOX;
  params.ExStyle = WS_EX_APPWINDOW;
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
  TCreateParams params;
  const_cast<TForm*>(this)->CreateParams(params);
  RECT frame = FrameOf(params);
  return Width() - (frame.right - frame.left);
}

int TForm::ClientHeight() const {
  TCreateParams params;
  const_cast<TForm*>(this)->CreateParams(params);
  RECT frame = FrameOf(params);
  return Height() - (frame.bottom - frame.top);
}

void TForm::Show() {
  HandleNeeded();
  if (Position == TPosition::poDesktopCenter)
    SetBounds((GetSystemMetrics(SM_CXSCREEN) - Width()) / 2,
              (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2, Width(), Height());
  ShowWindow(Handle(), SW_SHOW);
  UpdateWindow(Handle());
}

void TForm::Close() {
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
  if (Application().MainForm() == this) Application().Terminate();
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
