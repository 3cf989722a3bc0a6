// Popup menus.
#pragma once
#include <string>
#include <vector>

#include "ui/Controls.h"

namespace ui {

class TPopupMenu;

class TMenuItem : public TComponent {
public:
  explicit TMenuItem(TComponent* owner) : TComponent(owner) {}
  ~TMenuItem() override;
  std::string Caption;
  TNotifyEvent OnClick;
  virtual void Click();

private:
  friend class TPopupMenu;
  TPopupMenu* menu_ = nullptr;
};

// A menu of items shown at a screen point; the chosen item's click runs after the menu has
// closed, before Popup returns.
class TPopupMenu : public TComponent {
public:
  explicit TPopupMenu(TComponent* owner) : TComponent(owner) {}
  ~TPopupMenu() override;

  void Add(TMenuItem* item);  // the menu does not own its items
  const std::vector<TMenuItem*>& Items() const { return items_; }
  void Popup(int x, int y);

private:
  friend class TMenuItem;
  std::vector<TMenuItem*> items_;
};

}  // namespace ui
