// The component base: ownership, freeing order, designing and loading.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/component.h"
#include "platform/except.h"

namespace {

std::vector<std::string> g_freed;

class Probe : public plat::TComponent {
public:
  Probe(plat::TComponent* owner, std::string name) : plat::TComponent(owner) { Name = std::move(name); }
  ~Probe() override { g_freed.push_back(Name); }
  int loadedCalls = 0;
  void Loaded() override {
    plat::TComponent::Loaded();
    ++loadedCalls;
  }
};

TEST(Component, OwnerFreesItsComponentsNewestFirst) {
  g_freed.clear();
  auto* owner = new Probe(nullptr, "owner");
  new Probe(owner, "a");
  auto* b = new Probe(owner, "b");
  new Probe(b, "b1");
  new Probe(owner, "c");
  EXPECT_EQ(3, owner->ComponentCount());
  EXPECT_EQ(owner, b->Owner());
  delete owner;
  EXPECT_EQ((std::vector<std::string>{"owner", "c", "b", "b1", "a"}), g_freed);
}

TEST(Component, FreedComponentLeavesItsOwner) {
  g_freed.clear();
  Probe owner(nullptr, "owner");
  auto* a = new Probe(&owner, "a");
  new Probe(&owner, "b");
  delete a;
  EXPECT_EQ(1, owner.ComponentCount());
  EXPECT_EQ("b", owner.Components(0)->Name);
  EXPECT_THROW(owner.Components(1), plat::EListError);
}

TEST(Component, DesigningReachesOwnedComponentsAndLoadedEndsLoading) {
  Probe owner(nullptr, "owner");
  auto* a = new Probe(&owner, "a");
  owner.SetDesigning(true);
  EXPECT_TRUE(a->IsDesigning());
  auto* b = new Probe(&owner, "b");
  EXPECT_TRUE(b->IsDesigning());
  a->BeginLoading();
  EXPECT_TRUE(a->IsLoading());
  EXPECT_EQ(plat::csLoading | plat::csDesigning, a->ComponentState());
  a->Loaded();
  EXPECT_FALSE(a->IsLoading());
  EXPECT_EQ(1, a->loadedCalls);
}

}  // namespace
