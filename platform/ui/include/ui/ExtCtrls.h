// Images.
#pragma once
#include "ui/Controls.h"

namespace ui {

// A window-less picture, drawn at its top left corner or stretched over the control; sized to
// its picture when AutoSize is on. Mouse events come through the TControl events.
class TImage : public TGraphicControl {
public:
  explicit TImage(TComponent* owner);
  TPicture& Picture() { return picture_; }
  bool Stretch = false;
  bool AutoSize = false;
  void PaintTo(TCanvas& canvas) override;

private:
  void PictureChanged();
  TPicture picture_;
};

}  // namespace ui
