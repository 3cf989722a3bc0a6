#include "ui/ExtCtrls.h"

namespace ui {

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

}  // namespace ui
