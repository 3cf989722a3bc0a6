// The file and message calls that Skinelle reaches through the platform layer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/file.h"
#include "platform/winmsg.h"
#include "testsupport/TempFolder.h"

namespace {

namespace fs = std::filesystem;

TEST(PlatformFile, OpensOnlyExistingFilesAndReadsWhatIsThere) {
  testsupport::TempFolder folder("skinelle-platform-io");
  const fs::path& dir = folder.path();
  fs::path file = dir / fs::path(u"数据.bin");
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << "0123456789";
  }
  EXPECT_EQ(nullptr, plat::OpenFileRead(nullptr));
  EXPECT_EQ(nullptr, plat::OpenFileRead(u""));
  EXPECT_EQ(nullptr, plat::OpenFileRead((dir / "none.bin").u16string().c_str()));
  EXPECT_EQ(nullptr, plat::OpenFileRead(dir.u16string().c_str()));

  plat::FileHandle h = plat::OpenFileRead(file.u16string().c_str());
  ASSERT_NE(nullptr, h);
  // Others may read it while it is open.
  plat::FileHandle second = plat::OpenFileRead(file.u16string().c_str());
  EXPECT_NE(nullptr, second);
  plat::CloseFile(second);

  EXPECT_EQ(10, plat::FileSize(h));
  char buf[16] = {};
  uint32_t got = 0;
  ASSERT_TRUE(plat::ReadFileBytes(h, buf, 4, got));
  EXPECT_EQ(4u, got);
  ASSERT_TRUE(plat::ReadFileBytes(h, buf + 4, 12, got));  // only six are left
  EXPECT_EQ(6u, got);
  EXPECT_EQ(std::string("0123456789"), std::string(buf));
  ASSERT_TRUE(plat::ReadFileBytes(h, buf, 4, got));
  EXPECT_EQ(0u, got);
  plat::CloseFile(h);
  fs::remove_all(dir);
}

TEST(PlatformMessages, ASinkSeesEverySendAndAnswersIt) {
  static std::vector<intptr_t> seen;
  seen.clear();
  plat::MessageSink old = plat::SetMessageSink(
      [](plat::WindowHandle w, uint32_t msg, uintptr_t wp, intptr_t lp) -> intptr_t {
        seen.insert(seen.end(), {static_cast<intptr_t>(w), static_cast<intptr_t>(msg),
                                 static_cast<intptr_t>(wp), lp});
        return 77;
      });
  EXPECT_EQ(77, plat::SendWindowMessage(5, 1024, 1, -1));
  plat::SetMessageSink(old);
  EXPECT_EQ((std::vector<intptr_t>{5, 1024, 1, -1}), seen);
  // Without the sink, a handle that names no window gives 0.
  EXPECT_EQ(0, plat::SendWindowMessage(0, 1024, 0, 0));
}

}  // namespace
