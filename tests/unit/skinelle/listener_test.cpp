// The listener list: order, parameters, duplicates, and changes made by a listener while it
// handles its message.
#include "skinelle_fixture.h"
#include "uSkinManage.h"

namespace skinelle_test {
namespace {

namespace ts = testsupport;
using Sent = std::vector<SentMessage>;

class Listeners : public SkinelleTest {
protected:
  void SetUp() override {
    SkinelleTest::SetUp();
    skin_ = WriteTree("skin.skn", ts::Dir(u"R", {ts::Int32(u"A", 1)}));
  }
  // Registers window n with skin message 100 + n and transparency message 200 + n.
  static SkinelleBool Reg(uintptr_t n) { return RegisterSkinListener(Window(n), 100 + n, 200 + n); }
  void LoadSkin() {
    sent.clear();
    ASSERT_EQ(-1, LoadSkinFile(C(skin_)));
  }
  // The windows sent to, in order.
  static std::vector<uintptr_t> Windows() {
    std::vector<uintptr_t> out;
    for (const SentMessage& m : sent) out.push_back(m.Window);
    return out;
  }
  static std::vector<uintptr_t> Listed() {
    std::vector<uintptr_t> out;
    for (size_t i = 0; i < skinelle::SkinListeners->Count(); ++i)
      out.push_back(skinelle::SkinListeners->Items(i).Handle);
    return out;
  }

  std::u16string skin_;
};

TEST_F(Listeners, NothingIsSentWithoutListeners) {
  LoadSkin();
  ChangeSkinTransparency(-1, 100);
  EXPECT_TRUE(sent.empty());
}

TEST_F(Listeners, MessagesGoOutInRegistrationOrderWithTheirParameters) {
  EXPECT_EQ(-1, Reg(3));
  EXPECT_EQ(-1, Reg(1));
  EXPECT_EQ(-1, Reg(2));
  LoadSkin();
  EXPECT_EQ((Sent{{3, 103, 0, 0}, {1, 101, 0, 0}, {2, 102, 0, 0}}), sent);

  sent.clear();
  ChangeSkinTransparency(5, 200);
  ChangeSkinTransparency(0, -1);
  ChangeSkinTransparency(-1, 0);
  EXPECT_EQ((Sent{{3, 203, 1, 200}, {1, 201, 1, 200}, {2, 202, 1, 200},
                  {3, 203, 0, -1}, {1, 201, 0, -1}, {2, 202, 0, -1},
                  {3, 203, 1, 0}, {1, 201, 1, 0}, {2, 202, 1, 0}}),
            sent);
}

TEST_F(Listeners, RegisteringTwiceKeepsTheFirstNumbers) {
  EXPECT_EQ(-1, RegisterSkinListener(Window(7), 1000, 2000));
  EXPECT_EQ(0, RegisterSkinListener(Window(7), 1001, 2001));
  EXPECT_EQ(-1, RegisterSkinListener(nullptr, 1, 2));  // nothing about the handle is tested
  EXPECT_EQ(0, RegisterSkinListener(nullptr, 3, 4));
  LoadSkin();
  ChangeSkinTransparency(1, 9);
  EXPECT_EQ((Sent{{7, 1000, 0, 0}, {0, 1, 0, 0}, {7, 2000, 1, 9}, {0, 2, 1, 9}}), sent);
}

TEST_F(Listeners, UnregisterRemovesAndRegisteringAgainMovesToTheEnd) {
  Reg(1);
  Reg(2);
  Reg(3);
  UnRegisterSkinListener(Window(9));  // not listed: nothing happens
  UnRegisterSkinListener(Window(1));
  EXPECT_EQ((std::vector<uintptr_t>{2, 3}), Listed());
  EXPECT_EQ(-1, Reg(1));
  LoadSkin();
  EXPECT_EQ((std::vector<uintptr_t>{2, 3, 1}), Windows());
  UnRegisterSkinListener(Window(2));
  UnRegisterSkinListener(Window(3));
  UnRegisterSkinListener(Window(1));
  UnRegisterSkinListener(Window(1));
  EXPECT_TRUE(Listed().empty());
  LoadSkin();
  EXPECT_TRUE(sent.empty());
}

TEST_F(Listeners, AFailedSendDoesNotStopThePass) {
  Reg(1);
  Reg(2);
  Reg(3);
  // Window 2's send goes to the system, where the handle names no window: it fails.
  static intptr_t failedResult;
  failedResult = -1;
  onMessage = [](const SentMessage& m) {
    if (m.Window != 2) return;
    plat::MessageSink sink = plat::SetMessageSink(nullptr);
    failedResult = plat::SendWindowMessage(m.Window, m.Message, m.WParam, m.LParam);
    plat::SetMessageSink(sink);
  };
  ChangeSkinTransparency(1, 50);
  EXPECT_EQ(0, failedResult);
  EXPECT_EQ((std::vector<uintptr_t>{1, 2, 3}), Windows());
  EXPECT_EQ((std::vector<uintptr_t>{1, 2, 3}), Listed());  // the failed one stays registered
}

TEST_F(Listeners, AnyErrorInAPassStaysInsideTheExport) {
  Reg(1);
  Reg(2);
  onMessage = [](const SentMessage&) { throw 42; };  // not a standard exception
  LoadSkin();  // still -1: the skin was loaded
  ChangeSkinTransparency(1, 1);
  EXPECT_EQ((std::vector<uintptr_t>{1, 1}), Windows());
  EXPECT_EQ((std::vector<std::string>{"Unknown error", "Unknown error"}), debugLines);
}

// Changes during a pass: the pass reaches the listeners that were there when it began and
// are still there at their turn.
TEST_F(Listeners, RemovingDuringAPassSkipsOnlyTheRemoved) {
  for (uintptr_t n = 1; n <= 4; ++n) Reg(n);
  onMessage = [](const SentMessage& m) {
    if (m.Window == 2) UnRegisterSkinListener(Window(2));  // itself
    if (m.Window == 2) UnRegisterSkinListener(Window(4));  // one still ahead
    if (m.Window == 3) UnRegisterSkinListener(Window(1));  // one already sent to
  };
  LoadSkin();
  EXPECT_EQ((std::vector<uintptr_t>{1, 2, 3}), Windows());
  EXPECT_EQ((std::vector<uintptr_t>{3}), Listed());
  LoadSkin();
  EXPECT_EQ((std::vector<uintptr_t>{3}), Windows());
}

TEST_F(Listeners, AddingDuringAPassWaitsForTheNextPass) {
  Reg(1);
  Reg(2);
  onMessage = [](const SentMessage& m) {
    if (m.Window == 1 && m.Message == 101) {
      Reg(5);
      UnRegisterSkinListener(Window(1));
      Reg(1);  // registers again: moves behind the end of this pass
    }
  };
  LoadSkin();
  EXPECT_EQ((std::vector<uintptr_t>{1, 2}), Windows());
  EXPECT_EQ((std::vector<uintptr_t>{2, 5, 1}), Listed());
  onMessage = nullptr;
  LoadSkin();
  EXPECT_EQ((std::vector<uintptr_t>{2, 5, 1}), Windows());
}

TEST_F(Listeners, EmptyingTheListDuringAPassEndsIt) {
  for (uintptr_t n = 1; n <= 5; ++n) Reg(n);
  onMessage = [](const SentMessage&) {
    for (uintptr_t n = 1; n <= 5; ++n) UnRegisterSkinListener(Window(n));
  };
  ChangeSkinTransparency(1, 1);
  EXPECT_EQ((std::vector<uintptr_t>{1}), Windows());
  EXPECT_TRUE(Listed().empty());
}

TEST_F(Listeners, PassesMayNest) {
  for (uintptr_t n = 1; n <= 3; ++n) Reg(n);
  onMessage = [](const SentMessage& m) {
    if (m.Window == 2 && m.Message == 102) {
      UnRegisterSkinListener(Window(1));
      ChangeSkinTransparency(1, 7);  // inner pass: 2 and 3
      UnRegisterSkinListener(Window(3));
    }
  };
  LoadSkin();
  EXPECT_EQ((Sent{{1, 101, 0, 0}, {2, 102, 0, 0}, {2, 202, 1, 7}, {3, 203, 1, 7}}), sent);
  EXPECT_EQ((std::vector<uintptr_t>{2}), Listed());
}

}  // namespace
}  // namespace skinelle_test
