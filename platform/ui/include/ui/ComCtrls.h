// The system's status bar and progress bar.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "ui/Controls.h"

namespace ui {

class TStatusBar;

class TStatusPanel {
public:
  explicit TStatusPanel(TStatusBar* bar) : bar_(bar) {}
  int Width() const { return width_; }
  void SetWidth(int width);
  const std::string& Text() const { return text_; }
  void SetText(const std::string& text);

private:
  TStatusBar* bar_;
  int width_ = 50;
  std::string text_;
};

// A status bar of panels side by side, each with its width and text; aligned to the bottom of
// its parent, 19 pixels high.
class TStatusBar : public TWinControl {
public:
  explicit TStatusBar(TComponent* owner);

  TStatusPanel* AddPanel();
  int PanelCount() const { return static_cast<int>(panels_.size()); }
  TStatusPanel& Panel(int index);  // EListError when the index is out of range
  void PanelsChanged();            // the panels' widths and texts go to the window

protected:
  void CreateParams(TCreateParams& params) override;
  void WindowCreated() override;

private:
  std::vector<std::unique_ptr<TStatusPanel>> panels_;
};

// A progress bar from 0 to Max; Position is kept within that range.
class TProgressBar : public TWinControl {
public:
  explicit TProgressBar(TComponent* owner);

  int Max() const { return max_; }
  void SetMax(int max);
  int Position() const { return position_; }
  void SetPosition(int position);

protected:
  void CreateParams(TCreateParams& params) override;
  void WindowCreated() override;

private:
  int max_ = 100;
  int position_ = 0;
};

}  // namespace ui
