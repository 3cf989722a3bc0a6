// Writes a few well-formed documents as the starting corpus of the fuzz run.
#include <string>

#include "testsupport/BinTreeWriter.h"

using namespace testsupport;

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string dir = argv[1];
  TreeNodeSpec skin = Dir(u"Skin", {
      Dir(u"Buttons", {Dir(u"Close", {Binary(u"Normal", {1, 2, 3, 4}), Int32(u"Width", 21)}),
                       AnsiString(u"Caption", "OK"), WideString(u"Title", u"Title")}),
      Real64(u"Alpha", 0.5), Bool32(u"Shadow", -1), Int64(u"Big", 1LL << 40),
      Guid(u"Id", std::vector<uint8_t>(16, 0x42)), UInt32(u"Color", 0xFF00FF),
      Real32(u"Scale", 1.5f), Value(13, u"R48", {0x81, 0, 0, 0, 0, 0}),
      Value(15, u"R80", std::vector<uint8_t>(10, 1)), Value(18, u"Stamp", std::vector<uint8_t>(8, 2))});
  TreeNodeSpec negative = Dir(u"N", {Dir(u"A"), Dir(u"A", {Int32(u"B", 1)})});
  negative.Children[0].ChildCount = -1;
  bool ok = WriteTreeFile(dir + "/skin", skin) && WriteTreeFile(dir + "/dup", negative) &&
            WriteTreeFile(dir + "/root", Binary(u"root", {9, 9}));
  return ok ? 0 : 1;
}
