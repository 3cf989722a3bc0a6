// Labels, list boxes and push buttons.
#pragma once
#include <string>
#include <vector>

#include "ui/Controls.h"

namespace ui {

// A window-less caption; sized to its text unless AutoSize is switched off.
class TLabel : public TGraphicControl {
public:
  explicit TLabel(TComponent* owner);
  bool Transparent = false;
  bool AutoSize = true;
  void PaintTo(TCanvas& canvas) override;
  void CMTextChanged() override;
  void CMFontChanged() override;

private:
  void AdjustSize();
};

enum class TListBoxStyle { lbStandard, lbOwnerDrawVariable };
using TOwnerDrawState = unsigned;
constexpr TOwnerDrawState odSelected = ODS_SELECTED, odFocused = ODS_FOCUS,
                          odDisabled = ODS_DISABLED;
using TDrawItemEvent = std::function<void(TWinControl* control, int index, const RECT& rect,
                                          TOwnerDrawState state)>;

// The system list box. For an owner-drawn list the canvas is prepared with the list's font and
// brush (the highlight colours for a selected item) before OnDrawItem, and every row has
// ItemHeight pixels.
class TListBox : public TWinControl {
public:
  explicit TListBox(TComponent* owner);

  TListBoxStyle Style = TListBoxStyle::lbStandard;
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int height);
  const std::vector<std::string>& Items() const { return items_; }
  void AddItem(const std::string& text);
  int ItemIndex() const;  // -1 without a selection
  void SetItemIndex(int index);
  RECT ItemRect(int index) const;
  TCanvas& Canvas() { return canvas_; }

  TDrawItemEvent OnDrawItem;

protected:
  void CreateParams(TCreateParams& params) override;
  void WindowCreated() override;
  bool DrawItem(const DRAWITEMSTRUCT& item) override;
  bool MeasureItem(MEASUREITEMSTRUCT& item) override;

private:
  int itemHeight_ = 13;
  int itemIndex_ = -1;  // kept until the window exists
  std::vector<std::string> items_;
};

// The system push button; a click (mouse, space key, or a message) runs OnClick.
class TButton : public TWinControl {
public:
  explicit TButton(TComponent* owner);
  void Click() override;

protected:
  void CreateParams(TCreateParams& params) override;
  bool Notification(WORD code) override;
};

}  // namespace ui
