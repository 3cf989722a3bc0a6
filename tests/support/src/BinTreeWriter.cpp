#include "testsupport/BinTreeWriter.h"

#include <cstdio>
#include <cstring>

namespace testsupport {

namespace {

enum : uint8_t { kDir = 0, kWideString = 4, kInt64 = 8, kUInt32 = 11, kInt32 = 7, kReal32 = 12,
                 kAnsiString = 3, kReal64 = 14, kBool32 = 21, kGuid = 22, kBinary = 23 };

void AppendBytes(std::vector<uint8_t>& image, const void* data, size_t size) {
  if (size == 0) return;
  const uint8_t* p = static_cast<const uint8_t*>(data);
  image.insert(image.end(), p, p + size);
}

void AppendUInt32(std::vector<uint8_t>& image, uint32_t v) {
  for (int i = 0; i < 4; ++i) image.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void AppendHeader(std::vector<uint8_t>& image, uint32_t tag, uint8_t kind, uint32_t attributes,
                  int32_t childCount, uint32_t nameSize, uint32_t valueSize) {
  AppendUInt32(image, tag);
  image.push_back(kind);
  image.insert(image.end(), 3, 0);
  AppendUInt32(image, attributes);
  AppendUInt32(image, static_cast<uint32_t>(childCount));
  AppendUInt32(image, nameSize);
  AppendUInt32(image, valueSize);
}

std::vector<uint8_t> Utf16LeBytes(const std::u16string& name) {
  std::vector<uint8_t> out;
  out.reserve(name.size() * 2);
  for (char16_t u : name) {
    out.push_back(static_cast<uint8_t>(u & 0xFF));
    out.push_back(static_cast<uint8_t>(u >> 8));
  }
  return out;
}

void AppendSpec(std::vector<uint8_t>& image, const TreeNodeSpec& node) {
  std::vector<uint8_t> name = node.RawName ? *node.RawName : Utf16LeBytes(node.Name);
  int32_t count = node.ChildCount ? *node.ChildCount : static_cast<int32_t>(node.Children.size());
  AppendHeader(image, node.Tag, node.Kind, node.Attributes, count,
               static_cast<uint32_t>(name.size()), static_cast<uint32_t>(node.Value.size()));
  AppendBytes(image, name.data(), name.size());
  AppendBytes(image, node.Value.data(), node.Value.size());
  for (const TreeNodeSpec& child : node.Children) AppendSpec(image, child);
}

template <typename T>
TreeNodeSpec Scalar(uint8_t kind, std::u16string name, T v) {
  std::vector<uint8_t> bytes(sizeof v);
  std::memcpy(bytes.data(), &v, sizeof v);  // both targets are little-endian
  return Value(kind, std::move(name), std::move(bytes));
}

}  // namespace

void AppendInt32(std::vector<uint8_t>& image, int32_t value) {
  AppendUInt32(image, static_cast<uint32_t>(value));
}

void AppendRecord(std::vector<uint8_t>& image, uint8_t kind, const std::u16string& name,
                  const void* value, uint32_t valueSize, int32_t childCount, uint32_t tag,
                  uint32_t attributes) {
  std::vector<uint8_t> nameBytes = Utf16LeBytes(name);
  AppendHeader(image, tag, kind, attributes, childCount, static_cast<uint32_t>(nameBytes.size()),
               valueSize);
  AppendBytes(image, nameBytes.data(), nameBytes.size());
  AppendBytes(image, value, valueSize);
}

std::vector<uint8_t> WriteTree(const TreeNodeSpec& root, int32_t version) {
  std::vector<uint8_t> image;
  AppendInt32(image, version);
  AppendSpec(image, root);
  return image;
}

bool WriteTreeFile(const std::string& path, const TreeNodeSpec& root, int32_t version) {
  std::vector<uint8_t> image = WriteTree(root, version);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(image.data(), 1, image.size(), f) == image.size();
  return std::fclose(f) == 0 && ok;
}

TreeNodeSpec Dir(std::u16string name, std::vector<TreeNodeSpec> children) {
  TreeNodeSpec spec;
  spec.Kind = kDir;
  spec.Name = std::move(name);
  spec.Children = std::move(children);
  return spec;
}

TreeNodeSpec Value(uint8_t kind, std::u16string name, std::vector<uint8_t> bytes) {
  TreeNodeSpec spec;
  spec.Kind = kind;
  spec.Name = std::move(name);
  spec.Value = std::move(bytes);
  return spec;
}

TreeNodeSpec Int32(std::u16string name, int32_t v) { return Scalar(kInt32, std::move(name), v); }
TreeNodeSpec UInt32(std::u16string name, uint32_t v) { return Scalar(kUInt32, std::move(name), v); }
TreeNodeSpec Real32(std::u16string name, float v) { return Scalar(kReal32, std::move(name), v); }
TreeNodeSpec Real64(std::u16string name, double v) { return Scalar(kReal64, std::move(name), v); }
TreeNodeSpec Bool32(std::u16string name, int32_t v) { return Scalar(kBool32, std::move(name), v); }
TreeNodeSpec Int64(std::u16string name, int64_t v) { return Scalar(kInt64, std::move(name), v); }

TreeNodeSpec Guid(std::u16string name, std::vector<uint8_t> bytes) {
  return Value(kGuid, std::move(name), std::move(bytes));
}

TreeNodeSpec AnsiString(std::u16string name, std::string bytes) {
  return Value(kAnsiString, std::move(name), std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

TreeNodeSpec WideString(std::u16string name, std::u16string text) {
  return Value(kWideString, std::move(name), Utf16LeBytes(text));
}

TreeNodeSpec Binary(std::u16string name, std::vector<uint8_t> bytes) {
  return Value(kBinary, std::move(name), std::move(bytes));
}

}  // namespace testsupport
