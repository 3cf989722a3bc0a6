#include "ui/StdCtrls.h"

#include "Internal.h"

namespace ui {

// --- TLabel ---------------------------------------------------------------------------

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {}

void TLabel::AdjustSize() {
  if (!AutoSize) return;
  HDC dc = GetDC(nullptr);
  TCanvas canvas;
  canvas.SetHandle(dc);
  canvas.Font().Assign(Font());
  RECT r = {0, 0, 0, 0};
  canvas.DrawText(Caption().empty() ? std::string(" ") : Caption(), r, DT_CALCRECT | DT_NOPREFIX);
  canvas.SetHandle(nullptr);
  ReleaseDC(nullptr, dc);
  SetBounds(Left(), Top(), r.right, r.bottom);
}

void TLabel::CMTextChanged() {
  AdjustSize();
  Invalidate();
}

void TLabel::CMFontChanged() {
  AdjustSize();
  Invalidate();
}

void TLabel::PaintTo(TCanvas& canvas) {
  RECT r = ClientRect();
  if (!Transparent) {
    canvas.Brush().Color = Color();
    canvas.FillRect(r);
  }
  canvas.Brush().Style = TBrushStyle::bsClear;
  canvas.Font().Assign(Font());
  canvas.DrawText(Caption(), r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

// --- TListBox -------------------------------------------------------------------------

TListBox::TListBox(TComponent* owner) : TWinControl(owner) {
  SetColor(clWindow);
  TabStop = true;
  captureMouse_ = false;  // the system list tracks the mouse itself
  clickEvents_ = false;
}

void TListBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.ClassName = "LISTBOX";
  params.Style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
  if (Style == TListBoxStyle::lbOwnerDrawVariable) params.Style |= LBS_OWNERDRAWVARIABLE;
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListBox::WindowCreated() {
  HWND w = Handle();
  for (const std::string& item : items_) SendMessageA(w, LB_ADDSTRING, 0,
                                                      reinterpret_cast<LPARAM>(item.c_str()));
  if (itemIndex_ >= 0) SendMessageA(w, LB_SETCURSEL, itemIndex_, 0);
}

void TListBox::SetItemHeight(int height) {
  if (height <= 0) return;
  itemHeight_ = height;
  if (HandleAllocated() && Style != TListBoxStyle::lbOwnerDrawVariable)
    SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, height);
}

void TListBox::AddItem(const std::string& text) {
  items_.push_back(text);
  if (HandleAllocated())
    SendMessageA(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int TListBox::ItemIndex() const {
  if (!HandleAllocated()) return itemIndex_;
  return static_cast<int>(
      SendMessageA(const_cast<TListBox*>(this)->Handle(), LB_GETCURSEL, 0, 0));
}

void TListBox::SetItemIndex(int index) {
  itemIndex_ = index;
  if (HandleAllocated()) SendMessageA(Handle(), LB_SETCURSEL, index, 0);
}

RECT TListBox::ItemRect(int index) const {
  RECT r = {0, 0, 0, 0};
  if (HandleAllocated())
    SendMessageA(const_cast<TListBox*>(this)->Handle(), LB_GETITEMRECT, index,
                 reinterpret_cast<LPARAM>(&r));
  return r;
}

bool TListBox::MeasureItem(MEASUREITEMSTRUCT& item) {
  item.itemHeight = itemHeight_;
  return true;
}

bool TListBox::DrawItem(const DRAWITEMSTRUCT& item) {
  TOwnerDrawState state = item.itemState;
  int index = static_cast<int>(item.itemID);
  CanvasAttachment attached(canvas_, item.hDC);
  canvas_.Font().Assign(Font());
  canvas_.Brush().Color = Color();
  canvas_.Brush().Style = TBrushStyle::bsSolid;
  if (index >= 0 && (state & odSelected)) {
    canvas_.Brush().Color = clHighlight;
    canvas_.Font().SetColor(clHighlightText);
  }
  if (index >= 0 && index < static_cast<int>(items_.size())) {
    if (OnDrawItem) {
      OnDrawItem(this, index, item.rcItem, state);
    } else {
      canvas_.FillRect(item.rcItem);
      canvas_.TextOut(item.rcItem.left + 2, item.rcItem.top, items_[index]);
    }
  } else {
    canvas_.FillRect(item.rcItem);
  }
  // The list's own focus frame, drawn after the handler on the same rectangle.
  if (state & odFocused) canvas_.DrawFocusRect(item.rcItem);
  return true;
}

}  // namespace ui

namespace ui {

// --- TButton --------------------------------------------------------------------------

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 75, 25);
  TabStop = true;
  captureMouse_ = false;  // the system button tracks the mouse and reports the click
  clickEvents_ = false;
}

void TButton::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.ClassName = "BUTTON";
  params.Style |= WS_TABSTOP | BS_PUSHBUTTON;
}

bool TButton::Notification(WORD code) {
  if (code != BN_CLICKED) return false;
  Click();
  return true;
}

void TButton::Click() { TWinControl::Click(); }

}  // namespace ui
