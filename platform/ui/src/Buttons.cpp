#include "ui/Buttons.h"

namespace ui {

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) {
  glyph_.OnChange = [this] { Invalidate(); };
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft) SetDown(true);
  TGraphicControl::MouseDown(button, shift, x, y);
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft) SetDown(false);
  TGraphicControl::MouseUp(button, shift, x, y);
}

void TSpeedButton::CMCaptureLost() {
  TGraphicControl::CMCaptureLost();
  SetDown(false);
}

void TSpeedButton::SetDown(bool down) {
  if (down == down_) return;
  down_ = down;
  Invalidate();
}

void TSpeedButton::CMMouseEnter() {
  TGraphicControl::CMMouseEnter();
  if (Flat) Invalidate();
}

void TSpeedButton::CMMouseLeave() {
  TGraphicControl::CMMouseLeave();
  if (Flat) Invalidate();
}

void TSpeedButton::PaintTo(TCanvas& canvas) {
  RECT r = ClientRect();
  HDC dc = canvas.Handle();
  if (!Flat) {
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &r, down_ ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  } else if (down_ || MouseInControl()) {
    DrawEdge(dc, &r, down_ ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
  if (glyph_.Empty()) return;
  int shift = down_ ? 1 : 0;
  int x = (r.right - glyph_.Width()) / 2 + shift;
  int y = (r.bottom - glyph_.Height()) / 2 + shift;
  HDC source = glyph_.Canvas().Handle();
  COLORREF seeThrough = GetPixel(source, 0, glyph_.Height() - 1);
  TransparentBlt(dc, x, y, glyph_.Width(), glyph_.Height(), source, 0, 0, glyph_.Width(),
                 glyph_.Height(), seeThrough);
}

}  // namespace ui
