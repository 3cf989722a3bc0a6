// Writes a sample skin document, or loads a document file and prints lookups from it.
//   bintree_sample write <file>
//   bintree_sample show <file> <path>...
#include <cstdio>
#include <cstring>
#include <string>

#include "BinaryTreeDocument100.h"
#include "platform/ansi.h"
#include "platform/except.h"
#include "testsupport/BinTreeWriter.h"

using namespace bintree;
using namespace testsupport;

namespace {

const char* const kKindNames[] = {
    "Directory", "AnsiChar", "WideChar", "AnsiString", "WideString", "Int8", "Int16", "Int32",
    "Int64", "UInt8", "UInt16", "UInt32", "Real32", "Real48", "Real64", "Real80", "Currency",
    "DateTime", "TimeStamp", "Bool8", "Bool16", "Bool32", "GUID", "Binary"};

TreeNodeSpec SampleSkin() {
  std::vector<uint8_t> bitmap(2048);
  for (size_t i = 0; i < bitmap.size(); ++i) bitmap[i] = static_cast<uint8_t>(i);
  bitmap[0] = 'B';
  bitmap[1] = 'M';
  std::vector<uint8_t> id = {0xDD, 0x88, 0xC3, 0x3F, 0x0F, 0xB4, 0x22, 0x4F,
                             0x86, 0xA1, 0x6F, 0x46, 0x7F, 0x65, 0x5A, 0x6C};
  return Dir(u"Skin", {
      Dir(u"MainForm", {AnsiString(u"Caption", "欢迎使用"), Int32(u"Width", 640),
                        Int32(u"Height", 480), Real64(u"Alpha", 0.85), Bool32(u"Shadow", -1)}),
      Dir(u"Buttons", {Dir(u"Close", {Binary(u"Normal", bitmap), Binary(u"Hover", bitmap),
                                      WideString(u"Hint", u"关闭窗口")})}),
      Guid(u"SkinID", id), UInt32(u"TextColor", 0x00336699)});
}

std::string Utf8(const std::u16string& text) { return plat::WideToUtf8(text); }

void Show(const TBinTreeNode100* node) {
  std::printf("kind %s, %u value bytes", kKindNames[node->Kind()], node->ValueSize());
  std::vector<uint8_t> v(node->ValueSize() + 1);
  node->GetValue(v.data());
  switch (node->Kind()) {
    case kInt32: { int32_t x; std::memcpy(&x, v.data(), 4); std::printf(": %d", x); break; }
    case kUInt32: { uint32_t x; std::memcpy(&x, v.data(), 4); std::printf(": 0x%08X", x); break; }
    case kBool32: { int32_t x; std::memcpy(&x, v.data(), 4); std::printf(": %s", x ? "true" : "false"); break; }
    case kReal64: { double x; std::memcpy(&x, v.data(), 8); std::printf(": %g", x); break; }
    case kAnsiString:
      std::printf(": \"%s\"", Utf8(plat::AnsiToWide(std::string(v.begin(), v.end() - 1))).c_str());
      break;
    case kWideString:
      std::printf(": \"%s\"", Utf8(std::u16string(reinterpret_cast<const char16_t*>(v.data()),
                                                   node->ValueSize() / 2)).c_str());
      break;
    case kGUID: {
      const uint8_t* g = static_cast<const uint8_t*>(node->GetValuePtr());
      std::printf(":");
      for (int i = 0; i < 16; ++i) std::printf(" %02X", g[i]);
      break;
    }
    case kBinary:
      std::printf(", starting with \"%.2s\"", static_cast<const char*>(node->GetData()));
      break;
    case kDirectory:
      std::printf(", %d children", node->Children()->Count());
      break;
    default:
      break;
  }
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "write") == 0) {
    if (!WriteTreeFile(argv[2], SampleSkin())) return 1;
    std::printf("wrote %s\n", argv[2]);
    return 0;
  }
  if (argc >= 3 && std::strcmp(argv[1], "show") == 0) {
    FILE* f = std::fopen(argv[2], "rb");
    if (f == nullptr) return 1;
    TMemoryStream stream;
    std::fseek(f, 0, SEEK_END);
    stream.SetSize(static_cast<size_t>(std::ftell(f)));
    std::fseek(f, 0, SEEK_SET);
    size_t got = std::fread(stream.Memory(), 1, static_cast<size_t>(stream.GetSize()), f);
    std::fclose(f);
    if (static_cast<int64_t>(got) != stream.GetSize()) return 1;
    TBinaryTreeDocument100 doc;
    try {
      doc.LoadFromStream(stream);
    } catch (const plat::Exception& e) {
      std::printf("load failed: %s\n", e.what());
      return 1;
    }
    std::printf("loaded %lld bytes, root \"%s\"\n", static_cast<long long>(stream.GetSize()),
                Utf8(doc.Root()->Name()).c_str());
    for (int i = 3; i < argc; ++i) {
      std::printf("  %-22s -> ", argv[i]);
      const TBinTreeNode100* node = doc.FindNode(plat::Utf8ToWide(argv[i]));
      if (node == nullptr) {
        std::printf("not found\n");
      } else {
        Show(node);
      }
    }
    return 0;
  }
  std::fprintf(stderr, "usage: bintree_sample write <file> | show <file> <path>...\n");
  return 2;
}
