#include "ui/Controls.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <optional>

#include "Internal.h"
#include "platform/except.h"
#include "ui/Application.h"
#include "ui/Forms.h"

namespace ui {

namespace {

const char kControlProp[] = "UiControl";
const char kWindowClass[] = "UiWindow";

void RegisterWindowClass(WNDPROC proc) {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA wc = {};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = kWindowClass;
  RegisterClassOrRaise(wc);
  registered = true;
}

TShiftState ShiftFromKeys(WPARAM keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  return s;
}

bool IsMouseMessage(UINT m) { return m >= WM_MOUSEFIRST && m <= WM_MBUTTONDBLCLK; }

// BeginPaint to EndPaint, on every path.
class PaintScope {
public:
  explicit PaintScope(HWND window) : window_(window), dc_(BeginPaint(window, &ps_)) {}
  ~PaintScope() { EndPaint(window_, &ps_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC Dc() const { return dc_; }
  const RECT& Area() const { return ps_.rcPaint; }

private:
  HWND window_;
  PAINTSTRUCT ps_;
  HDC dc_;
};

// A memory context with a bitmap of the given size selected into it; both freed on every path.
class OffScreen {
public:
  OffScreen(HDC compatible, int width, int height)
      : dc_(CreateCompatibleDC(compatible)),
        bitmap_(CreateCompatibleBitmap(compatible, width, height)),
        old_(dc_ && bitmap_ ? SelectObject(dc_, bitmap_) : nullptr) {}
  ~OffScreen() {
    if (old_) SelectObject(dc_, old_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
  }
  OffScreen(const OffScreen&) = delete;
  OffScreen& operator=(const OffScreen&) = delete;
  // Null when the context or the bitmap could not be made.
  HDC Dc() const { return old_ ? dc_ : nullptr; }

private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

// The window gets its own copy of region, or loses its shape when region is null.
void ApplyRegion(HWND window, HRGN region) {
  HRGN copy = nullptr;
  if (region) {
    copy = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(copy, region, nullptr, RGN_COPY);
  }
  if (!SetWindowRgn(window, copy, TRUE) && copy) DeleteObject(copy);
}

}  // namespace

void RaiseWindowError(const char* what, const char* className) {
  DWORD code = GetLastError();
  throw plat::Exception(plat::Format("Error creating %s %s (system error %lu)", what, className,
                                     static_cast<unsigned long>(code)));
}

void RegisterClassOrRaise(const WNDCLASSA& wc) {
  if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    RaiseWindowError("window class", wc.lpszClassName);
}

void EnsureCommonControls() {
  static bool done = false;
  if (done) return;
  done = true;
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES |
                                              ICC_PROGRESS_CLASS};
  // Loaded here rather than imported: a program that shows no hint, status or progress bar
  // never loads the library.
  HMODULE library = LoadLibraryA("comctl32.dll");
  if (!library) return;
  using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  if (auto init = reinterpret_cast<Init>(
          reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx"))))
    init(&icc);
}

HWND MakeHiddenWindow(const char* className, WNDPROC proc, void* data, bool topLevel) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc = {};
  if (!GetClassInfoA(instance, className, &wc)) {
    wc = WNDCLASSA{};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.lpszClassName = className;
    RegisterClassOrRaise(wc);
  }
  HWND window = CreateWindowExA(0, className, "", WS_POPUP, 0, 0, 0, 0,
                                topLevel ? nullptr : HWND_MESSAGE, nullptr, instance, nullptr);
  if (!window) RaiseWindowError("window", className);
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
  return window;
}

// --- TComponent -----------------------------------------------------------------------

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
  DestroyComponents();
  if (owner_) {
    auto& list = owner_->components_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) delete components_.back();  // each removes itself
}

// --- TControl -------------------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner) {
  font_.OnChange = [this] { CMFontChanged(); };
}

TControl::~TControl() {
  font_.OnChange = nullptr;
  if (hintWindow_ && IsWindow(hintWindow_)) DestroyWindow(hintWindow_);
  hintWindow_ = nullptr;
  if (parent_) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

void TControl::StoreBounds(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
}

void TControl::FitToLayout(int& left, int& top, int& width, int& height) const {
  RECT r;
  if (!parent_ || !parent_->AlignedBounds(this, height, r)) return;
  left = r.left;
  top = r.top;
  width = r.right - r.left;
  height = r.bottom - r.top;
}

void TControl::SetBounds(int left, int top, int width, int height) {
  FitToLayout(left, top, width, height);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  Invalidate();
  StoreBounds(left, top, width, height);
  Invalidate();
  BoundsChanged();
}

void TControl::BoundsChanged() {
  if (!parent_) return;
  if (hintWindow_) UpdateHint();
  if (parent_->aligning_) return;  // moved by the parent's own layout
  RecordAnchorDistances();
  // The aligned siblings follow an aligned control's new size.
  if (align_ != TAlign::alNone) parent_->AlignControls();
  parent_->ControlsChanged();
}

void TControl::RecordAnchorDistances() {
  anchorRight_ = parent_->ClientWidth() - (left_ + width_);
  anchorBottom_ = parent_->ClientHeight() - (top_ + height_);
}

void TControl::SetAlign(TAlign align) {
  align_ = align;
  if (parent_) parent_->AlignControls();
}

void TControl::SetAnchors(TAnchors anchors) {
  anchors_ = anchors;
  if (parent_) RecordAnchorDistances();
}

void TControl::SetHint(const std::string& hint) {
  hint_ = hint;
  UpdateHint();
}

void TControl::SetShowHint(bool show) {
  showHint_ = show;
  UpdateHint();
}

void TControl::UpdateHint() {
  if (hintWindow_ && IsWindow(hintWindow_)) DestroyWindow(hintWindow_);
  hintWindow_ = nullptr;
  if (!showHint_ || hint_.empty() || !visible_ || !parent_) return;
  // A windowed control is its own tool; a window-less one is a rectangle of its parent.
  HWND host = IsWindowed() ? static_cast<TWinControl*>(this)->handle_ : parent_->handle_;
  if (!host) return;
  EnsureCommonControls();
  hintWindow_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                GetAncestor(host, GA_ROOT), nullptr, GetModuleHandleA(nullptr),
                                nullptr);
  if (!hintWindow_) return;
  TTTOOLINFOA tool = {};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = host;
  tool.lpszText = const_cast<char*>(hint_.c_str());
  if (IsWindowed()) {
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.uId = reinterpret_cast<UINT_PTR>(host);
  } else {
    tool.uFlags = TTF_SUBCLASS;
    tool.uId = reinterpret_cast<UINT_PTR>(this);
    tool.rect = BoundsRect();
  }
  SendMessageA(hintWindow_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void TControl::BringToFront() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  list.push_back(this);
  Invalidate();
}

void TControl::Repaint() {
  if (!parent_ || !visible_ || !parent_->handle_) return;
  parent_->InvalidateRect(BoundsRect());
  UpdateWindow(parent_->handle_);
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  CMVisibleChanged();
}

void TControl::CMVisibleChanged() {
  UpdateHint();
  if (!parent_) return;
  parent_->InvalidateRect(BoundsRect());
  if (align_ != TAlign::alNone) parent_->AlignControls();
  parent_->ControlsChanged();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  CMEnabledChanged();
}

void TControl::CMEnabledChanged() { Invalidate(); }

void TControl::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  CMTextChanged();
}

void TControl::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Invalidate();
}

void TControl::Invalidate() {
  if (parent_ && visible_) parent_->InvalidateRect(BoundsRect());
}

void TControl::MouseMessage(UINT message, WPARAM keys, int x, int y) {
  TShiftState shift = ShiftFromKeys(keys);
  switch (message) {
    case WM_LBUTTONDOWN:
      if (captureMouse_) SetMouseCapture(true);
      if (clickEvents_) clicked_ = true;
      MouseDown(TMouseButton::mbLeft, shift, x, y);
      break;
    case WM_LBUTTONDBLCLK:
      if (captureMouse_) SetMouseCapture(true);
      DblClick();
      MouseDown(TMouseButton::mbLeft, shift | ssDouble, x, y);
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      MouseDown(TMouseButton::mbRight, shift, x, y);
      break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      MouseDown(TMouseButton::mbMiddle, shift, x, y);
      break;
    case WM_LBUTTONUP:
      if (captureMouse_) SetMouseCapture(false);
      if (clicked_) {
        clicked_ = false;
        if (x >= 0 && y >= 0 && x < ClientWidth() && y < ClientHeight()) Click();
      }
      MouseUp(TMouseButton::mbLeft, shift, x, y);
      break;
    case WM_RBUTTONUP:
      MouseUp(TMouseButton::mbRight, shift, x, y);
      break;
    case WM_MBUTTONUP:
      MouseUp(TMouseButton::mbMiddle, shift, x, y);
      break;
    case WM_MOUSEMOVE:
      MouseMove(shift, x, y);
      break;
  }
}

void TControl::MouseEntered() {
  if (mouseInControl_) return;
  mouseInControl_ = true;
  CMMouseEnter();
}

void TControl::MouseLeft() {
  if (!mouseInControl_) return;
  mouseInControl_ = false;
  CMMouseLeave();
}

void TControl::CMMouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::CMMouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::SetMouseCapture(bool capture) {
  if (!parent_) return;
  parent_->captureControl_ = capture ? this : nullptr;
  if (!parent_->handle_) return;
  if (capture)
    SetCapture(parent_->handle_);
  else
    parent_->ReleaseOwnCapture();
}

// --- TWinControl ----------------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
  static int nextId = 100;
  id_ = nextId++;
}

TWinControl::~TWinControl() {
  DestroyComponents();
  for (TControl* c : controls_) c->parent_ = nullptr;  // children owned by someone else
  controls_.clear();
  DestroyWnd();
  if (region_) DeleteObject(region_);
}

TWinControl* TWinControl::FromHandle(HWND window) {
  return window ? static_cast<TWinControl*>(GetPropA(window, kControlProp)) : nullptr;
}

void TWinControl::SetParent(TWinControl* parent) {
  if (parent == Parent()) return;
  TControl::SetParent(parent);
  if (!handle_ && parent && parent->handle_) {
    HandleNeeded();
  } else if (handle_) {
    if (parent && parent->handle_) {
      // A child window moved to another parent, on top of its new siblings, at its bounds
      // within the new parent.
      ::SetParent(handle_, parent->handle_);
      SetWindowPos(handle_, HWND_TOP, Left(), Top(), Width(), Height(), SWP_NOACTIVATE);
    } else {
      DestroyWnd();
    }
  }
  UpdateHint();
}

void TWinControl::InsertControl(TControl* control) {
  control->parent_ = this;
  controls_.push_back(control);
  control->RecordAnchorDistances();
  if (control->align_ != TAlign::alNone) AlignControls();
  control->Invalidate();
  if (!control->IsWindowed()) control->UpdateHint();
  ControlsChanged();
}

void TWinControl::RemoveControl(TControl* control) {
  control->Invalidate();
  if (control->hintWindow_ && !control->IsWindowed()) {
    DestroyWindow(control->hintWindow_);
    control->hintWindow_ = nullptr;
  }
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  if (mouseControl_ == control) mouseControl_ = nullptr;
  if (captureControl_ == control) {
    captureControl_ = nullptr;
    ReleaseOwnCapture();
  }
  control->parent_ = nullptr;
  ControlsChanged();
}

bool TWinControl::AlignedBounds(const TControl* control, int height, RECT& r) const {
  if (control->align_ == TAlign::alNone || !control->visible_) return false;
  int width = ClientWidth(), bottom = ClientHeight();
  for (TControl* c : controls_) {
    if (c->align_ != TAlign::alBottom || !c->visible_) continue;
    int h = c == control ? height : c->height_;
    bottom -= h;
    if (c == control) {
      r = RECT{0, bottom, width, bottom + h};
      return true;
    }
  }
  r = RECT{0, 0, width, bottom};
  return true;
}

void TWinControl::AlignControls() {
  if (aligning_) return;
  aligning_ = true;
  int width = ClientWidth(), height = ClientHeight();
  for (TControl* c : std::vector<TControl*>(controls_)) {
    const RECT now = c->BoundsRect();
    RECT r = now;
    if (c->align_ == TAlign::alNone) {
      if (c->anchors_ & akRight) {
        r.right = width - c->anchorRight_;
        if (!(c->anchors_ & akLeft)) r.left = r.right - c->width_;
      }
      if (c->anchors_ & akBottom) {
        r.bottom = height - c->anchorBottom_;
        if (!(c->anchors_ & akTop)) r.top = r.bottom - c->height_;
      }
    } else if (!AlignedBounds(c, c->height_, r)) {
      continue;
    }
    if (!EqualRect(&r, &now)) c->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  aligning_ = false;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  // The window moves once, straight to where the layout puts it.
  FitToLayout(left, top, width, height);
  bool resized = width != Width() || height != Height();
  StoreBounds(left, top, width, height);
  if (handle_) MoveWindow(handle_, left, top, width, height, TRUE);
  if (resized) AlignControls();
  BoundsChanged();
}

void TWinControl::SetVisible(bool visible) {
  TControl::SetVisible(visible);
  if (handle_ && Parent()) ShowWindow(handle_, visible ? SW_SHOW : SW_HIDE);
}

void TWinControl::SetWindowRegion(HRGN region) {
  if (region_ && region_ != region) DeleteObject(region_);
  region_ = region;
  if (handle_) ApplyRegion(handle_, region_);
}

LRESULT TWinControl::Perform(UINT message, WPARAM wParam, LPARAM lParam) {
  return WndProc(message, wParam, lParam);
}

void TWinControl::BringToFront() {
  TControl::BringToFront();
  if (handle_)
    SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::Repaint() {
  if (!handle_) return;
  ::InvalidateRect(handle_, nullptr, TRUE);
  UpdateWindow(handle_);
}

void TWinControl::Invalidate() {
  if (handle_) ::InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::InvalidateRect(const RECT& rect) {
  if (handle_) ::InvalidateRect(handle_, &rect, TRUE);
}

void TWinControl::CMEnabledChanged() {
  if (handle_) EnableWindow(handle_, Enabled());
  TControl::CMEnabledChanged();
}

void TWinControl::CMFontChanged() {
  if (handle_) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
}

void TWinControl::CMTextChanged() {
  if (handle_) SetWindowTextA(handle_, Caption().c_str());
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return handle_;
}

void TWinControl::HandleNeeded() {
  if (handle_) return;
  if (Parent()) Parent()->HandleNeeded();
  if (!handle_) CreateWnd();
}

void TWinControl::SetFocus() {
  if (Handle()) ::SetFocus(handle_);
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  DWORD style = params.Style;
  HWND parentWindow = nullptr;
  HMENU id = nullptr;
  if (Parent()) {
    parentWindow = Parent()->handle_;
    style |= WS_CHILD;
    if (Visible()) style |= WS_VISIBLE;
    id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_));
  }
  if (!Enabled()) style |= WS_DISABLED;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (params.ClassName) {
    HWND w = CreateWindowExA(params.ExStyle, params.ClassName, Caption().c_str(), style, Left(),
                             Top(), Width(), Height(), parentWindow, id, instance, nullptr);
    if (!w) RaiseWindowError("window", params.ClassName);
    handle_ = w;
    SetPropA(w, kControlProp, this);
    oldProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticWndProc)));
  } else {
    RegisterWindowClass(StaticWndProc);
    // WM_NCCREATE attaches the object to the window (see StaticWndProc).
    if (!CreateWindowExA(params.ExStyle, kWindowClass, Caption().c_str(), style, Left(), Top(),
                         Width(), Height(), parentWindow, id, instance, this))
      RaiseWindowError("window", kWindowClass);
  }
  SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
  // The system puts a new child window below its siblings; later controls lie above.
  if (Parent())
    SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (region_) ApplyRegion(handle_, region_);
  WindowCreated();
  for (TControl* c : controls_) {
    if (c->IsWindowed()) static_cast<TWinControl*>(c)->HandleNeeded();
    if (c->showHint_) c->UpdateHint();
  }
  if (showHint_) UpdateHint();
}

void TWinControl::DestroyWnd() {
  if (handle_) DestroyWindow(handle_);  // WM_NCDESTROY detaches the object
  handle_ = nullptr;
}

LRESULT CALLBACK TWinControl::StaticWndProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  TWinControl* self = FromHandle(window);
  if (!self && message == WM_NCCREATE) {
    self = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->handle_ = window;
    SetPropA(window, kControlProp, self);
  }
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    LRESULT result = self->DefaultHandler(message, wParam, lParam);
    RemovePropA(window, kControlProp);
    if (self->handle_ == window) self->handle_ = nullptr;
    self->oldProc_ = nullptr;
    return result;
  }
  // No exception may unwind through the system's frames: an event handler's failure is
  // reported here and the message counts as handled.
  try {
    return self->WndProc(message, wParam, lParam);
  } catch (...) {
    Application().HandleException();
    return 0;
  }
}

LRESULT TWinControl::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
  if (oldProc_) return CallWindowProcA(oldProc_, handle_, message, wParam, lParam);
  return DefWindowProcA(handle_, message, wParam, lParam);
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsMouseMessage(message) || message == WM_MOUSELEAVE) {
    LRESULT result = DefaultHandler(message, wParam, lParam);
    RouteMouse(message, wParam, lParam);
    return result;
  }
  switch (message) {
    case WM_PAINT:
      if (oldProc_) break;
      WMPaint();
      return 0;
    case WM_ERASEBKGND:
      if (oldProc_) break;
      EraseBackground(reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      LRESULT result = DefaultHandler(message, wParam, lParam);
      if (TForm* form = GetParentForm(this)) form->BroadcastFocusChanged();
      return result;
    }
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      TWinControl* c = FromHandle(item->hwndItem);
      if (c && c->DrawItem(*item)) return TRUE;
      break;
    }
    case WM_COMMAND: {
      TWinControl* c = FromHandle(reinterpret_cast<HWND>(lParam));
      if (c && c != this && c->Notification(HIWORD(wParam))) return 0;
      break;
    }
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      TWinControl* c = FromHandle(GetDlgItem(handle_, static_cast<int>(item->CtlID)));
      if (c && c->MeasureItem(*item)) return TRUE;
      break;
    }
    case WM_CAPTURECHANGED:
      if (!releasingCapture_ && reinterpret_cast<HWND>(lParam) != handle_) CaptureLost();
      break;
    case WM_SYSCOLORCHANGE:
      for (TControl* c : controls_) c->CMSysColorChange();
      CMSysColorChange();
      break;
    case WM_WINDOWPOSCHANGED: {
      // A minimised window keeps the bounds it had before.
      if (IsIconic(handle_)) break;
      RECT r;
      GetWindowRect(handle_, &r);
      if (Parent() && Parent()->handle_)
        MapWindowPoints(nullptr, Parent()->handle_, reinterpret_cast<POINT*>(&r), 2);
      StoreBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
      // The client area can change with the same outer size (a new frame).
      AlignControls();
      break;
    }
  }
  return DefaultHandler(message, wParam, lParam);
}

void TWinControl::BroadcastFocusChanged() {
  CMFocusChanged();
  for (TControl* c : std::vector<TControl*>(controls_)) {
    if (c->IsWindowed())
      static_cast<TWinControl*>(c)->BroadcastFocusChanged();
    else
      c->CMFocusChanged();
  }
}

TControl* TWinControl::ControlAt(int x, int y) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    if (c->IsWindowed() || !c->Visible() || !c->Enabled()) continue;
    RECT r = c->BoundsRect();
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return c;
  }
  return nullptr;
}

void TWinControl::RouteMouse(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_MOUSELEAVE) {
    tracking_ = false;
    if (mouseControl_) {
      TControl* c = mouseControl_;
      mouseControl_ = nullptr;
      c->MouseLeft();
    }
    MouseLeft();
    return;
  }
  int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  if (message == WM_MOUSEMOVE) {
    if (!tracking_) {
      TRACKMOUSEEVENT tme = {sizeof tme, TME_LEAVE, handle_, 0};
      tracking_ = TrackMouseEvent(&tme) != FALSE;
      MouseEntered();
    }
    TControl* under = ControlAt(x, y);
    if (under != mouseControl_) {
      if (TControl* old = mouseControl_) {
        mouseControl_ = nullptr;
        old->MouseLeft();
      }
      mouseControl_ = under;
      if (under) under->MouseEntered();
    }
  }
  TControl* target = captureControl_ ? captureControl_ : ControlAt(x, y);
  if (target)
    target->MouseMessage(message, wParam, x - target->Left(), y - target->Top());
  else
    MouseMessage(message, wParam, x, y);
}

void TWinControl::CaptureLost() {
  if (TControl* c = captureControl_) {
    captureControl_ = nullptr;
    c->CMCaptureLost();
  }
  CMCaptureLost();
}

void TWinControl::SetMouseCapture(bool capture) {
  if (!handle_) return;
  if (capture)
    SetCapture(handle_);
  else
    ReleaseOwnCapture();
}

void TWinControl::ReleaseOwnCapture() {
  if (!handle_ || GetCapture() != handle_) return;
  releasingCapture_ = true;
  ReleaseCapture();
  releasingCapture_ = false;
}

void TWinControl::WMPaint() {
  PaintScope paint(handle_);
  RECT client;
  GetClientRect(handle_, &client);
  std::optional<OffScreen> buffer;
  if (doubleBuffered_) buffer.emplace(paint.Dc(), client.right, client.bottom);
  // Without a buffer (or when none could be made) the window is painted directly.
  HDC target = buffer && buffer->Dc() ? buffer->Dc() : paint.Dc();
  {
    CanvasAttachment attached(canvas_, target);
    PaintWindow(canvas_);
  }
  PaintControls(target, paint.Area());
  if (target != paint.Dc())
    BitBlt(paint.Dc(), 0, 0, client.right, client.bottom, target, 0, 0, SRCCOPY);
}

void TWinControl::PaintControls(HDC dc, const RECT& area) {
  for (TControl* c : controls_) {
    if (c->IsWindowed() || !c->Visible()) continue;
    RECT bounds = c->BoundsRect(), hit;
    if (!IntersectRect(&hit, &bounds, &area)) continue;
    struct SavedState {
      HDC dc;
      int saved;
      ~SavedState() { RestoreDC(dc, saved); }
    } state{dc, SaveDC(dc)};
    IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    SetViewportOrgEx(dc, bounds.left, bounds.top, nullptr);
    TCanvas canvas;
    CanvasAttachment attached(canvas, dc);
    c->PaintTo(canvas);
  }
}

}  // namespace ui
