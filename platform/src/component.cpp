// The component base shared by every component of the suite.
#include "platform/component.h"

#include <algorithm>

#include "platform/except.h"

namespace plat {

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->Insert(this);
}

TComponent::~TComponent() {
  while (!components_.empty()) {
    TComponent* last = components_.back();
    Remove(last);
    delete last;
  }
  if (owner_) owner_->Remove(this);
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) RaiseListIndexError(index);
  return components_[static_cast<size_t>(index)];
}

void TComponent::SetDesigning(bool value) {
  if (value)
    state_ |= csDesigning;
  else
    state_ &= ~static_cast<unsigned>(csDesigning);
  for (TComponent* child : components_) child->SetDesigning(value);
}

void TComponent::Loaded() { state_ &= ~static_cast<unsigned>(csLoading); }

void TComponent::Insert(TComponent* child) {
  components_.push_back(child);
  child->owner_ = this;
  if (IsDesigning()) child->SetDesigning(true);
}

void TComponent::Remove(TComponent* child) {
  auto it = std::find(components_.begin(), components_.end(), child);
  if (it != components_.end()) components_.erase(it);
  child->owner_ = nullptr;
}

}  // namespace plat
