#include <gtest/gtest.h>

#include "BinaryTreeDocument100.h"

using namespace bintree;

TEST(Nodes, CreatedUnderParentInOrder) {
  TDirectoryNode100 root(nullptr, u"root");
  auto* a = new TInt32Node100(&root, u"a");
  auto* b = new TDirectoryNode100(&root, u"b");
  ASSERT_EQ(root.Children()->Count(), 2);
  EXPECT_EQ(root.Children()->Items(0), a);
  EXPECT_EQ(root.Children()->Items(1), b);
  EXPECT_EQ(a->Parent(), &root);
}
