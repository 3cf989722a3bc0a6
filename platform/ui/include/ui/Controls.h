// Components and controls: owner-based freeing, windowed controls over Win32 windows, and
// window-less controls drawn and fed with the mouse by their parent.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Graphics.h"

namespace ui {

class TObject {
public:
  virtual ~TObject() = default;
};

// A component frees the components it owns when it is freed, the last created first.
class TComponent : public TObject {
public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  const std::vector<TComponent*>& Components() const { return components_; }

protected:
  void DestroyComponents();

private:
  TComponent* owner_;
  std::vector<TComponent*> components_;
};

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using TShiftState = unsigned;
constexpr TShiftState ssShift = 1, ssCtrl = 2, ssLeft = 4, ssRight = 8, ssMiddle = 16,
                      ssDouble = 32;

using TNotifyEvent = std::function<void(TObject* sender)>;
using TMouseEvent =
    std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;

enum class TAlign { alNone, alClient };

class TWinControl;

class TControl : public TComponent {
public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  virtual bool IsWindowed() const { return false; }

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  virtual void SetBounds(int left, int top, int width, int height);
  void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
  void SetTop(int top) { SetBounds(left_, top, width_, height_); }
  RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
  RECT ClientRect() const { return RECT{0, 0, ClientWidth(), ClientHeight()}; }
  virtual int ClientWidth() const { return width_; }
  virtual int ClientHeight() const { return height_; }
  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  TFont& Font() { return font_; }
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  bool MouseInControl() const { return mouseInControl_; }

  virtual void Invalidate();  // the whole control is repainted later

  TNotifyEvent OnClick, OnDblClick, OnMouseEnter, OnMouseLeave;
  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;

  // Mouse input in client coordinates, from the control's own window or, for a window-less
  // control, from its parent's.
  void MouseMessage(UINT message, WPARAM keys, int x, int y);
  // The pointer entered or left the control.
  void MouseEntered();
  void MouseLeft();

  // Notifications of this toolkit; a control overrides them to react and calls the base.
  virtual void CMMouseEnter();
  virtual void CMMouseLeave();
  virtual void CMFocusChanged() {}
  virtual void CMEnabledChanged();
  virtual void CMFontChanged() {}
  virtual void CMTextChanged() {}
  virtual void CMSysColorChange() {}
  virtual void CMVisibleChanged();

  // Paints a window-less control; the canvas origin is the control's top left corner.
  virtual void PaintTo(TCanvas& canvas) {}

protected:
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void SetMouseCapture(bool capture);
  void StoreBounds(int left, int top, int width, int height);

  bool captureMouse_ = true;  // the mouse is captured from a press to its release
  bool clickEvents_ = true;   // a press and release inside make a click
  bool clicked_ = false;

private:
  friend class TWinControl;
  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = TAlign::alNone;
  bool visible_ = true;
  bool enabled_ = true;
  bool mouseInControl_ = false;
  std::string caption_;
  TFont font_;
  TColor color_ = clBtnFace;
};

// What CreateWindowEx gets for a windowed control.
struct TCreateParams {
  const char* ClassName = nullptr;  // a system class to subclass; our own class when null
  DWORD Style = 0;
  DWORD ExStyle = 0;
};

class TWinControl : public TControl {
  friend class TControl;

public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  bool IsWindowed() const override { return true; }
  void SetParent(TWinControl* parent) override;
  void SetBounds(int left, int top, int width, int height) override;
  void SetVisible(bool visible) override;
  void Invalidate() override;
  void CMEnabledChanged() override;
  void CMFontChanged() override;
  void CMTextChanged() override;

  bool HandleAllocated() const { return handle_ != nullptr; }
  HWND Handle();  // creates the window when it does not exist yet
  void HandleNeeded();
  bool Focused() const { return handle_ && GetFocus() == handle_; }
  void SetFocus();
  bool DoubleBuffered() const { return doubleBuffered_; }
  void SetDoubleBuffered(bool on) { doubleBuffered_ = on; }
  bool TabStop = false;  // the form's activation focuses the first control that has it

  const std::vector<TControl*>& Controls() const { return controls_; }
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void InvalidateRect(const RECT& rect);  // part of the client area

  // The control of a window made by this toolkit, or null.
  static TWinControl* FromHandle(HWND window);

  // Sends the toolkit's focus notification to this control and every control inside it.
  void BroadcastFocusChanged();

protected:
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();    // makes the window, then the children's windows
  virtual void WindowCreated() {}
  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);
  virtual void PaintWindow(TCanvas& canvas) {}  // before the window-less children
  virtual void EraseBackground(HDC dc) {}
  virtual bool DrawItem(const DRAWITEMSTRUCT& item) { return false; }
  virtual bool MeasureItem(MEASUREITEMSTRUCT& item) { return false; }
  void SetMouseCapture(bool capture) override;
  void DestroyWnd();
  void AlignControls();

  TCanvas canvas_;  // the canvas of the paint in progress

private:
  static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void WMPaint();
  TControl* ControlAt(int x, int y) const;
  void RouteMouse(UINT message, WPARAM wParam, LPARAM lParam);
  void PaintControls(HDC dc, const RECT& area);

  HWND handle_ = nullptr;
  WNDPROC oldProc_ = nullptr;  // the system class's own procedure when subclassed
  bool doubleBuffered_ = false;
  bool tracking_ = false;      // a leave notification has been asked for
  std::vector<TControl*> controls_;
  TControl* mouseControl_ = nullptr;    // the window-less child under the pointer
  TControl* captureControl_ = nullptr;  // the window-less child holding the mouse
  int id_ = 0;                          // the child window's identifier
};

// A windowed control that draws itself on its Canvas in Paint.
class TCustomControl : public TWinControl {
public:
  explicit TCustomControl(TComponent* owner) : TWinControl(owner) {}
  TCanvas& Canvas() { return canvas_; }

protected:
  virtual void Paint() {}
  void PaintWindow(TCanvas& canvas) override { Paint(); }
};

// A window-less control.
class TGraphicControl : public TControl {
public:
  explicit TGraphicControl(TComponent* owner) : TControl(owner) {}
};

}  // namespace ui
