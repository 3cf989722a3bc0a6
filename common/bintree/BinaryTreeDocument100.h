// The binary tree document, format version 100: a tree of named, typed nodes (one directory
// kind and 23 value kinds), its reader and the lookup of a node by backslash path.
//
// Text is UTF-16 (char16_t). Failures are plat::Exception with a fixed message
// ("Invalid NodeName", "Invalid Binary Tree Document", "Unknown Version", "Invalid Node"),
// plat::EAssertionFailed for a failed check and plat::EListError for a list index out of range.
//
// Reading a node's value bytes safely (what a caller that does not know the kind may do):
//   - ValueSize() is the number of value bytes the node holds, for every kind.
//   - GetValue(dest) copies exactly ValueSize() bytes to dest (nothing for an empty or a
//     directory node); dest must hold at least ValueSize() bytes.
//   - GetData() is the node's own heap block of a variable kind (3 ANSI string, 4 wide string,
//     23 binary), ValueSize() bytes long; nullptr for an empty one AND for every other kind.
//   - GetValuePtr() is the inline value of a fixed-width kind (1, 2, 5 to 22), exactly
//     ValueSize() bytes (16 for the GUID kind); nullptr for the directory and variable kinds.
// So a caller reads N leading bytes in place only when ValueSize() >= N and the pointer it
// got is not nullptr. The pointers belong to the node and stay valid until the node's value
// changes or the node is destroyed (for a document: until its next load gets past the size
// test, or until the document is destroyed).
//
// Nothing here is thread-safe; callers serialise all access to one tree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace bintree {

// Kind codes, as a file record's Kind byte holds them.
enum : int32_t {
  kDirectory = 0, kAnsiChar = 1, kWideChar = 2, kAnsiString = 3, kWideString = 4,
  kInt8 = 5, kInt16 = 6, kInt32 = 7, kInt64 = 8, kUInt8 = 9, kUInt16 = 10, kUInt32 = 11,
  kReal32 = 12, kReal48 = 13, kReal64 = 14, kReal80 = 15, kCurrency = 16, kDateTime = 17,
  kTimeStamp = 18, kBool8 = 19, kBool16 = 20, kBool32 = 21, kGUID = 22, kBinary = 23,
  kLastKind = 23
};

class TBinTreeNode100;

// The children of one node, in order. Keeps every child's Parent equal to the list's Owner.
// The list owns its sequence, not the nodes; Clear destroys the nodes.
class TBinTreeNodeList100 {
public:
  // A missing owner raises the assertion error.
  explicit TBinTreeNodeList100(TBinTreeNode100* owner);
  ~TBinTreeNodeList100();  // frees the sequence only; the nodes stay
  TBinTreeNodeList100(const TBinTreeNodeList100&) = delete;
  TBinTreeNodeList100& operator=(const TBinTreeNodeList100&) = delete;

  TBinTreeNode100* Owner() const { return Owner_; }

  // Appends node (taking it out of its former parent's list) and returns its index; a node
  // the list already holds keeps its place and its index is returned.
  int32_t Add(TBinTreeNode100* node);
  // Takes node out of the list (it stays alive, without a parent); its former index, or -1.
  int32_t Remove(TBinTreeNode100* node);
  // Destroys every node with its subtree, last first, and empties the list.
  void Clear();
  int32_t Count() const { return static_cast<int32_t>(List_.size()); }
  // Raises EListError "List index out of bounds (<index>)" outside 0 .. Count() - 1.
  TBinTreeNode100* Items(int32_t index) const;
  // First index of node (by identity), or -1.
  int32_t IndexOf(const TBinTreeNode100* node) const;
  // Makes room for count entries in all, so that adding up to that many takes no further
  // allocation (the reader knows how many children a record announces).
  void Reserve(int32_t count) { List_.reserve(static_cast<size_t>(count)); }

private:
  friend class TBinTreeNode100;
  void AppendNew(TBinTreeNode100* node) { List_.push_back(node); }

  TBinTreeNode100* Owner_;
  std::vector<TBinTreeNode100*> List_;
};

// What every node has in common. Concrete kinds derive from it (see the classes below).
class TBinTreeNode100 {
public:
  // Raises "Invalid NodeName" when name is empty after trimming units <= U+0020 at both ends;
  // then no node exists and parent's list is unchanged. Otherwise the name is kept exactly as
  // passed and, with a parent, the node becomes its last child.
  TBinTreeNode100(TBinTreeNode100* parent, const std::u16string& name);
  // Destroys the subtree (last child first) and the value. Does not leave the parent's list:
  // destroy a node only through its parent's Clear, when it has no parent, or after Remove.
  virtual ~TBinTreeNode100();
  TBinTreeNode100(const TBinTreeNode100&) = delete;
  TBinTreeNode100& operator=(const TBinTreeNode100&) = delete;

  uint32_t Tag() const { return Tag_; }
  void SetTag(uint32_t tag) { Tag_ = tag; }
  const std::u16string& Name() const { return Name_; }
  TBinTreeNode100* Parent() const { return Parent_; }
  TBinTreeNodeList100* Children() { return &Children_; }
  const TBinTreeNodeList100* Children() const { return &Children_; }
  int32_t Kind() const { return Kind_; }
  uint32_t Attributes() const { return Attributes_; }
  void SetAttributes(uint32_t attributes) { Attributes_ = attributes; }
  uint32_t ValueSize() const { return ValueSize_; }

  // Stores the name after a round trip through the ANSI code page with every carriage
  // return removed. No validity check: an empty result is stored as it is.
  void SetName(std::u16string_view newName);
  // Moves the node to the end of newParent's children, or out of any list (nullptr).
  // newParent must be neither the node nor one of its descendants.
  void SetParent(TBinTreeNode100* newParent);

  virtual void ClearValue() {}
  virtual void GetValue(void* dest) const {}
  virtual void SetValue(const void* src, int32_t size) {}
  virtual const void* GetData() const { return nullptr; }
  virtual const void* GetValuePtr() const { return nullptr; }

protected:
  void SetKind(int32_t kind) { Kind_ = kind; }
  uint32_t ValueSize_ = 0;

private:
  friend class TBinTreeNodeList100;

  uint32_t Tag_ = 0;
  std::u16string Name_;
  TBinTreeNode100* Parent_ = nullptr;
  TBinTreeNodeList100 Children_;
  int32_t Kind_ = 0;
  uint32_t Attributes_ = 0;
};

// Code 0: no value; SetValue ignores its input, GetValue writes nothing.
class TDirectoryNode100 : public TBinTreeNode100 {
public:
  TDirectoryNode100(TBinTreeNode100* parent, const std::u16string& name);
};

// A value of fixed width held inline. SetValue with any other size raises the assertion
// error and keeps the old value.
template <uint32_t Width>
class TFixedValueNode100 : public TBinTreeNode100 {
public:
  TFixedValueNode100(TBinTreeNode100* parent, const std::u16string& name, int32_t kind);
  void ClearValue() override;  // all bytes 0
  void GetValue(void* dest) const override;
  void SetValue(const void* src, int32_t size) override;
  const void* GetValuePtr() const override { return Value_; }

protected:
  uint8_t Value_[Width] = {};
};

// A value of variable length held in one heap block of exactly ValueSize bytes (none when 0).
class TVariableValueNode100 : public TBinTreeNode100 {
public:
  TVariableValueNode100(TBinTreeNode100* parent, const std::u16string& name, int32_t kind);
  ~TVariableValueNode100() override;
  void ClearValue() override;  // releases the block; ValueSize 0
  void GetValue(void* dest) const override;
  // A size of 0 or less keeps the present value (the binary kind overrides this).
  void SetValue(const void* src, int32_t size) override;
  const void* GetData() const override { return Value_; }

protected:
  void StoreCopy(const void* src, int32_t size);
  uint8_t* Value_ = nullptr;
};

#define BINTREE_FIXED_NODE(cls, width, code)                    \
  class cls : public TFixedValueNode100<width> {                \
  public:                                                       \
    cls(TBinTreeNode100* parent, const std::u16string& name)    \
        : TFixedValueNode100<width>(parent, name, code) {}      \
  };

BINTREE_FIXED_NODE(TAnsiCharNode100, 1, kAnsiChar)
BINTREE_FIXED_NODE(TWideCharNode100, 2, kWideChar)
BINTREE_FIXED_NODE(TInt8Node100, 1, kInt8)
BINTREE_FIXED_NODE(TInt16Node100, 2, kInt16)
BINTREE_FIXED_NODE(TInt32Node100, 4, kInt32)
BINTREE_FIXED_NODE(TInt64Node100, 8, kInt64)
BINTREE_FIXED_NODE(TUInt8Node100, 1, kUInt8)
BINTREE_FIXED_NODE(TUInt16Node100, 2, kUInt16)
BINTREE_FIXED_NODE(TUInt32Node100, 4, kUInt32)
BINTREE_FIXED_NODE(TReal32Node100, 4, kReal32)
BINTREE_FIXED_NODE(TReal48Node100, 6, kReal48)
BINTREE_FIXED_NODE(TReal64Node100, 8, kReal64)
BINTREE_FIXED_NODE(TReal80Node100, 10, kReal80)
BINTREE_FIXED_NODE(TCurrencyNode100, 8, kCurrency)
BINTREE_FIXED_NODE(TBool8Node100, 1, kBool8)
BINTREE_FIXED_NODE(TBool16Node100, 2, kBool16)
BINTREE_FIXED_NODE(TBool32Node100, 4, kBool32)
#undef BINTREE_FIXED_NODE

// Days since 30 December 1899 plus the time of day as a fraction, as a double.
// ClearValue sets the current local date and time (platform clock), to the millisecond.
class TDateTimeNode100 : public TFixedValueNode100<8> {
public:
  TDateTimeNode100(TBinTreeNode100* parent, const std::u16string& name);
  void ClearValue() override;
};

// Milliseconds since midnight, then the day number (1 January of year 1 is day 1).
// ClearValue keeps the value.
class TTimeStampNode100 : public TFixedValueNode100<8> {
public:
  TTimeStampNode100(TBinTreeNode100* parent, const std::u16string& name);
  void ClearValue() override {}
};

// 16 GUID bytes. ClearValue keeps the value.
class TGUIDNode100 : public TFixedValueNode100<16> {
public:
  TGUIDNode100(TBinTreeNode100* parent, const std::u16string& name);
  void ClearValue() override {}
};

class TAnsiStringNode100 : public TVariableValueNode100 {
public:
  TAnsiStringNode100(TBinTreeNode100* parent, const std::u16string& name);
};

class TWideStringNode100 : public TVariableValueNode100 {
public:
  TWideStringNode100(TBinTreeNode100* parent, const std::u16string& name);
};

// Raw bytes; SetValue always releases the old block first, so a size of 0 or less empties it.
class TBinaryNode100 : public TVariableValueNode100 {
public:
  TBinaryNode100(TBinTreeNode100* parent, const std::u16string& name);
  void SetValue(const void* src, int32_t size) override;
};

// The byte source that LoadFromStream reads: its total size and reads from the position.
class TStream {
public:
  virtual ~TStream() = default;
  virtual int64_t GetSize() const = 0;
  // Copies up to count bytes from the position on, advances, returns the bytes copied.
  virtual int32_t Read(void* dest, int32_t count) = 0;
  // Reads exactly count bytes or raises "Stream read error".
  void ReadBuffer(void* dest, int32_t count);
};

// A stream over a block of memory that it owns.
class TMemoryStream : public TStream {
public:
  int64_t GetSize() const override { return static_cast<int64_t>(Size_); }
  int32_t Read(void* dest, int32_t count) override;
  // Keeps the leading bytes that both sizes hold; the bytes added are not initialised.
  void SetSize(size_t size);
  int64_t Position() const { return Position_; }
  void SetPosition(int64_t position) { Position_ = position; }
  uint8_t* Memory() { return Data_.get(); }

private:
  std::unique_ptr<uint8_t[]> Data_;
  size_t Size_ = 0;
  int64_t Position_ = 0;
};

// One tree read from a version-100 image. The document owns Root and through it the tree.
class TBinaryTreeDocument100 {
public:
  TBinaryTreeDocument100();  // Version 100; Root a directory named "ROOT"
  ~TBinaryTreeDocument100();
  TBinaryTreeDocument100(const TBinaryTreeDocument100&) = delete;
  TBinaryTreeDocument100& operator=(const TBinaryTreeDocument100&) = delete;

  int32_t Version() const { return Version_; }
  TBinTreeNode100* Root() const { return Root_; }

  // Destroys every child of Root; Root stays.
  void Clear();
  // Loads the whole content of the stream (read from its position). A size that
  // CheckImageSize refuses leaves the document unchanged.
  void LoadFromStream(TStream& stream);
  // Raises "Invalid Binary Tree Document" for an image size below 4 bytes or above what a
  // load can address (a signed 32-bit count).
  static void CheckImageSize(int64_t size);
  // Loads size bytes at buffer. Below 4 bytes: "Invalid Binary Tree Document" and the document
  // is unchanged; otherwise the tree is cleared first. The reader never reads past size bytes:
  // a record whose header, name or value does not fit, or whose name exceeds 128 bytes, raises
  // "Invalid Binary Tree Document" and leaves the nodes read before it. Nesting is read without
  // recursion, so its depth is bounded by the image alone.
  void LoadFromBuffer(const void* buffer, int32_t size);
  // The node class of the kind code under parent; a code above 23 raises "Invalid Node".
  TBinTreeNode100* CreateNode(uint8_t kind, TBinTreeNode100* parent, const std::u16string& name);
  // The node named by a backslash path below Root (Root itself is never matched), or nullptr.
  TBinTreeNode100* FindNode(const std::u16string& path) const;

  // The path without its leading and trailing backslashes.
  static std::u16string NormalizePath(const std::u16string& path);
  // The first node that path names below list, searching siblings of the same name in turn.
  static TBinTreeNode100* FindChildNode(const TBinTreeNodeList100* list, const std::u16string& path);

private:
  int32_t Version_ = 100;
  TBinTreeNode100* Root_ = nullptr;
};

}  // namespace bintree
