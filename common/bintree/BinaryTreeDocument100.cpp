// The binary tree document: nodes, child lists, value kinds, the version-100 reader and the
// path lookup. Deep trees are read, searched and destroyed without recursion.
#include "BinaryTreeDocument100.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "platform/ansi.h"
#include "platform/clock.h"
#include "platform/except.h"

namespace bintree {

namespace {

// The source named by the assertion error of this unit.
const char kSourceFile[] = "Common\\Binary Tree Document\\BinaryTreeDocument100";

#define BINTREE_ASSERT(cond) PLAT_ASSERT_AT(cond, kSourceFile, __LINE__)

[[noreturn]] void RaiseInvalidDocument() { throw plat::Exception("Invalid Binary Tree Document"); }

bool IsBlank(char16_t unit) { return unit <= 0x20; }

// Removes the units at or below U+0020 from both ends.
std::u16string Trim(const std::u16string& text) {
  size_t first = 0, last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

// Destroys node and its whole subtree without recursion: the last child first, each child
// after its own children, the node itself last.
void DestroySubtree(TBinTreeNode100* node, std::vector<TBinTreeNode100*>& pending);

}  // namespace

// --- TBinTreeNodeList100 ----------------------------------------------------------------

TBinTreeNodeList100::TBinTreeNodeList100(TBinTreeNode100* owner) : Owner_(owner) {
  BINTREE_ASSERT(owner != nullptr);
}

TBinTreeNodeList100::~TBinTreeNodeList100() = default;

int32_t TBinTreeNodeList100::Add(TBinTreeNode100* node) {
  BINTREE_ASSERT(node != nullptr);
  // Only a node whose parent is this list's owner can stand in it, so only then is the scan
  // needed; appending one child after another stays linear.
  if (node->Parent_ == Owner_) {
    int32_t index = IndexOf(node);
    if (index >= 0) return index;
  }
  int32_t index = Count();
  List_.push_back(node);
  if (node->Parent_ != Owner_) {
    if (node->Parent_ != nullptr) node->Parent_->Children_.Remove(node);
    node->Parent_ = Owner_;
  }
  return index;
}

int32_t TBinTreeNodeList100::Remove(TBinTreeNode100* node) {
  if (node == nullptr || node->Parent_ != Owner_) return -1;
  // A node stands at most once in a list, so the last occurrence is the first one; searching
  // from the end finds the usual case (the last child) at once.
  for (size_t i = List_.size(); i-- > 0;) {
    if (List_[i] == node) {
      List_.erase(List_.begin() + static_cast<std::ptrdiff_t>(i));
      node->Parent_ = nullptr;
      return static_cast<int32_t>(i);
    }
  }
  return -1;
}

void TBinTreeNodeList100::Clear() {
  if (List_.empty()) return;
  std::vector<TBinTreeNode100*> pending;
  int32_t index = Count() - 1;
  while (index >= 0) {
    DestroySubtree(List_[static_cast<size_t>(index)], pending);
    if (index >= Count()) {
      index = Count() - 1;
    } else {
      --index;
    }
  }
  List_.clear();
}

TBinTreeNode100* TBinTreeNodeList100::Items(int32_t index) const {
  if (index < 0 || index >= Count()) plat::RaiseListIndexError(index);
  return List_[static_cast<size_t>(index)];
}

int32_t TBinTreeNodeList100::IndexOf(const TBinTreeNode100* node) const {
  for (size_t i = 0; i < List_.size(); ++i) {
    if (List_[i] == node) return static_cast<int32_t>(i);
  }
  return -1;
}

namespace {

void DestroySubtree(TBinTreeNode100* node, std::vector<TBinTreeNode100*>& pending) {
  pending.clear();
  pending.push_back(node);
  while (!pending.empty()) {
    TBinTreeNode100* top = pending.back();
    TBinTreeNodeList100* children = top->Children();
    if (children->Count() > 0) {
      // Hand the children over to the work list (the last one ends on top) and empty the
      // node's list, so that its destructor has nothing left to do.
      for (int32_t i = 0; i < children->Count(); ++i) pending.push_back(children->Items(i));
      while (children->Count() > 0) {
        TBinTreeNode100* last = children->Items(children->Count() - 1);
        children->Remove(last);
      }
    } else {
      pending.pop_back();
      delete top;
    }
  }
}

}  // namespace

// --- TBinTreeNode100 --------------------------------------------------------------------

TBinTreeNode100::TBinTreeNode100(TBinTreeNode100* parent, const std::u16string& name)
    : Children_(this) {
  if (std::all_of(name.begin(), name.end(), IsBlank)) throw plat::Exception("Invalid NodeName");
  Name_ = name;
  SetParent(parent);
}

TBinTreeNode100::~TBinTreeNode100() { Children_.Clear(); }

void TBinTreeNode100::SetName(std::u16string_view newName) {
  // ASCII text stays as it is through every ANSI code page: only its carriage returns go.
  if (std::all_of(newName.begin(), newName.end(), [](char16_t u) { return u < 0x80 && u != u'\r'; })) {
    Name_.assign(newName);
    return;
  }
  std::string ansi = plat::WideToAnsi(newName);
  size_t out = 0;
  for (char c : ansi) {
    if (c != '\r') ansi[out++] = c;
  }
  ansi.resize(out);
  Name_ = plat::AnsiToWide(ansi);
}

void TBinTreeNode100::SetParent(TBinTreeNode100* newParent) {
  if (newParent == Parent_) return;
  if (Parent_ != nullptr) Parent_->Children_.Remove(this);
  Parent_ = newParent;
  // Its parent was another node, so the node does not stand in newParent's list yet.
  if (newParent != nullptr) newParent->Children_.AppendNew(this);
}

TDirectoryNode100::TDirectoryNode100(TBinTreeNode100* parent, const std::u16string& name)
    : TBinTreeNode100(parent, name) {
  SetKind(kDirectory);
}

// --- Fixed-width kinds ------------------------------------------------------------------

template <uint32_t Width>
TFixedValueNode100<Width>::TFixedValueNode100(TBinTreeNode100* parent, const std::u16string& name,
                                              int32_t kind)
    : TBinTreeNode100(parent, name) {
  SetKind(kind);
  ValueSize_ = Width;
}

template <uint32_t Width>
void TFixedValueNode100<Width>::ClearValue() {
  std::memset(Value_, 0, Width);
}

template <uint32_t Width>
void TFixedValueNode100<Width>::GetValue(void* dest) const {
  std::memcpy(dest, Value_, ValueSize_);
}

template <uint32_t Width>
void TFixedValueNode100<Width>::SetValue(const void* src, int32_t size) {
  BINTREE_ASSERT(size == static_cast<int32_t>(Width));
  std::memcpy(Value_, src, Width);
}

template class TFixedValueNode100<1>;
template class TFixedValueNode100<2>;
template class TFixedValueNode100<4>;
template class TFixedValueNode100<6>;
template class TFixedValueNode100<8>;
template class TFixedValueNode100<10>;
template class TFixedValueNode100<16>;

namespace {

// Days from 30 December 1899 to the given date of the proleptic Gregorian calendar.
int64_t DaysSince1899(int year, int month, int day) {
  // Days from 1 March of year 0, shifted so that the leap day ends the year.
  auto civil = [](int y, int m, int d) -> int64_t {
    y -= m <= 2;
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe;
  };
  return civil(year, month, day) - civil(1899, 12, 30);
}

}  // namespace

TDateTimeNode100::TDateTimeNode100(TBinTreeNode100* parent, const std::u16string& name)
    : TFixedValueNode100<8>(parent, name, kDateTime) {}

void TDateTimeNode100::ClearValue() {
  plat::LocalTime now = plat::GetLocalTime();
  double days = static_cast<double>(DaysSince1899(now.Year, now.Month, now.Day));
  double msecs = now.Hour * 3600000.0 + now.Minute * 60000.0 + now.Second * 1000.0 +
                 now.Milliseconds;
  double value = days + msecs / 86400000.0;
  std::memcpy(Value_, &value, sizeof value);
}

TTimeStampNode100::TTimeStampNode100(TBinTreeNode100* parent, const std::u16string& name)
    : TFixedValueNode100<8>(parent, name, kTimeStamp) {}

TGUIDNode100::TGUIDNode100(TBinTreeNode100* parent, const std::u16string& name)
    : TFixedValueNode100<16>(parent, name, kGUID) {}

// --- Variable kinds ---------------------------------------------------------------------

TVariableValueNode100::TVariableValueNode100(TBinTreeNode100* parent, const std::u16string& name,
                                             int32_t kind)
    : TBinTreeNode100(parent, name) {
  SetKind(kind);
}

TVariableValueNode100::~TVariableValueNode100() { TVariableValueNode100::ClearValue(); }

void TVariableValueNode100::ClearValue() {
  if (ValueSize_ == 0) return;
  delete[] Value_;
  Value_ = nullptr;
  ValueSize_ = 0;
}

void TVariableValueNode100::GetValue(void* dest) const {
  if (ValueSize_ != 0) std::memcpy(dest, Value_, ValueSize_);
}

void TVariableValueNode100::SetValue(const void* src, int32_t size) {
  if (size <= 0) return;
  StoreCopy(src, size);
}

void TVariableValueNode100::StoreCopy(const void* src, int32_t size) {
  ClearValue();
  uint8_t* block = new (std::nothrow) uint8_t[static_cast<size_t>(size)];
  // The old value is gone by now; the node stays empty.
  if (block == nullptr) throw plat::Exception("Out of memory");
  std::memcpy(block, src, static_cast<size_t>(size));
  Value_ = block;
  ValueSize_ = static_cast<uint32_t>(size);
}

TAnsiStringNode100::TAnsiStringNode100(TBinTreeNode100* parent, const std::u16string& name)
    : TVariableValueNode100(parent, name, kAnsiString) {}

TWideStringNode100::TWideStringNode100(TBinTreeNode100* parent, const std::u16string& name)
    : TVariableValueNode100(parent, name, kWideString) {}

TBinaryNode100::TBinaryNode100(TBinTreeNode100* parent, const std::u16string& name)
    : TVariableValueNode100(parent, name, kBinary) {}

void TBinaryNode100::SetValue(const void* src, int32_t size) {
  ClearValue();
  if (size <= 0) return;
  StoreCopy(src, size);
}

// --- Streams ----------------------------------------------------------------------------

void TStream::ReadBuffer(void* dest, int32_t count) {
  if (count != 0 && Read(dest, count) != count) throw plat::Exception("Stream read error");
}

void TMemoryStream::SetSize(size_t size) {
  if (size == Size_) return;
  std::unique_ptr<uint8_t[]> data(new uint8_t[size]);
  if (Size_ != 0 && size != 0) std::memcpy(data.get(), Data_.get(), std::min(size, Size_));
  Data_ = std::move(data);
  Size_ = size;
}

int32_t TMemoryStream::Read(void* dest, int32_t count) {
  int64_t size = GetSize();
  if (count <= 0 || Position_ < 0 || Position_ >= size) return 0;
  int64_t n = size - Position_;
  if (n > count) n = count;
  std::memcpy(dest, Data_.get() + Position_, static_cast<size_t>(n));
  Position_ += n;
  return static_cast<int32_t>(n);
}

// --- TBinaryTreeDocument100 -------------------------------------------------------------

namespace {

const size_t kHeaderSize = 24;
const uint32_t kNameAreaSize = 128;

// The 24-byte record header, as it lies in the file (little-endian).
struct TBinTreeNodeHeader100 {
  uint32_t Tag;
  uint8_t Kind;
  uint8_t Unused[3];
  uint32_t Attributes;
  int32_t ChildCount;
  uint32_t NameSize;
  uint32_t ValueSize;
};
static_assert(sizeof(TBinTreeNodeHeader100) == kHeaderSize, "record header layout");

// One pass over the image: the cursor and the bytes consumed advance together.
class Reader {
public:
  Reader(TBinaryTreeDocument100& doc, const uint8_t* buffer, int32_t size, TBinTreeNode100*& root)
      : Doc_(doc), Buffer_(buffer), Size_(size), Root_(root) {}

  int32_t ReadVersion() {
    int32_t version;
    std::memcpy(&version, Buffer_, sizeof version);
    Consumed_ += sizeof version;
    return version;
  }

  // Reads one record and creates its node under parent (as the new root without a parent).
  TBinTreeNode100* ReadNode(TBinTreeNode100* parent, int32_t& childCount) {
    if (Remaining() < kHeaderSize) RaiseInvalidDocument();
    TBinTreeNodeHeader100 header;
    std::memcpy(&header, Cursor(), kHeaderSize);
    Consumed_ += kHeaderSize;
    // The whole record must lie inside the image before anything of it is created.
    if (header.NameSize > kNameAreaSize ||
        static_cast<uint64_t>(header.NameSize) + header.ValueSize > Remaining()) {
      RaiseInvalidDocument();
    }

    TBinTreeNode100* node = Doc_.CreateNode(header.Kind, parent, u"NONAME");
    if (parent == nullptr) {
      TBinTreeNode100* previous = Root_;
      Root_ = node;
      delete previous;
    }
    node->SetTag(header.Tag);
    node->SetAttributes(header.Attributes);

    if (header.NameSize != 0) {
      char16_t area[kNameAreaSize / 2 + 1] = {};
      std::memcpy(area, Cursor(), header.NameSize);
      Consumed_ += header.NameSize;
      node->SetName(area);  // up to the first zero unit, at most 64 units
    }
    if (header.ValueSize != 0) {
      node->SetValue(Cursor(), static_cast<int32_t>(header.ValueSize));
      Consumed_ += header.ValueSize;
    }
    childCount = header.ChildCount;
    return node;
  }

  // Reads count children of parent, each followed by its own descendants, with an explicit
  // stack instead of recursion. Once fewer than 25 bytes remain, no level reads a further
  // record and the load ends quietly.
  void ReadChildren(TBinTreeNode100* parent, int32_t count) {
    struct Level {
      TBinTreeNode100* parent;
      int32_t remaining;
    };
    std::vector<Level> levels;
    auto enter = [&](TBinTreeNode100* node, int32_t children) {
      if (children <= 0) return;
      // Room for the children that the rest of the image can hold, at most.
      node->Children()->Reserve(static_cast<int32_t>(
          std::min<int64_t>(children, static_cast<int64_t>(Remaining()) / (kHeaderSize + 1))));
      levels.push_back({node, children});
    };
    enter(parent, count);
    while (!levels.empty()) {
      Level& level = levels.back();
      if (level.remaining <= 0) {
        levels.pop_back();
        continue;
      }
      if (static_cast<int64_t>(Consumed_) + static_cast<int64_t>(kHeaderSize) >= Size_) return;
      --level.remaining;
      int32_t childCount = 0;
      TBinTreeNode100* node = ReadNode(level.parent, childCount);
      enter(node, childCount);
    }
  }

private:
  size_t Remaining() const { return static_cast<size_t>(Size_) - Consumed_; }
  const uint8_t* Cursor() const { return Buffer_ + Consumed_; }

  TBinaryTreeDocument100& Doc_;
  const uint8_t* Buffer_;
  int32_t Size_;
  TBinTreeNode100*& Root_;
  size_t Consumed_ = 0;
};

}  // namespace

TBinaryTreeDocument100::TBinaryTreeDocument100() : Root_(new TDirectoryNode100(nullptr, u"ROOT")) {}

TBinaryTreeDocument100::~TBinaryTreeDocument100() { delete Root_; }

void TBinaryTreeDocument100::Clear() { Root_->Children()->Clear(); }

void TBinaryTreeDocument100::CheckImageSize(int64_t size) {
  if (size < 4 || size > std::numeric_limits<int32_t>::max()) RaiseInvalidDocument();
}

void TBinaryTreeDocument100::LoadFromStream(TStream& stream) {
  int64_t size = stream.GetSize();
  CheckImageSize(size);
  // A memory stream read from its start is loaded in place: the same bytes as a copy of it.
  auto* memory = dynamic_cast<TMemoryStream*>(&stream);
  if (memory && memory->Position() == 0) {
    memory->SetPosition(size);
    LoadFromBuffer(memory->Memory(), static_cast<int32_t>(size));
    return;
  }
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[static_cast<size_t>(size)]);
  if (!buffer) throw plat::Exception("Out of memory");
  stream.ReadBuffer(buffer.get(), static_cast<int32_t>(size));
  LoadFromBuffer(buffer.get(), static_cast<int32_t>(size));
}

void TBinaryTreeDocument100::LoadFromBuffer(const void* buffer, int32_t size) {
  if (size < 4 || buffer == nullptr) RaiseInvalidDocument();
  Clear();
  Reader reader(*this, static_cast<const uint8_t*>(buffer), size, Root_);
  int32_t version = reader.ReadVersion();
  if (version != 100) throw plat::Exception("Unknown Version");
  Version_ = version;
  int32_t childCount = 0;
  TBinTreeNode100* root = reader.ReadNode(nullptr, childCount);
  reader.ReadChildren(root, childCount);
}

TBinTreeNode100* TBinaryTreeDocument100::CreateNode(uint8_t kind, TBinTreeNode100* parent,
                                                    const std::u16string& name) {
  switch (kind) {
    case kDirectory: return new TDirectoryNode100(parent, name);
    case kAnsiChar: return new TAnsiCharNode100(parent, name);
    case kWideChar: return new TWideCharNode100(parent, name);
    case kAnsiString: return new TAnsiStringNode100(parent, name);
    case kWideString: return new TWideStringNode100(parent, name);
    case kInt8: return new TInt8Node100(parent, name);
    case kInt16: return new TInt16Node100(parent, name);
    case kInt32: return new TInt32Node100(parent, name);
    case kInt64: return new TInt64Node100(parent, name);
    case kUInt8: return new TUInt8Node100(parent, name);
    case kUInt16: return new TUInt16Node100(parent, name);
    case kUInt32: return new TUInt32Node100(parent, name);
    case kReal32: return new TReal32Node100(parent, name);
    case kReal48: return new TReal48Node100(parent, name);
    case kReal64: return new TReal64Node100(parent, name);
    case kReal80: return new TReal80Node100(parent, name);
    case kCurrency: return new TCurrencyNode100(parent, name);
    case kDateTime: return new TDateTimeNode100(parent, name);
    case kTimeStamp: return new TTimeStampNode100(parent, name);
    case kBool8: return new TBool8Node100(parent, name);
    case kBool16: return new TBool16Node100(parent, name);
    case kBool32: return new TBool32Node100(parent, name);
    case kGUID: return new TGUIDNode100(parent, name);
    case kBinary: return new TBinaryNode100(parent, name);
    default: throw plat::Exception("Invalid Node");
  }
}

TBinTreeNode100* TBinaryTreeDocument100::FindNode(const std::u16string& path) const {
  return FindChildNode(Root_->Children(), NormalizePath(Trim(path)));
}

std::u16string TBinaryTreeDocument100::NormalizePath(const std::u16string& path) {
  size_t first = 0, last = path.size();
  while (first < last && path[first] == u'\\') ++first;
  while (last > first && path[last - 1] == u'\\') --last;
  return path.substr(first, last - first);
}

TBinTreeNode100* TBinaryTreeDocument100::FindChildNode(const TBinTreeNodeList100* list,
                                                       const std::u16string& path) {
  // Each level searches one list for one segment; a level whose list is exhausted gives up and
  // its caller goes on with the next sibling (backtracking), without recursion.
  struct Level {
    const TBinTreeNodeList100* list;
    size_t headStart;
    int32_t next;
  };
  std::vector<Level> levels;
  levels.push_back({list, 0, 0});
  while (!levels.empty()) {
    Level& level = levels.back();
    size_t slash = path.find(u'\\', level.headStart);
    size_t headEnd = slash == std::u16string::npos ? path.size() : slash;
    size_t headLen = headEnd - level.headStart;
    if (level.next >= level.list->Count() || headLen == 0) {
      levels.pop_back();
      continue;
    }
    TBinTreeNode100* child = level.list->Items(level.next++);
    const std::u16string& name = child->Name();
    if (name.size() != headLen || path.compare(level.headStart, headLen, name) != 0) continue;
    if (slash == std::u16string::npos || slash + 1 == path.size()) return child;
    levels.push_back({child->Children(), slash + 1, 0});
  }
  return nullptr;
}

}  // namespace bintree
