// Nodes and child lists: names, parent links, list operations and destruction.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BinaryTreeDocument100.h"
#include "platform/except.h"

using namespace bintree;

namespace {

// A directory node that records its destruction.
class LoggedNode : public TDirectoryNode100 {
public:
  LoggedNode(TBinTreeNode100* parent, const std::u16string& name, std::vector<std::u16string>* log)
      : TDirectoryNode100(parent, name), Log(log) {}
  ~LoggedNode() override { Log->push_back(Name()); }
  std::vector<std::u16string>* Log;
};

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const plat::Exception& e) {
    return e.Message();
  }
  return "(no exception)";
}

}  // namespace

TEST(NodeNames, BlankNamesAreRejectedAndLeaveTheParentAlone) {
  TDirectoryNode100 root(nullptr, u"root");
  new TDirectoryNode100(&root, u"first");
  for (const std::u16string& name :
       {std::u16string(), std::u16string(u"   "), std::u16string(u"\t\r\n"),
        std::u16string(u" \0 ", 3), std::u16string(u"\x1F\x20")}) {
    EXPECT_EQ("Invalid NodeName", MessageOf([&] { new TInt32Node100(&root, name); }));
    ASSERT_EQ(1, root.Children()->Count());
    EXPECT_EQ(u"first", root.Children()->Items(0)->Name());
  }
}

TEST(NodeNames, NameIsKeptAsPassedAndFieldsStartAtZero) {
  TInt32Node100 node(nullptr, u" a b ");
  EXPECT_EQ(u" a b ", node.Name());
  EXPECT_EQ(0u, node.Tag());
  EXPECT_EQ(0u, node.Attributes());
  EXPECT_EQ(nullptr, node.Parent());
  EXPECT_EQ(0, node.Children()->Count());
  EXPECT_EQ(&node, node.Children()->Owner());
}

TEST(NodeNames, SetNameDropsCarriageReturnsOnly) {
  TDirectoryNode100 node(nullptr, u"x");
  node.SetName(u"a\rb\r\n");
  EXPECT_EQ(u"ab\n", node.Name());
  node.SetName(u"");
  EXPECT_EQ(u"", node.Name());
  node.SetName(u"\r\r");
  EXPECT_EQ(u"", node.Name());
}

TEST(NodeNames, SetNameGoesThroughTheAnsiCodePage) {
  TDirectoryNode100 node(nullptr, u"x");
  node.SetName(u"按钮\r关闭");
  EXPECT_EQ(u"按钮关闭", node.Name());
  node.SetName(u"a\u0E01b");  // no code in page 936: the default character
  EXPECT_EQ(u"a?b", node.Name());
  node.SetName(u"a\u00C0b");  // no code either; not the look-alike small letter
  EXPECT_EQ(u"a?b", node.Name());
}

TEST(ParentLinks, ChildrenStandInCreationOrder) {
  TDirectoryNode100 root(nullptr, u"root");
  TBinTreeNode100* made[3];
  for (auto& n : made) n = new TInt32Node100(&root, u"n");
  ASSERT_EQ(3, root.Children()->Count());
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(made[i], root.Children()->Items(i));
    EXPECT_EQ(&root, made[i]->Parent());
    EXPECT_EQ(i, root.Children()->IndexOf(made[i]));
  }
}

TEST(ParentLinks, SetParentMovesBetweenListsAndOut) {
  TDirectoryNode100 p(nullptr, u"p"), q(nullptr, u"q");
  TBinTreeNode100* a = new TDirectoryNode100(&p, u"a");
  TBinTreeNode100* b = new TDirectoryNode100(&p, u"b");
  TBinTreeNode100* c = new TDirectoryNode100(&p, u"c");
  new TDirectoryNode100(&q, u"z");

  a->SetParent(&p);  // the present parent: not even its position changes
  EXPECT_EQ(0, p.Children()->IndexOf(a));

  a->SetParent(&q);
  ASSERT_EQ(2, p.Children()->Count());
  EXPECT_EQ(b, p.Children()->Items(0));
  EXPECT_EQ(c, p.Children()->Items(1));
  EXPECT_EQ(1, q.Children()->IndexOf(a));
  EXPECT_EQ(&q, a->Parent());

  std::unique_ptr<TBinTreeNode100> detached(b);
  b->SetParent(nullptr);
  EXPECT_EQ(nullptr, b->Parent());
  EXPECT_EQ(-1, p.Children()->IndexOf(b));
  EXPECT_EQ(1, p.Children()->Count());
}

TEST(ChildList, AddKeepsOneEntryPerNode) {
  TDirectoryNode100 p(nullptr, u"p"), q(nullptr, u"q");
  TBinTreeNode100* a = new TDirectoryNode100(&p, u"a");
  TBinTreeNode100* b = new TDirectoryNode100(&p, u"b");
  new TDirectoryNode100(&q, u"y");

  EXPECT_EQ(0, p.Children()->Add(a));
  EXPECT_EQ(2, p.Children()->Count());
  EXPECT_EQ(a, p.Children()->Items(0));

  EXPECT_EQ(1, q.Children()->Add(a));  // the new last index
  EXPECT_EQ(&q, a->Parent());
  ASSERT_EQ(1, p.Children()->Count());
  EXPECT_EQ(b, p.Children()->Items(0));
  EXPECT_EQ(-1, p.Children()->IndexOf(a));

  std::unique_ptr<TBinTreeNode100> loose(new TDirectoryNode100(nullptr, u"loose"));
  EXPECT_EQ(1, p.Children()->Add(loose.get()));
  EXPECT_EQ(&p, loose->Parent());
  p.Children()->Remove(loose.get());

  EXPECT_THROW(p.Children()->Add(nullptr), plat::EAssertionFailed);
  EXPECT_EQ(1, p.Children()->Count());
}

TEST(ChildList, RemoveReturnsTheFormerIndexOnce) {
  TDirectoryNode100 p(nullptr, u"p"), other(nullptr, u"o");
  new TDirectoryNode100(&p, u"a");
  TBinTreeNode100* b = new TDirectoryNode100(&p, u"b");
  TBinTreeNode100* c = new TDirectoryNode100(&p, u"c");
  TBinTreeNode100* elsewhere = new TDirectoryNode100(&other, u"e");

  std::unique_ptr<TBinTreeNode100> removed(b);
  EXPECT_EQ(1, p.Children()->Remove(b));
  EXPECT_EQ(nullptr, b->Parent());
  EXPECT_EQ(c, p.Children()->Items(1));
  EXPECT_EQ(-1, p.Children()->Remove(b));
  EXPECT_EQ(-1, p.Children()->Remove(elsewhere));
  EXPECT_EQ(&other, elsewhere->Parent());
  EXPECT_EQ(-1, p.Children()->Remove(nullptr));
  EXPECT_EQ(2, p.Children()->Count());
}

TEST(ChildList, ItemsOutsideTheListRaiseTheIndexError) {
  TDirectoryNode100 p(nullptr, u"p");
  new TDirectoryNode100(&p, u"a");
  EXPECT_EQ("List index out of bounds (1)", MessageOf([&] { p.Children()->Items(1); }));
  EXPECT_EQ("List index out of bounds (-1)", MessageOf([&] { p.Children()->Items(-1); }));
  EXPECT_THROW(p.Children()->Items(7), plat::EListError);
}

TEST(ChildList, ListWithoutOwnerRaisesTheAssertionError) {
  std::string message = MessageOf([] { TBinTreeNodeList100 list(nullptr); });
  EXPECT_EQ(0u, message.rfind(
                    "Assertion failure (Common\\Binary Tree Document\\BinaryTreeDocument100, line ",
                    0))
      << message;
  EXPECT_THROW(TBinTreeNodeList100(nullptr), plat::EAssertionFailed);
}

TEST(Destruction, ClearDestroysLastFirstAndSubtreesBeforeTheirNode) {
  std::vector<std::u16string> log;
  TDirectoryNode100 root(nullptr, u"root");
  root.Children()->Clear();  // empty: nothing happens
  auto* a = new LoggedNode(&root, u"a", &log);
  new LoggedNode(a, u"a1", &log);
  new LoggedNode(a, u"a2", &log);
  new LoggedNode(&root, u"b", &log);
  auto* c = new LoggedNode(&root, u"c", &log);
  new LoggedNode(new LoggedNode(c, u"c1", &log), u"c11", &log);

  root.Children()->Clear();
  EXPECT_EQ(0, root.Children()->Count());
  std::vector<std::u16string> expected = {u"c11", u"c1", u"c", u"b", u"a2", u"a1", u"a"};
  EXPECT_EQ(expected, log);
}

TEST(Destruction, DeletingANodeDestroysItsWholeSubtreeWithValues) {
  std::vector<std::u16string> log;
  auto* top = new LoggedNode(nullptr, u"top", &log);
  auto* mid = new LoggedNode(top, u"mid", &log);
  auto* bin = new TBinaryNode100(mid, u"bin");
  bin->SetValue("12345", 5);
  new LoggedNode(bin, u"under-value", &log);
  new LoggedNode(mid, u"mid2", &log);
  new LoggedNode(top, u"last", &log);
  delete top;  // the sanitizer build reports any block left behind, bin's value among them
  // The deleted node's own destructor body runs before its children go; below it, the last
  // child goes first and every subtree before its node.
  std::vector<std::u16string> expected = {u"top", u"last", u"mid2", u"under-value", u"mid"};
  EXPECT_EQ(expected, log);
}

TEST(Destruction, AVeryDeepChainIsDestroyedWithoutRecursion) {
  auto* top = new TDirectoryNode100(nullptr, u"0");
  TBinTreeNode100* tail = top;
  for (int i = 0; i < 300000; ++i) tail = new TDirectoryNode100(tail, u"n");
  delete top;
}
