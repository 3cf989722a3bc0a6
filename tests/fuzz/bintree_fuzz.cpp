// Fuzz target: Skinelle loads an arbitrary image as its skin and as its resource file, the way
// a host makes it (file, stream, document), with the file served from memory. Then every node
// of the skin is looked up by the path of its names through all ten lookup exports, and both
// documents once more by a path taken from the input. Checked: the tree's parent links, every value
// read, that a found node's name is the path's last segment, and that each lookup copies or
// hands out exactly the node's value and leaves its slots alone when it fails.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "BinaryTreeDocument100.h"
#include "Skinelle.h"
#include "platform/file.h"
#include "uResourceManage.h"
#include "uSkinManage.h"

using namespace bintree;

namespace {

#define CHECK(cond) \
  do {              \
    if (!(cond)) __builtin_trap(); \
  } while (0)

// The file that the loaders open: the input, read as the system would read it.
struct MemoryFile {
  const uint8_t* data = nullptr;
  uint32_t size = 0;
  uint32_t position = 0;
} file;

void ServeInputAsFile() {
  plat::FileCalls calls;
  calls.Open = [](const char16_t*) -> plat::FileHandle { return &file; };
  calls.Size = [](plat::FileHandle) { return int64_t{file.size}; };
  calls.Read = [](plat::FileHandle, void* buffer, uint32_t count, uint32_t& got) {
    got = count < file.size - file.position ? count : file.size - file.position;
    if (got) std::memcpy(buffer, file.data + file.position, got);
    file.position += got;
    return true;
  };
  calls.Close = [](plat::FileHandle) { file.position = 0; };
  plat::SetFileCalls(calls);
}

// The ten lookup exports of one document.
struct Lookups {
  decltype(&GetSkinBitmapByName) Bitmap, Stream, File;
  decltype(&GetSkinStringByName) String;
  decltype(&GetSkinInt32ByName) Int32;
  decltype(&GetSkinUInt32ByName) UInt32;
  decltype(&GetSkinFloatByName) Float;
  decltype(&GetSkinDoubleByName) Double;
  decltype(&GetSkinBoolByName) Bool;
  decltype(&GetSkinGUIDByName) Guid;
};
const Lookups kSkin = {GetSkinBitmapByName, GetSkinStreamByName, GetSkinFileByName,
                       GetSkinStringByName, GetSkinInt32ByName,  GetSkinUInt32ByName,
                       GetSkinFloatByName,  GetSkinDoubleByName, GetSkinBoolByName,
                       GetSkinGUIDByName};
const Lookups kRes = {GetResBitmapByName, GetResStreamByName, GetResFileByName,
                      GetResStringByName, GetResInt32ByName,  GetResUInt32ByName,
                      GetResFloatByName,  GetResDoubleByName, GetResBoolByName,
                      GetResGUIDByName};

void CheckValue(const TBinTreeNode100* node) {
  std::vector<uint8_t> copy(node->ValueSize() + 1, 0xA5);
  node->GetValue(copy.data());
  CHECK(copy.back() == 0xA5);  // wrote past ValueSize
  if (const void* data = node->GetData()) CHECK(std::memcmp(data, copy.data(), node->ValueSize()) == 0);
  if (const void* inline_value = node->GetValuePtr())
    CHECK(std::memcmp(inline_value, copy.data(), node->ValueSize()) == 0);
}

// The node's value bytes, as GetValue copies them.
std::vector<uint8_t> ValueOf(const TBinTreeNode100* node) {
  std::vector<uint8_t> value(node->ValueSize());
  if (!value.empty()) node->GetValue(value.data());
  return value;
}

// What a lookup of path must find: the path trimmed of blanks and backslashes at both ends;
// the found node's name is its last segment.
std::u16string LastSegment(const std::u16string& path) {
  size_t first = 0, last = path.size();
  while (first < last && path[first] <= u' ') ++first;
  while (last > first && path[last - 1] <= u' ') --last;
  std::u16string normal = TBinaryTreeDocument100::NormalizePath(path.substr(first, last - first));
  size_t cut = normal.rfind(u'\\');
  return cut == std::u16string::npos ? normal : normal.substr(cut + 1);
}

void CheckHeapLookup(decltype(&GetSkinBitmapByName) lookup, const SkinelleChar* path,
                     const TBinTreeNode100* node) {
  void* const untouched = &file;
  void* data = untouched;
  int32_t size = -7;
  int32_t result = lookup(path, &data, &size);
  const int32_t kind = node ? node->Kind() : -1;
  if (kind == kAnsiString || kind == kWideString || kind == kBinary) {
    CHECK(result == -1 && data == node->GetData() && size == static_cast<int32_t>(node->ValueSize()));
  } else {
    CHECK(result == 0 && data == untouched && size == -7);
  }
}

void CheckByteLookup(int32_t result, const uint8_t* slot, size_t count, const TBinTreeNode100* node) {
  if (node && node->ValueSize() >= count) {
    CHECK(result == -1 && std::memcmp(slot, ValueOf(node).data(), count) == 0);
  } else {
    CHECK(result == 0);
    for (size_t i = 0; i < count; ++i) CHECK(slot[i] == 0x5A);
  }
}

// Looks path up through every export of one document; node is what the document finds.
void CheckLookups(const Lookups& api, const TBinaryTreeDocument100& doc, const std::u16string& text) {
  const TBinTreeNode100* node = doc.FindNode(text);
  if (node) CHECK(node->Name() == LastSegment(text));
  const SkinelleChar* path = reinterpret_cast<const SkinelleChar*>(text.c_str());

  CheckHeapLookup(api.Bitmap, path, node);
  CheckHeapLookup(api.Stream, path, node);
  CheckHeapLookup(api.File, path, node);

  // The string lookup copies exactly ValueSize bytes into a buffer that holds them, and
  // nothing into one that is a byte short.
  const uint32_t n = node ? node->ValueSize() : 0;
  std::vector<uint8_t> buffer(n + 1, 0x5A);
  int32_t result = api.String(path, buffer.data(), n);
  CHECK(result == (node ? -1 : 0) && buffer[n] == 0x5A);
  if (n > 0) CHECK(std::memcmp(buffer.data(), ValueOf(node).data(), n) == 0);
  if (n > 0) {
    std::vector<uint8_t> shortBuffer(n, 0x5A);
    CHECK(api.String(path, shortBuffer.data(), n - 1) == 0);
    for (uint8_t b : shortBuffer) CHECK(b == 0x5A);
  }

  uint8_t slot[16];
  std::memset(slot, 0x5A, sizeof slot);
  CheckByteLookup(api.Int32(path, reinterpret_cast<int32_t*>(slot)), slot, 4, node);
  std::memset(slot, 0x5A, sizeof slot);
  CheckByteLookup(api.UInt32(path, reinterpret_cast<uint32_t*>(slot)), slot, 4, node);
  std::memset(slot, 0x5A, sizeof slot);
  CheckByteLookup(api.Float(path, reinterpret_cast<float*>(slot)), slot, 4, node);
  std::memset(slot, 0x5A, sizeof slot);
  CheckByteLookup(api.Bool(path, reinterpret_cast<SkinelleBool*>(slot)), slot, 4, node);
  std::memset(slot, 0x5A, sizeof slot);
  CheckByteLookup(api.Double(path, reinterpret_cast<double*>(slot)), slot, 8, node);
  std::memset(slot, 0x5A, sizeof slot);
  CheckByteLookup(api.Guid(path, slot), slot, 16, node);
}

// Walks the tree without recursion: parent links and values of every node, and the lookups
// of each by the path of its names.
void CheckDocument(const Lookups& api, const TBinaryTreeDocument100& doc) {
  struct Item {
    const TBinTreeNode100* node;
    std::u16string path;
  };
  std::vector<Item> pending;
  const TBinTreeNodeList100* top = doc.Root()->Children();
  for (int32_t i = 0; i < top->Count(); ++i) pending.push_back({top->Items(i), top->Items(i)->Name()});
  CheckValue(doc.Root());
  while (!pending.empty()) {
    Item item = std::move(pending.back());
    pending.pop_back();
    CheckValue(item.node);
    CHECK(item.node->Parent() != nullptr);
    CHECK(item.node->Parent()->Children()->IndexOf(item.node) >= 0);
    CheckLookups(api, doc, item.path);
    const TBinTreeNodeList100* children = item.node->Children();
    for (int32_t i = 0; i < children->Count(); ++i) {
      const TBinTreeNode100* child = children->Items(i);
      pending.push_back({child, item.path + u"\\" + child->Name()});
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  skinelle::InitializeSkinManage();
  skinelle::InitializeResourceManage();
  ServeInputAsFile();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  file = MemoryFile{data, static_cast<uint32_t>(size), 0};

  // A path made of the input's trailing bytes.
  size_t units = (size < 64 ? size : 64) / 2;
  std::u16string path(units, u'\0');
  if (units) std::memcpy(&path[0], data + size - units * 2, units * 2);
  path.resize(std::char_traits<char16_t>::length(path.c_str()));  // as a host's text ends

  const SkinelleChar name[] = {'x', 0};
  // A failed load still leaves a consistent tree to walk.
  LoadSkinFile(name);
  CheckDocument(kSkin, *skinelle::SkinDocument);
  CheckLookups(kSkin, *skinelle::SkinDocument, path);
  // The resource exports are the skin ones' twins: one lookup of each is enough.
  LoadResFile(name);
  CheckLookups(kRes, *skinelle::ResourceDocument, path);
  return 0;
}
