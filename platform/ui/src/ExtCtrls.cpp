#include "ui/ExtCtrls.h"

#include <algorithm>

#include "Internal.h"
#include "ui/Application.h"

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

}  // namespace ui
