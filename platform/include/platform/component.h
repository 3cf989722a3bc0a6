// The component base: an owner that frees the components it owns, a component state with
// the designing and loading flags, and the loaded notification that ends streaming.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

enum TComponentStateFlag : unsigned {
  csLoading = 1u << 0,    // the component's properties are being streamed in
  csDesigning = 1u << 1,  // the component lives in a designer, not in a running program
};

class TComponent {
public:
  // With an owner, the new component is freed when its owner is freed (unless freed before).
  explicit TComponent(TComponent* owner);
  // Frees the owned components, the most recently inserted first, then leaves the owner.
  virtual ~TComponent();

  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const;  // EListError outside 0..count-1

  unsigned ComponentState() const { return state_; }
  bool IsDesigning() const { return (state_ & csDesigning) != 0; }
  bool IsLoading() const { return (state_ & csLoading) != 0; }
  // Marks this component and the ones it owns as designed (or not).
  void SetDesigning(bool value);
  // Streaming sets the loading flag first and calls Loaded when every property is in.
  void BeginLoading() { state_ |= csLoading; }
  virtual void Loaded();

  std::string Name;
  int32_t Tag = 0;

private:
  void Insert(TComponent* child);
  void Remove(TComponent* child);

  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  unsigned state_ = 0;
};

}  // namespace plat
