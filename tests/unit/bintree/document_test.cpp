// The document and its reader: the file format, damaged images, what a failed load leaves.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "BinaryTreeDocument100.h"
#include "platform/except.h"
#include "testsupport/BinTreeWriter.h"

using namespace bintree;
using namespace testsupport;

namespace {

std::string LoadError(TBinaryTreeDocument100& doc, const std::vector<uint8_t>& image) {
  try {
    doc.LoadFromBuffer(image.data(), static_cast<int32_t>(image.size()));
  } catch (const plat::Exception& e) {
    return e.Message();
  }
  return "";
}

void Load(TBinaryTreeDocument100& doc, const TreeNodeSpec& root) {
  ASSERT_EQ("", LoadError(doc, WriteTree(root)));
}

std::vector<std::u16string> ChildNames(const TBinTreeNode100* node) {
  std::vector<std::u16string> names;
  for (int32_t i = 0; i < node->Children()->Count(); ++i)
    names.push_back(node->Children()->Items(i)->Name());
  return names;
}

TreeNodeSpec Sample() {
  return Dir(u"Skin", {Dir(u"Buttons", {Int32(u"Width", 69), AnsiString(u"Caption", "确定")}),
                       Binary(u"Logo", {1, 2, 3})});
}

}  // namespace

TEST(Document, StartsWithAnEmptyRootDirectory) {
  TBinaryTreeDocument100 doc;
  EXPECT_EQ(100, doc.Version());
  ASSERT_NE(nullptr, doc.Root());
  EXPECT_EQ(u"ROOT", doc.Root()->Name());
  EXPECT_EQ(kDirectory, doc.Root()->Kind());
  EXPECT_EQ(nullptr, doc.Root()->Parent());
  EXPECT_EQ(0, doc.Root()->Children()->Count());
}

TEST(Reader, ReadsRecordsInPreOrderWithTheirFields) {
  TreeNodeSpec spec = Sample();
  spec.Tag = 0x11223344;
  spec.Attributes = 0xA5A5A5A5;
  spec.Children[0].Children[0].Tag = 7;
  spec.Children[0].Children[0].Attributes = 9;
  TBinaryTreeDocument100 doc;
  Load(doc, spec);

  TBinTreeNode100* root = doc.Root();
  EXPECT_EQ(u"Skin", root->Name());
  EXPECT_EQ(0x11223344u, root->Tag());
  EXPECT_EQ(0xA5A5A5A5u, root->Attributes());
  EXPECT_EQ((std::vector<std::u16string>{u"Buttons", u"Logo"}), ChildNames(root));
  TBinTreeNode100* buttons = root->Children()->Items(0);
  EXPECT_EQ((std::vector<std::u16string>{u"Width", u"Caption"}), ChildNames(buttons));

  TBinTreeNode100* width = buttons->Children()->Items(0);
  EXPECT_EQ(kInt32, width->Kind());
  EXPECT_EQ(7u, width->Tag());
  EXPECT_EQ(9u, width->Attributes());
  int32_t w = 0;
  width->GetValue(&w);
  EXPECT_EQ(69, w);

  TBinTreeNode100* caption = buttons->Children()->Items(1);
  ASSERT_EQ(4u, caption->ValueSize());
  EXPECT_EQ(0, std::memcmp("确定", caption->GetData(), 4));
  EXPECT_EQ(3u, root->Children()->Items(1)->ValueSize());
}

TEST(Reader, RootMayBeAnyKind) {
  TBinaryTreeDocument100 doc;
  Load(doc, Binary(u"blob", {5, 6, 7, 8}));
  EXPECT_EQ(kBinary, doc.Root()->Kind());
  EXPECT_EQ(u"blob", doc.Root()->Name());
  ASSERT_EQ(4u, doc.Root()->ValueSize());
  EXPECT_EQ(0, std::memcmp("\x05\x06\x07\x08", doc.Root()->GetData(), 4));
}

TEST(Reader, NamesAreDecodedThroughA128ByteArea) {
  TreeNodeSpec unnamed = Int32(u"", 1);
  TreeNodeSpec full = Int32(u"", 2);
  full.RawName = std::vector<uint8_t>(128, 'x');  // 64 units 0x7878, no zero unit
  TreeNodeSpec early = Int32(u"", 3);
  early.RawName = std::vector<uint8_t>{'A', 0, 'B', 0, 0, 0, 'C', 0};
  TreeNodeSpec odd = Int32(u"", 4);
  odd.RawName = std::vector<uint8_t>{'A', 0, 'B'};
  TreeNodeSpec cr = Int32(u"a\rb\r\n", 5);

  TBinaryTreeDocument100 doc;
  Load(doc, Dir(u"r", {unnamed, full, early, odd, cr, Int32(u"after", 6)}));
  std::vector<std::u16string> names = ChildNames(doc.Root());
  ASSERT_EQ(6u, names.size());
  EXPECT_EQ(u"NONAME", names[0]);
  EXPECT_EQ(std::u16string(64, u'\x7878'), names[1]);
  EXPECT_EQ(u"AB", names[2]);
  EXPECT_EQ(u"AB", names[3]);
  EXPECT_EQ(u"ab\n", names[4]);
  EXPECT_EQ(u"after", names[5]);  // every name advanced by its whole size
  int32_t v = 0;
  doc.Root()->Children()->Items(5)->GetValue(&v);
  EXPECT_EQ(6, v);
}

TEST(Reader, ChildCountsShapeTheTree) {
  TreeNodeSpec none = Dir(u"none");
  none.ChildCount = -1;
  TBinaryTreeDocument100 doc;
  Load(doc, Dir(u"r", {none, Int32(u"sibling", 1)}));
  EXPECT_EQ((std::vector<std::u16string>{u"none", u"sibling"}), ChildNames(doc.Root()));

  // More children announced than present: the load ends quietly with what was read.
  TreeNodeSpec greedy = Dir(u"r", {Int32(u"a", 1), Int32(u"b", 2)});
  greedy.ChildCount = 0x7FFFFFFF;
  Load(doc, greedy);
  EXPECT_EQ((std::vector<std::u16string>{u"a", u"b"}), ChildNames(doc.Root()));
}

TEST(Reader, ABareHeaderEndingTheImageIsNotRead) {
  TreeNodeSpec bare = Dir(u"");  // NameSize 0, ValueSize 0: 24 bytes
  TBinaryTreeDocument100 doc;
  Load(doc, Dir(u"r", {Int32(u"a", 1), bare}));
  EXPECT_EQ((std::vector<std::u16string>{u"a"}), ChildNames(doc.Root()));

  std::vector<uint8_t> image = WriteTree(Dir(u"r", {Int32(u"a", 1), bare}));
  image.push_back(0);  // one more byte: now 25 remain and the record is read
  ASSERT_EQ("", LoadError(doc, image));
  EXPECT_EQ((std::vector<std::u16string>{u"a", u"NONAME"}), ChildNames(doc.Root()));
}

TEST(Reader, DirectoryValuesAndUnusedBytesArePassedOver) {
  TreeNodeSpec dir = Value(kDirectory, u"d", {1, 2, 3, 4, 5, 6, 7, 8});
  dir.Children = {Int32(u"inner", 3)};
  std::vector<uint8_t> image = WriteTree(Dir(u"r", {dir, Int32(u"next", 4)}));
  image[4 + 5] = 0xFF;  // bytes 5 to 7 of the root header
  image[4 + 7] = 0x80;
  image.insert(image.end(), {0xDE, 0xAD, 0xBE, 0xEF, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14,
                             15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26});
  TBinaryTreeDocument100 doc;
  ASSERT_EQ("", LoadError(doc, image));
  EXPECT_EQ((std::vector<std::u16string>{u"d", u"next"}), ChildNames(doc.Root()));
  TBinTreeNode100* d = doc.Root()->Children()->Items(0);
  EXPECT_EQ(0u, d->ValueSize());
  EXPECT_EQ((std::vector<std::u16string>{u"inner"}), ChildNames(d));
}

TEST(Reader, ASecondLoadReplacesEverythingIncludingTheRoot) {
  TBinaryTreeDocument100 doc;
  Load(doc, Sample());
  Load(doc, Dir(u"Other", {Int32(u"x", 1)}));
  EXPECT_EQ(u"Other", doc.Root()->Name());
  EXPECT_EQ((std::vector<std::u16string>{u"x"}), ChildNames(doc.Root()));
  EXPECT_EQ(nullptr, doc.FindNode(u"Buttons"));
}

TEST(LoadFailures, TooShortImagesLeaveTheDocumentUnchanged) {
  TBinaryTreeDocument100 doc;
  Load(doc, Sample());
  TBinTreeNode100* root = doc.Root();
  std::vector<uint8_t> image = WriteTree(Sample());
  for (int32_t size : {0, 1, 3, -5}) {
    EXPECT_THROW(doc.LoadFromBuffer(image.data(), size), plat::Exception);
    EXPECT_EQ(root, doc.Root());
    EXPECT_EQ(2, doc.Root()->Children()->Count());
  }
  EXPECT_EQ("Invalid Binary Tree Document", LoadError(doc, {1, 0, 0}));
}

TEST(LoadFailures, UnknownVersionLeavesTheOldRootWithoutChildren) {
  TBinaryTreeDocument100 doc;
  Load(doc, Sample());
  TBinTreeNode100* root = doc.Root();
  EXPECT_EQ("Unknown Version", LoadError(doc, WriteTree(Sample(), 101)));
  EXPECT_EQ(100, doc.Version());
  EXPECT_EQ(root, doc.Root());
  EXPECT_EQ(u"Skin", doc.Root()->Name());
  EXPECT_EQ(0, doc.Root()->Children()->Count());
}

TEST(LoadFailures, InvalidKindCodes) {
  for (uint8_t kind : {uint8_t(24), uint8_t(255)}) {
    TBinaryTreeDocument100 doc;
    Load(doc, Sample());
    TBinTreeNode100* oldRoot = doc.Root();
    TreeNodeSpec badRoot = Sample();
    badRoot.Kind = kind;
    EXPECT_EQ("Invalid Node", LoadError(doc, WriteTree(badRoot)));
    EXPECT_EQ(oldRoot, doc.Root());
    EXPECT_EQ(0, doc.Root()->Children()->Count());

    TreeNodeSpec badChild = Dir(u"new", {Int32(u"a", 1), Value(kind, u"bad", {}), Int32(u"c", 3)});
    EXPECT_EQ("Invalid Node", LoadError(doc, WriteTree(badChild)));
    EXPECT_EQ(u"new", doc.Root()->Name());
    EXPECT_EQ((std::vector<std::u16string>{u"a"}), ChildNames(doc.Root()));
  }
}

TEST(LoadFailures, WrongFixedWidthKeepsTheFailingNodeWithoutItsValue) {
  TreeNodeSpec bad = Value(kInt32, u"short", {1, 2, 3});
  bad.Tag = 5;
  bad.Attributes = 6;
  std::vector<uint8_t> image = WriteTree(Dir(u"r", {Int32(u"a", 1), bad, Int32(u"c", 3)}));
  TBinaryTreeDocument100 doc;
  EXPECT_THROW(doc.LoadFromBuffer(image.data(), static_cast<int32_t>(image.size())),
               plat::EAssertionFailed);
  ASSERT_EQ((std::vector<std::u16string>{u"a", u"short"}), ChildNames(doc.Root()));
  TBinTreeNode100* node = doc.Root()->Children()->Items(1);
  EXPECT_EQ(5u, node->Tag());
  EXPECT_EQ(6u, node->Attributes());
  int32_t v = -1;
  node->GetValue(&v);
  EXPECT_EQ(0, v);
}

TEST(LoadFailures, RecordsRunningPastTheImageAreRejected) {
  TBinaryTreeDocument100 doc;
  // Version only, or a root header that does not fit: the old root stays, without children.
  Load(doc, Sample());
  std::vector<uint8_t> image = WriteTree(Dir(u"r"));
  for (size_t size : {size_t(4), size_t(27)}) {
    EXPECT_EQ("Invalid Binary Tree Document",
              LoadError(doc, std::vector<uint8_t>(image.begin(), image.begin() + size)));
    EXPECT_EQ(u"Skin", doc.Root()->Name());
    EXPECT_EQ(0, doc.Root()->Children()->Count());
  }

  // A child whose name or value reaches past the end: the nodes before it stay, it does not.
  TreeNodeSpec spec = Dir(u"r", {Int32(u"a", 1), Binary(u"big", std::vector<uint8_t>(100, 7))});
  std::vector<uint8_t> whole = WriteTree(spec);
  for (size_t cut : {size_t(1), size_t(99), size_t(100 + 2)}) {
    std::vector<uint8_t> truncated(whole.begin(), whole.end() - static_cast<std::ptrdiff_t>(cut));
    EXPECT_EQ("Invalid Binary Tree Document", LoadError(doc, truncated)) << cut;
    EXPECT_EQ((std::vector<std::u16string>{u"a"}), ChildNames(doc.Root())) << cut;
  }

  // Sizes chosen to wrap a 32-bit sum must not slip through either.
  TreeNodeSpec wrap = Dir(u"r", {Int32(u"a", 1), Binary(u"b", {1, 2, 3, 4})});
  std::vector<uint8_t> wrapped = WriteTree(wrap);
  size_t valueSizeAt = wrapped.size() - 4 - 2 - 4;  // the last record's ValueSize field
  wrapped[valueSizeAt + 3] = 0xFF;
  wrapped[valueSizeAt + 2] = 0xFF;
  wrapped[valueSizeAt + 1] = 0xFF;
  wrapped[valueSizeAt + 0] = 0xFE;
  EXPECT_EQ("Invalid Binary Tree Document", LoadError(doc, wrapped));
}

TEST(LoadFailures, NamesAbove128BytesAreRejected) {
  TreeNodeSpec longName = Int32(u"", 1);
  longName.RawName = std::vector<uint8_t>(130, 'y');
  TBinaryTreeDocument100 doc;
  EXPECT_EQ("Invalid Binary Tree Document",
            LoadError(doc, WriteTree(Dir(u"r", {Int32(u"a", 1), longName}))));
  EXPECT_EQ((std::vector<std::u16string>{u"a"}), ChildNames(doc.Root()));
}

TEST(Streams, LoadsTheWholeStreamAndRejectsShortOnes) {
  std::vector<uint8_t> image = WriteTree(Sample());
  TMemoryStream stream;
  stream.SetSize(image.size());
  std::memcpy(stream.Memory(), image.data(), image.size());
  TBinaryTreeDocument100 doc;
  doc.LoadFromStream(stream);
  EXPECT_EQ(u"Skin", doc.Root()->Name());
  EXPECT_EQ(2, doc.Root()->Children()->Count());

  // The stream is read from its position: one that cannot deliver its size fails unchanged.
  stream.SetPosition(1);
  try {
    doc.LoadFromStream(stream);
    FAIL();
  } catch (const plat::Exception& e) {
    EXPECT_EQ("Stream read error", e.Message());
  }
  EXPECT_EQ(2, doc.Root()->Children()->Count());

  TMemoryStream tiny;
  tiny.SetSize(3);
  try {
    doc.LoadFromStream(tiny);
    FAIL();
  } catch (const plat::Exception& e) {
    EXPECT_EQ("Invalid Binary Tree Document", e.Message());
  }
  EXPECT_EQ(2, doc.Root()->Children()->Count());
}

TEST(DeepNesting, AMillionNestedRecordsLoadAndAreDestroyed) {
  const int depth = 1000000;
  std::vector<uint8_t> image;
  AppendInt32(image, 100);
  for (int i = 0; i < depth; ++i) AppendRecord(image, kDirectory, u"n", nullptr, 0, 1);
  AppendRecord(image, kInt32, u"leaf", "\x2A\0\0\0", 4, 0);
  {
    TBinaryTreeDocument100 doc;
    ASSERT_EQ("", LoadError(doc, image));
    const TBinTreeNode100* node = doc.Root();
    int levels = 0;
    while (node->Children()->Count() == 1) {
      node = node->Children()->Items(0);
      ++levels;
    }
    EXPECT_EQ(depth, levels);
    EXPECT_EQ(u"leaf", node->Name());

    // The same image cut inside the last record fails cleanly and keeps the chain read so far.
    image.resize(image.size() - 2);
    EXPECT_EQ("Invalid Binary Tree Document", LoadError(doc, image));
  }
}
