#include "skinelle_fixture.h"

#include <fstream>

#include "platform/debugout.h"
#include "uResourceManage.h"
#include "uSkinManage.h"

namespace skinelle_test {

namespace fs = std::filesystem;
namespace ts = testsupport;

std::vector<SentMessage> SkinelleTest::sent;
std::vector<std::string> SkinelleTest::debugLines;
std::function<void(const SentMessage&)> SkinelleTest::onMessage;

void PrintTo(const SentMessage& m, std::ostream* os) {
  *os << "{window " << m.Window << ", msg " << m.Message << ", w " << m.WParam << ", l "
      << m.LParam << "}";
}

namespace {

intptr_t RecordMessage(plat::WindowHandle window, uint32_t message, uintptr_t wParam,
                       intptr_t lParam) {
  SentMessage m{window, message, wParam, lParam};
  SkinelleTest::sent.push_back(m);
  if (SkinelleTest::onMessage) SkinelleTest::onMessage(m);
  return 0;
}

void RecordDebugLine(const char* text) { SkinelleTest::debugLines.push_back(text); }

}  // namespace

void SkinelleTest::SetUp() {
  sent.clear();
  debugLines.clear();
  onMessage = nullptr;
  plat::SetMessageSink(&RecordMessage);
  plat::SetDebugSink(&RecordDebugLine);
  skinelle::InitializeSkinManage();
  skinelle::InitializeResourceManage();
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string leaf = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : leaf)
    if (c == '/') c = '_';
  folder_ = std::make_unique<ts::TempFolder>("skinelle-" + leaf);
  dir_ = folder_->path();
}

void SkinelleTest::TearDown() {
  skinelle::FinalizeResourceManage();
  skinelle::FinalizeSkinManage();
  plat::SetMessageSink(nullptr);
  plat::SetDebugSink(nullptr);
  onMessage = nullptr;
  folder_.reset();
}

std::u16string SkinelleTest::WriteFile(const fs::path& name,
                                       const std::vector<uint8_t>& image) {
  fs::path path = dir_ / name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  out.close();
  EXPECT_TRUE(out.good()) << path;
  return path.u16string();
}

std::u16string SkinelleTest::WriteTree(const fs::path& name, const ts::TreeNodeSpec& root,
                                       int32_t version) {
  return WriteFile(name, ts::WriteTree(root, version));
}

std::u16string SkinelleTest::Missing() const { return (dir_ / "missing.skn").u16string(); }

ts::TreeNodeSpec EveryKind() {
  using ts::Value;
  return ts::Dir(u"ROOT", {ts::Dir(u"All", {
      ts::Dir(u"Dir", {ts::Int32(u"Inner", 1)}),
      Value(1, u"AnsiChar", {'A'}),
      Value(2, u"WideChar", {0x34, 0x12}),
      ts::AnsiString(u"Ansi", "abcd\xd6\xd0"),
      ts::WideString(u"Wide", u"Hi\u4e2d"),
      Value(5, u"Int8", {0xFE}),
      Value(6, u"Int16", {0x34, 0x12}),
      ts::Int32(u"Int32", -123456),
      ts::Int64(u"Int64", 0x0102030405060708LL),
      Value(9, u"UInt8", {0xFF}),
      Value(10, u"UInt16", {0xFF, 0xFF}),
      ts::UInt32(u"UInt32", 4294967295u),
      ts::Real32(u"Real32", 1.5f),
      Value(13, u"Real48", {0x81, 0, 0, 0, 0, 0}),
      ts::Real64(u"Real64", 2.25),
      Value(15, u"Real80", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),
      Value(16, u"Currency", {0x10, 0x27, 0, 0, 0, 0, 0, 0}),
      Value(17, u"DateTime", {0, 0, 0, 0, 0, 0, 0xF0, 0x3F}),
      Value(18, u"TimeStamp", {1, 0, 0, 0, 2, 0, 0, 0}),
      Value(19, u"Bool8", {1}),
      Value(20, u"Bool16", {1, 0}),
      ts::Bool32(u"Bool32", -1),
      ts::Guid(u"Guid", {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE, 1, 2, 3, 4, 5, 6, 7, 8}),
      ts::Binary(u"Binary", {9, 8, 7, 6, 5}),
      ts::Binary(u"EmptyBinary", {}),
      ts::AnsiString(u"EmptyAnsi", ""),
  })});
}

}  // namespace skinelle_test
