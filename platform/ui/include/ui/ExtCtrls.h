// Images, panels and timers.
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

enum class TBevelCut { bvNone, bvLowered, bvRaised };

// A windowed container filled with its colour, with an optional raised or lowered edge. With
// AutoSize on it keeps the size that just holds its visible, unaligned children.
class TPanel : public TCustomControl {
public:
  explicit TPanel(TComponent* owner);

  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut bevel);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool on);

protected:
  void Paint() override;
  void EraseBackground(HDC dc) override {}  // Paint covers the whole client area
  void ControlsChanged() override;

private:
  void AdjustSize();
  TBevelCut bevelOuter_ = TBevelCut::bvRaised;
  bool autoSize_ = false;
};

// Runs OnTimer every Interval milliseconds while Enabled, on the thread that made it, from a
// window timer of its own hidden window; no form is needed. Changing Interval or switching the
// timer on starts the count anew.
class TTimer : public TComponent {
public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned milliseconds);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  TNotifyEvent OnTimer;

private:
  void Update();
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND window_ = nullptr;
  unsigned interval_ = 1000;
  bool enabled_ = true;
  bool running_ = false;
};

}  // namespace ui
