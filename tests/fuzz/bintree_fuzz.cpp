// Fuzz target: load an arbitrary image, then walk the tree, read every value and look nodes up
// by their own paths and by a path taken from the input.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "BinaryTreeDocument100.h"
#include "platform/except.h"

using namespace bintree;

namespace {

void CheckValue(const TBinTreeNode100* node) {
  std::vector<uint8_t> copy(node->ValueSize() + 1, 0xA5);
  node->GetValue(copy.data());
  if (copy.back() != 0xA5) __builtin_trap();  // wrote past ValueSize
  if (const void* data = node->GetData()) {
    if (std::memcmp(data, copy.data(), node->ValueSize()) != 0) __builtin_trap();
  }
  if (const void* inline_value = node->GetValuePtr()) {
    if (std::memcmp(inline_value, copy.data(), node->ValueSize()) != 0) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  TBinaryTreeDocument100 doc;
  try {
    doc.LoadFromBuffer(data, static_cast<int32_t>(size));
  } catch (const plat::Exception&) {
    // A failed load still leaves a consistent tree to walk.
  }

  // Walk the tree without recursion; look every node up by the path of its names.
  struct Item {
    const TBinTreeNode100* node;
    std::u16string path;
  };
  std::vector<Item> pending;
  for (int32_t i = 0; i < doc.Root()->Children()->Count(); ++i) {
    const TBinTreeNode100* child = doc.Root()->Children()->Items(i);
    pending.push_back({child, child->Name()});
  }
  CheckValue(doc.Root());
  size_t visited = 0;
  while (!pending.empty()) {
    Item item = std::move(pending.back());
    pending.pop_back();
    CheckValue(item.node);
    if (item.node->Parent() == nullptr) __builtin_trap();
    if (item.node->Parent()->Children()->IndexOf(item.node) < 0) __builtin_trap();
    if (++visited < 64) doc.FindNode(item.path);
    for (int32_t i = 0; i < item.node->Children()->Count(); ++i) {
      const TBinTreeNode100* child = item.node->Children()->Items(i);
      pending.push_back({child, item.path + u"\\" + child->Name()});
    }
  }

  // A path made of the input's trailing bytes.
  size_t units = (size < 64 ? size : 64) / 2;
  std::u16string path(units, u'\0');
  std::memcpy(&path[0], data + size - units * 2, units * 2);
  doc.FindNode(path);
  return 0;
}
