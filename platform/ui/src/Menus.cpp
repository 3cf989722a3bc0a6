#include "ui/Menus.h"

#include <algorithm>

#include "Internal.h"

namespace ui {

TMenuItem::~TMenuItem() {
  if (!menu_) return;
  auto& list = menu_->items_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TMenuItem::Click() {
  if (OnClick) OnClick(this);
}

TPopupMenu::~TPopupMenu() {
  for (TMenuItem* item : items_) item->menu_ = nullptr;
}

void TPopupMenu::Add(TMenuItem* item) {
  if (item->menu_) return;
  item->menu_ = this;
  items_.push_back(item);
}

void TPopupMenu::Popup(int x, int y) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  for (size_t i = 0; i < items_.size(); ++i)
    AppendMenuA(menu, MF_STRING, i + 1, items_[i]->Caption.c_str());
  // The menu's owner: a hidden top-level window of the calling thread that takes the
  // foreground, so that a click elsewhere closes the menu (a menu of the notification
  // area has no window of the program in front).
  HWND owner = MakeHiddenWindow("UiPopupMenu", DefWindowProcA, nullptr, true);
  SetForegroundWindow(owner);
  std::vector<TMenuItem*> items = items_;
  UINT command = static_cast<UINT>(TrackPopupMenu(
      menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr));
  DestroyMenu(menu);
  DestroyWindow(owner);
  // The item may have gone while the menu was open.
  if (command >= 1 && command <= items.size()) {
    TMenuItem* item = items[command - 1];
    if (std::find(items_.begin(), items_.end(), item) != items_.end()) item->Click();
  }
}

}  // namespace ui
