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

// alBottom controls are stacked up from the parent's bottom edge at full width; an alClient
// control takes what is left. Hidden controls take no room. Bounds set directly on a shown
// aligned control give way to the parent's layout before the control moves: of them only an
// alBottom control's height counts.
enum class TAlign { alNone, alClient, alBottom };

// The edges of the parent whose distance a control keeps when the parent is resized: with
// akRight (or akBottom) but not akLeft (akTop) the control moves, with both it stretches.
using TAnchors = unsigned;
constexpr TAnchors akLeft = 1, akTop = 2, akRight = 4, akBottom = 8;

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
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors anchors);  // the distances kept are those of this moment

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

  // A tooltip with the hint text shows over the control while ShowHint is on.
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool show);

  // Puts the control above its siblings.
  virtual void BringToFront();

  virtual void Invalidate();  // the whole control is repainted later
  virtual void Repaint();     // the whole control is repainted now

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
  // The system took the mouse capture away between a press and its release (another window
  // took it, the window lost the foreground, WM_CANCELMODE): the press is forgotten, so the
  // release that may come later makes no click.
  virtual void CMCaptureLost() { clicked_ = false; }

  // Paints a window-less control; the canvas origin is the control's top left corner.
  virtual void PaintTo(TCanvas& canvas) {}

protected:
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void SetMouseCapture(bool capture);
  // Bounds as the parent's layout changes them: its own place for a shown aligned control.
  void FitToLayout(int& left, int& top, int& width, int& height) const;
  void StoreBounds(int left, int top, int width, int height);
  void BoundsChanged();  // after SetBounds: anchor distances, hint area, the parent's size
  void UpdateHint();     // (re)registers the tooltip for the control's current place

  bool captureMouse_ = true;  // the mouse is captured from a press to its release
  bool clickEvents_ = true;   // a press and release inside make a click
  bool clicked_ = false;

private:
  friend class TWinControl;
  void RecordAnchorDistances();  // from the parent's client area as it is now

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = TAlign::alNone;
  TAnchors anchors_ = akLeft | akTop;
  int anchorRight_ = 0, anchorBottom_ = 0;  // distances to the parent's right and bottom
  bool visible_ = true;
  bool enabled_ = true;
  bool mouseInControl_ = false;
  std::string caption_;
  TFont font_;
  TColor color_ = clBtnFace;
  std::string hint_;
  bool showHint_ = false;
  HWND hintWindow_ = nullptr;  // the tooltip, made on first need
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
  // Gives the window the shape of region (null: the whole rectangle). The control owns the
  // region from then on and keeps it through re-creations of its window.
  void SetWindowRegion(HRGN region);
  // Runs a message through the control's window procedure directly, as if it had been sent.
  LRESULT Perform(UINT message, WPARAM wParam, LPARAM lParam);
  void BringToFront() override;
  void Repaint() override;
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
  // A notification (BN_CLICKED...) that this control's window sent to its parent.
  virtual bool Notification(WORD code) { return false; }
  void SetMouseCapture(bool capture) override;
  void DestroyWnd();
  void AlignControls();  // aligned and anchored children follow the client area
  // Where the layout puts control, a child, when it is height high: false when it leaves the
  // control where it is (not aligned, or hidden).
  bool AlignedBounds(const TControl* control, int height, RECT& r) const;
  // A child was inserted, removed, moved, resized, shown or hidden.
  virtual void ControlsChanged() {}

  TCanvas canvas_;  // the canvas of the paint in progress

private:
  static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void WMPaint();
  TControl* ControlAt(int x, int y) const;
  void RouteMouse(UINT message, WPARAM wParam, LPARAM lParam);
  void CaptureLost();  // the window's capture went elsewhere: its press and its child's end
  void ReleaseOwnCapture();  // a release of the press's capture, which is no loss
  void PaintControls(HDC dc, const RECT& area);

  HWND handle_ = nullptr;
  WNDPROC oldProc_ = nullptr;  // the system class's own procedure when subclassed
  bool doubleBuffered_ = false;
  bool aligning_ = false;      // children are being moved by AlignControls
  HRGN region_ = nullptr;      // our copy of the window's shape
  bool tracking_ = false;      // a leave notification has been asked for
  bool releasingCapture_ = false;
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
