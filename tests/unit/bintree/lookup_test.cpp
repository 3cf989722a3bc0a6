// Path lookup below the root: trimming, backslashes, exact names and backtracking.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BinaryTreeDocument100.h"
#include "testsupport/BinTreeWriter.h"

using namespace bintree;
using namespace testsupport;

namespace {

class Lookup : public ::testing::Test {
protected:
  void SetUp() override {
    TreeNodeSpec spec = Dir(u"ROOTNAME", {
        Dir(u"Buttons", {Dir(u"Close", {Int32(u"Normal", 1)}), Int32(u"Leaf", 2)}),
        Dir(u"A"),
        Dir(u"A", {Int32(u"B", 3)}),
        Dir(u" Spaced", {Int32(u"x", 4)}),
        Dir(u"界面", {Int32(u"宽度", 5)}),
    });
    std::vector<uint8_t> image = WriteTree(spec);
    doc.LoadFromBuffer(image.data(), static_cast<int32_t>(image.size()));
    buttons = doc.Root()->Children()->Items(0);
    close = buttons->Children()->Items(0);
  }
  TBinaryTreeDocument100 doc;
  TBinTreeNode100* buttons = nullptr;
  TBinTreeNode100* close = nullptr;
};

}  // namespace

TEST_F(Lookup, LeadingAndTrailingBackslashesAndBlanksAreIgnored) {
  for (const char16_t* path : {u"Buttons\\Close", u"\\Buttons\\Close", u"\\\\\\Buttons\\Close\\\\",
                               u"  Buttons\\Close\t", u"\t\\Buttons\\Close\\ \r\n"}) {
    EXPECT_EQ(close, doc.FindNode(path)) << std::u16string(path).size();
  }
  EXPECT_EQ(u"Buttons\\\\Close", TBinaryTreeDocument100::NormalizePath(u"\\\\Buttons\\\\Close\\"));
  EXPECT_EQ(u"", TBinaryTreeDocument100::NormalizePath(u"\\\\\\"));
}

TEST_F(Lookup, EmptySegmentsAndEmptyPathsFindNothing) {
  EXPECT_EQ(nullptr, doc.FindNode(u"Buttons\\\\Close"));
  for (const char16_t* path : {u"", u"   ", u"\\", u"\\\\\\", u" \\ "}) {
    EXPECT_EQ(nullptr, doc.FindNode(path));
  }
  // Blanks after a backslash belong to the next name.
  EXPECT_EQ(nullptr, doc.FindNode(u"Buttons\\ Close"));
  EXPECT_NE(nullptr, doc.FindNode(u"\\ Spaced\\x"));
}

TEST_F(Lookup, NamesCompareExactly) {
  EXPECT_EQ(nullptr, doc.FindNode(u"buttons"));
  EXPECT_EQ(nullptr, doc.FindNode(u"Button"));
  EXPECT_EQ(nullptr, doc.FindNode(u"ButtonsX"));
  EXPECT_EQ(buttons, doc.FindNode(u"Buttons"));
  TBinTreeNode100* width = doc.FindNode(u"界面\\宽度");
  ASSERT_NE(nullptr, width);
  int32_t v = 0;
  width->GetValue(&v);
  EXPECT_EQ(5, v);
}

TEST_F(Lookup, TheRootItselfIsNeverMatched) {
  EXPECT_EQ(nullptr, doc.FindNode(u"ROOTNAME"));
  EXPECT_EQ(nullptr, doc.FindNode(u"ROOTNAME\\Buttons"));
  TBinaryTreeDocument100 fresh;
  EXPECT_EQ(nullptr, fresh.FindNode(u"ROOT"));
  new TDirectoryNode100(fresh.Root(), u"ROOT");
  EXPECT_EQ(fresh.Root()->Children()->Items(0), fresh.FindNode(u"ROOT"));
}

TEST_F(Lookup, SiblingsOfTheSameNameAreSearchedInTurn) {
  TBinTreeNode100* firstA = doc.Root()->Children()->Items(1);
  TBinTreeNode100* secondA = doc.Root()->Children()->Items(2);
  EXPECT_EQ(firstA, doc.FindNode(u"A"));
  EXPECT_EQ(secondA->Children()->Items(0), doc.FindNode(u"A\\B"));
  EXPECT_EQ(nullptr, doc.FindNode(u"A\\C"));
}

TEST_F(Lookup, InnerNodesAndDeadEnds) {
  EXPECT_EQ(buttons, doc.FindNode(u"\\Buttons\\"));
  EXPECT_EQ(nullptr, doc.FindNode(u"Buttons\\Leaf\\More"));
  EXPECT_EQ(nullptr, doc.FindNode(u"Buttons\\Close\\Normal\\Deeper"));
  EXPECT_EQ(close->Children()->Items(0), doc.FindNode(u"Buttons\\Close\\Normal"));
}

TEST(DeepLookup, LongPathsDoNotRecurse) {
  TBinaryTreeDocument100 doc;
  TBinTreeNode100* tail = doc.Root();
  std::u16string path;
  const int depth = 200000;
  for (int i = 0; i < depth; ++i) {
    tail = new TDirectoryNode100(tail, u"d");
    path += u"d\\";
  }
  EXPECT_EQ(tail, doc.FindNode(path));
  EXPECT_EQ(nullptr, doc.FindNode(path + u"d"));
}
