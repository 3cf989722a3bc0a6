// Loading the skin and the resource file: what each failure leaves, and how long the
// addresses handed out stay valid.
#include <cstring>

#include "platform/file.h"
#include "skinelle_fixture.h"
#include "uResourceManage.h"
#include "uSkinManage.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define SKINELLE_TEST_ASAN 1
#endif

namespace skinelle_test {
namespace {

namespace ts = testsupport;
using skinelle::SkinDocument;

const SkinelleChar* P(const char16_t* s) { return reinterpret_cast<const SkinelleChar*>(s); }

// Counts the file calls and can make reads come up short or fail.
struct FileWatch {
  static int opens, closes, reads;
  static uint32_t cutBytes;  // deliver this many fewer bytes than asked
  static int64_t size;       // report this size instead of the file's own (0: the file's)
  static bool failRead;
  static int closesAtFirstMessage;

  FileWatch() {
    opens = closes = reads = 0;
    cutBytes = 0;
    size = 0;
    failRead = false;
    closesAtFirstMessage = -1;
    plat::FileCalls calls = plat::SystemFileCalls();
    calls.Open = [](const char16_t* name) {
      plat::FileHandle h = plat::SystemFileCalls().Open(name);
      if (h) ++opens;
      return h;
    };
    calls.Close = [](plat::FileHandle h) {
      ++closes;
      plat::SystemFileCalls().Close(h);
    };
    calls.Size = [](plat::FileHandle h) { return size ? size : plat::SystemFileCalls().Size(h); };
    calls.Read = [](plat::FileHandle h, void* buf, uint32_t count, uint32_t& got) {
      ++reads;
      if (failRead) {
        got = 0;
        return false;
      }
      return plat::SystemFileCalls().Read(h, buf, count > cutBytes ? count - cutBytes : 0, got);
    };
    previous_ = plat::SetFileCalls(calls);
  }
  ~FileWatch() { plat::SetFileCalls(previous_); }

  plat::FileCalls previous_;
};
int FileWatch::opens, FileWatch::closes, FileWatch::reads;
uint32_t FileWatch::cutBytes;
int64_t FileWatch::size;
bool FileWatch::failRead;
int FileWatch::closesAtFirstMessage;

class Loading : public SkinelleTest {
protected:
  void SetUp() override {
    SkinelleTest::SetUp();
    ASSERT_TRUE(RegisterSkinListener(Window(1), 100, 200));
    good_ = WriteTree("good.skn", ts::Dir(u"R", {ts::Binary(u"Bmp", {1, 2, 3, 4}),
                                                 ts::Int32(u"Num", 42)}));
    other_ = WriteTree("other.skn", ts::Dir(u"R", {ts::Binary(u"Bmp", {5, 6}),
                                                   ts::Int32(u"Num", 43)}));
  }

  // The skin loaded from good.skn is still there, and nobody was told of anything.
  void ExpectGoodSkinKeptQuietly() {
    int32_t n = 0;
    EXPECT_EQ(-1, GetSkinInt32ByName(P(u"Num"), &n));
    EXPECT_EQ(42, n);
    EXPECT_TRUE(sent.empty());
  }

  std::u16string good_, other_;
};

TEST_F(Loading, SuccessfulSkinLoadTellsListenersAfterTheFileIsClosed) {
  FileWatch watch;
  onMessage = [](const SentMessage&) {
    if (FileWatch::closesAtFirstMessage < 0) FileWatch::closesAtFirstMessage = FileWatch::closes;
  };
  EXPECT_EQ(-1, LoadSkinFile(C(good_)));
  EXPECT_EQ(1, watch.opens);
  EXPECT_EQ(1, watch.reads);  // one read of the whole file
  EXPECT_EQ(1, watch.closes);
  EXPECT_EQ(1, watch.closesAtFirstMessage);
  EXPECT_EQ((std::vector<SentMessage>{{1, 100, 0, 0}}), sent);
  EXPECT_TRUE(debugLines.empty());
}

TEST_F(Loading, FailuresReturnZeroTellNobodyAndKeepWhatTheyMust) {
  ASSERT_EQ(-1, LoadSkinFile(C(good_)));
  sent.clear();
  {
    FileWatch watch;
    EXPECT_EQ(0, LoadSkinFile(nullptr));
    EXPECT_EQ(0, LoadSkinFile(C(Missing())));
    EXPECT_EQ(0, LoadSkinFile(P(u"")));
    EXPECT_EQ(0, watch.opens);
    ExpectGoodSkinKeptQuietly();
    EXPECT_TRUE(debugLines.empty());

    // Empty and 3-byte files fail the size test: the skin stays.
    EXPECT_EQ(0, LoadSkinFile(C(WriteFile("empty.skn", {}))));
    EXPECT_EQ(0, LoadSkinFile(C(WriteFile("three.skn", {100, 0, 0}))));
    ExpectGoodSkinKeptQuietly();
    EXPECT_EQ((std::vector<std::string>{"Invalid Binary Tree Document",
                                        "Invalid Binary Tree Document"}),
              debugLines);
    EXPECT_EQ(watch.opens, watch.closes);
  }
  // A wrong version clears the skin down to its root.
  debugLines.clear();
  EXPECT_EQ(0, LoadSkinFile(C(WriteTree("v99.skn", ts::Dir(u"R", {ts::Int32(u"Num", 7)}), 99))));
  int32_t n = 5;
  EXPECT_EQ(0, GetSkinInt32ByName(P(u"Num"), &n));
  EXPECT_EQ(5, n);
  EXPECT_EQ(0, SkinDocument->Root()->Children()->Count());
  EXPECT_TRUE(sent.empty());
  EXPECT_EQ(std::vector<std::string>{"Unknown Version"}, debugLines);
}

TEST_F(Loading, AFileThatDeliversLessThanItsSizeLeavesTheDocumentAlone) {
  ASSERT_EQ(-1, LoadSkinFile(C(good_)));
  sent.clear();
  void* bmp = nullptr;
  int32_t size = 0;
  ASSERT_EQ(-1, GetSkinBitmapByName(P(u"Bmp"), &bmp, &size));
  FileWatch watch;
  watch.cutBytes = 1;
  EXPECT_EQ(0, LoadSkinFile(C(other_)));
  watch.cutBytes = 0;
  watch.failRead = true;
  EXPECT_EQ(0, LoadSkinFile(C(other_)));
  EXPECT_EQ(0, LoadResFile(C(other_)));
  EXPECT_EQ(3, watch.closes);
  ExpectGoodSkinKeptQuietly();
  EXPECT_EQ(0, std::memcmp(bmp, "\x01\x02\x03\x04", 4));  // still the old node's value
  EXPECT_EQ(3u, debugLines.size());
  for (const std::string& line : debugLines) EXPECT_EQ("Stream read error", line);
}

TEST_F(Loading, AHugeOrUnsizableFileIsRefusedBeforeAnythingIsRead) {
  ASSERT_EQ(-1, LoadSkinFile(C(good_)));
  sent.clear();
  FileWatch watch;
  for (int64_t size : {int64_t{-1}, int64_t{0x80000000}}) {  // size unknown; beyond 2 GB
    watch.size = size;
    EXPECT_EQ(0, LoadSkinFile(C(other_)));
  }
  EXPECT_EQ(0, watch.reads);
  EXPECT_EQ(2, watch.closes);
  ExpectGoodSkinKeptQuietly();
  EXPECT_EQ((std::vector<std::string>{"Invalid Binary Tree Document",
                                      "Invalid Binary Tree Document"}),
            debugLines);
}

TEST_F(Loading, AFileOf4GBOrMoreIsRefusedWhateverItsLow32BitsSay) {
  ASSERT_EQ(-1, LoadSkinFile(C(good_)));
  sent.clear();
  // A valid document followed by 4 GB of nothing (sparse: it takes no room on the disk).
  const std::filesystem::path huge = std::filesystem::path(other_) += u".huge";
  std::filesystem::copy_file(std::filesystem::path(other_), huge);
  std::filesystem::resize_file(huge, std::filesystem::file_size(huge) + (uint64_t{1} << 32));
  EXPECT_EQ(0, LoadSkinFile(C(huge.u16string())));
  ExpectGoodSkinKeptQuietly();
  EXPECT_EQ(std::vector<std::string>{"Invalid Binary Tree Document"}, debugLines);
}

TEST_F(Loading, ResourceLoadsNeverTellListeners) {
  EXPECT_EQ(-1, LoadResFile(C(good_)));
  EXPECT_EQ(0, LoadResFile(C(Missing())));
  EXPECT_EQ(0, LoadResFile(C(WriteFile("three.res", {1, 2, 3}))));
  EXPECT_EQ(0, LoadResFile(C(WriteTree("v101.res", ts::Dir(u"R"), 101))));
  EXPECT_TRUE(sent.empty());
  // The skin document was never touched.
  EXPECT_EQ(0, SkinDocument->Root()->Children()->Count());
}

TEST_F(Loading, FileNamesAreUnicode) {
  EXPECT_EQ(-1, LoadSkinFile(C(WriteTree(std::filesystem::path(u"皮肤 默认.skn"), ts::Dir(u"R", {ts::Int32(u"Num", 9)})))));
  int32_t n = 0;
  EXPECT_EQ(-1, GetSkinInt32ByName(P(u"Num"), &n));
  EXPECT_EQ(9, n);
}

TEST_F(Loading, HandedOutAddressesLiveUntilTheNextLoadPastTheSizeTest) {
  ASSERT_EQ(-1, LoadSkinFile(C(good_)));
  void* bmp = nullptr;
  int32_t size = 0;
  ASSERT_EQ(-1, GetSkinBitmapByName(P(u"Bmp"), &bmp, &size));
  ASSERT_EQ(4, size);
  auto stillThere = [&] {
    void* again = nullptr;
    EXPECT_EQ(-1, GetSkinBitmapByName(P(u"Bmp"), &again, &size));
    EXPECT_EQ(bmp, again);
    EXPECT_EQ(0, std::memcmp(bmp, "\x01\x02\x03\x04", 4));
#ifdef SKINELLE_TEST_ASAN
    EXPECT_FALSE(__asan_region_is_poisoned(bmp, 4));
#endif
  };
  for (int i = 0; i < 100; ++i) {
    int32_t n;
    GetSkinInt32ByName(P(u"Num"), &n);
    GetSkinStreamByName(P(u"Bmp"), &bmp, &size);
  }
  stillThere();
  ASSERT_EQ(-1, LoadResFile(C(other_)));
  stillThere();
  ASSERT_EQ(0, LoadSkinFile(C(Missing())));
  stillThere();
  ASSERT_EQ(0, LoadSkinFile(C(WriteFile("three.skn", {1, 2, 3}))));
  stillThere();

  // A load past the size test replaces the tree, even when it then fails.
  ASSERT_EQ(0, LoadSkinFile(C(WriteTree("v99.skn", ts::Dir(u"R"), 99))));
#ifdef SKINELLE_TEST_ASAN
  EXPECT_TRUE(__asan_address_is_poisoned(bmp));
#endif
  EXPECT_EQ(0, GetSkinBitmapByName(P(u"Bmp"), &bmp, &size));
  ASSERT_EQ(-1, LoadSkinFile(C(other_)));
  ASSERT_EQ(-1, GetSkinBitmapByName(P(u"Bmp"), &bmp, &size));
  EXPECT_EQ(2, size);
  EXPECT_EQ(0, std::memcmp(bmp, "\x05\x06", 2));
}

TEST_F(Loading, ADamagedImageKeepsWhatItsLoaderLeaves) {
  // The root and its first child are read; the second child's kind is unknown.
  std::vector<uint8_t> image;
  ts::AppendInt32(image, 100);
  ts::AppendRecord(image, 0, u"R", nullptr, 0, 2);
  int32_t one = 1;
  ts::AppendRecord(image, 7, u"First", &one, 4, 0);
  ts::AppendRecord(image, 99, u"Second", nullptr, 0, 0);
  image.resize(image.size() + 8);
  EXPECT_EQ(0, LoadSkinFile(C(WriteFile("bad.skn", image))));
  EXPECT_EQ(std::vector<std::string>{"Invalid Node"}, debugLines);
  EXPECT_TRUE(sent.empty());
  int32_t n = 0;
  EXPECT_EQ(-1, GetSkinInt32ByName(P(u"First"), &n));
  EXPECT_EQ(1, n);
}

}  // namespace
}  // namespace skinelle_test
