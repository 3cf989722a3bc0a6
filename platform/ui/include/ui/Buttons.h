// Speed buttons.
#pragma once
#include "ui/Controls.h"

namespace ui {

// A window-less button with a glyph. A flat button shows its frame only while the pointer is
// over it. The glyph's bottom left pixel gives its see-through colour.
class TSpeedButton : public TGraphicControl {
public:
  explicit TSpeedButton(TComponent* owner);
  bool Flat = false;
  TBitmap& Glyph() { return glyph_; }
  bool Down() const { return down_; }
  void PaintTo(TCanvas& canvas) override;
  void CMCaptureLost() override;  // a press that loses the mouse comes back up

protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void CMMouseEnter() override;
  void CMMouseLeave() override;

private:
  void SetDown(bool down);  // the pressed face, repainted when it changes
  TBitmap glyph_;
  bool down_ = false;
};

}  // namespace ui
