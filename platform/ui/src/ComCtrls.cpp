#include "ui/ComCtrls.h"

#include <commctrl.h>

#include "Internal.h"
#include <algorithm>

#include "platform/except.h"

namespace ui {

// --- TStatusBar -----------------------------------------------------------------------

void TStatusPanel::SetWidth(int width) {
  width_ = width;
  bar_->PanelsChanged();
}

void TStatusPanel::SetText(const std::string& text) {
  text_ = text;
  bar_->PanelsChanged();
}

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 200, 19);
  SetAlign(TAlign::alBottom);
  captureMouse_ = false;
  clickEvents_ = false;
}

void TStatusBar::CreateParams(TCreateParams& params) {
  EnsureCommonControls();
  TWinControl::CreateParams(params);
  params.ClassName = STATUSCLASSNAMEA;
  // The toolkit places the bar; it keeps the height it is given.
  params.Style |= CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER;
}

void TStatusBar::WindowCreated() { PanelsChanged(); }

TStatusPanel* TStatusBar::AddPanel() {
  panels_.push_back(std::make_unique<TStatusPanel>(this));
  PanelsChanged();
  return panels_.back().get();
}

TStatusPanel& TStatusBar::Panel(int index) {
  if (index < 0 || index >= PanelCount()) plat::RaiseListIndexError(index);
  return *panels_[index];
}

void TStatusBar::PanelsChanged() {
  if (!HandleAllocated()) return;
  HWND window = Handle();
  if (panels_.empty()) {
    int edge = -1;
    SendMessageA(window, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&edge));
    SendMessageA(window, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(""));
    return;
  }
  // Each panel ends where the widths of it and those before it add up.
  std::vector<int> edges;
  int edge = 0;
  for (auto& panel : panels_) edges.push_back(edge += panel->Width());
  SendMessageA(window, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  for (size_t i = 0; i < panels_.size(); ++i)
    SendMessageA(window, SB_SETTEXTA, i, reinterpret_cast<LPARAM>(panels_[i]->Text().c_str()));
}

// --- TProgressBar ---------------------------------------------------------------------

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 150, 16);
  captureMouse_ = false;
  clickEvents_ = false;
}

void TProgressBar::CreateParams(TCreateParams& params) {
  EnsureCommonControls();
  TWinControl::CreateParams(params);
  params.ClassName = PROGRESS_CLASSA;
}

void TProgressBar::WindowCreated() {
  SendMessageA(Handle(), PBM_SETRANGE32, 0, max_ > 0 ? max_ : 0);
  SendMessageA(Handle(), PBM_SETPOS, position_, 0);
}

void TProgressBar::SetMax(int max) {
  max_ = max;
  if (position_ > max_) position_ = max_ > 0 ? max_ : 0;
  if (HandleAllocated()) WindowCreated();
}

void TProgressBar::SetPosition(int position) {
  position_ = std::max(0, std::min(position, max_));
  if (HandleAllocated()) SendMessageA(Handle(), PBM_SETPOS, position_, 0);
}

}  // namespace ui
