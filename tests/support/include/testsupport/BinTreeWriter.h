// Builds binary tree document images (version 100) for tests, benchmarks and the demo.
// The writer lays records out exactly as described by TreeNodeSpec, without checking them,
// so tests can also build damaged images (wrong counts, odd name sizes, bad kinds).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

struct TreeNodeSpec {
  uint8_t Kind = 0;
  std::u16string Name;
  std::vector<uint8_t> Value;
  uint32_t Tag = 0, Attributes = 0;
  std::vector<TreeNodeSpec> Children;
  std::optional<int32_t> ChildCount;            // override the header's count
  std::optional<std::vector<uint8_t>> RawName;  // exact name bytes instead of Name
};

// The image: the 4-byte version, then the records of root and its descendants in pre-order.
std::vector<uint8_t> WriteTree(const TreeNodeSpec& root, int32_t version = 100);
bool WriteTreeFile(const std::string& path, const TreeNodeSpec& root, int32_t version = 100);

// Appends one record (header, name as UTF-16LE, value) to an image under construction; for
// generated documents too large or too deep to describe with TreeNodeSpec.
void AppendRecord(std::vector<uint8_t>& image, uint8_t kind, const std::u16string& name,
                  const void* value, uint32_t valueSize, int32_t childCount, uint32_t tag = 0,
                  uint32_t attributes = 0);
// Appends a 32-bit little-endian value (the version field, for example).
void AppendInt32(std::vector<uint8_t>& image, int32_t value);

TreeNodeSpec Dir(std::u16string name, std::vector<TreeNodeSpec> children = {});
TreeNodeSpec Value(uint8_t kind, std::u16string name, std::vector<uint8_t> bytes);
TreeNodeSpec Int32(std::u16string name, int32_t v);
TreeNodeSpec UInt32(std::u16string name, uint32_t v);
TreeNodeSpec Real32(std::u16string name, float v);
TreeNodeSpec Real64(std::u16string name, double v);
TreeNodeSpec Bool32(std::u16string name, int32_t v);  // 0 false, anything else true
TreeNodeSpec Int64(std::u16string name, int64_t v);
TreeNodeSpec Guid(std::u16string name, std::vector<uint8_t> bytes);  // 16 bytes
TreeNodeSpec AnsiString(std::u16string name, std::string bytes);     // ANSI bytes as given
TreeNodeSpec WideString(std::u16string name, std::u16string text);   // UTF-16LE, no terminator
TreeNodeSpec Binary(std::u16string name, std::vector<uint8_t> bytes);

}  // namespace testsupport
