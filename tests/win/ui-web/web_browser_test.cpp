// The browser control in a window: creation, navigation against a loopback listener, the
// focus event, placement of the browser's own window and teardown.
#include <gtest/gtest.h>

#include "platform/except.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"
#include "web_test_support.h"

using webtest::PumpUntil;

namespace {

class OleThread : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  void TearDown() override { OleUninitialize(); }
};

class BrowserForm : public OleThread {
protected:
  void SetUp() override {
    OleThread::SetUp();
    form = new ui::TForm();
    form->BorderStyle = ui::TFormBorderStyle::bsNone;
    form->SetBounds(20, 20, 420, 300);
    list = new ui::TListBox(form);
    list->SetParent(form);
    list->SetBounds(0, 0, 60, 60);
    browser = new ui::TWebBrowser(form);
    browser->SetParent(form);
    browser->SetBounds(80, 10, 300, 240);
    ASSERT_NE(browser->ControlInterface(), nullptr);
    form->Show();
    PumpUntil([] { return false; }, 100);
  }
  void TearDown() override {
    delete form;
    OleThread::TearDown();
  }
  // The browser's own window inside the control.
  HWND BrowserWindow() { return GetWindow(browser->Handle(), GW_CHILD); }

  ui::TForm* form = nullptr;
  ui::TListBox* list = nullptr;
  ui::TWebBrowser* browser = nullptr;
};

TEST(WebBrowserWithoutOle, NavigateFailsAndNothingElseBreaks) {
  // No OLE on this thread: the browser object cannot be made.
  ui::TWebBrowser browser(nullptr);
  EXPECT_TRUE(FAILED(browser.CreateResult()));
  EXPECT_EQ(browser.DefaultInterface(), nullptr);
  EXPECT_EQ(browser.Document(), nullptr);
  browser.SetSilent(true);
  EXPECT_TRUE(browser.Silent());
  EXPECT_THROW(browser.Navigate(u"about:blank"), plat::Exception);
}

TEST_F(OleThread, CreatedWithoutWindowAndNavigates) {
  ui::TWebBrowser browser(nullptr);
  ASSERT_EQ(browser.CreateResult(), S_OK);
  IWebBrowser2* web = nullptr;
  ASSERT_EQ(browser.DefaultInterface()->QueryInterface(IID_IWebBrowser2,
                                                       reinterpret_cast<void**>(&web)),
            S_OK);
  web->Release();

  VARIANT_BOOL silent = VARIANT_FALSE;
  browser.SetSilent(true);
  browser.ControlInterface()->get_Silent(&silent);
  EXPECT_EQ(silent, VARIANT_TRUE);
  browser.SetSilent(false);
  browser.ControlInterface()->get_Silent(&silent);
  EXPECT_EQ(silent, VARIANT_FALSE);

  std::vector<std::u16string> seen;
  browser.OnBeforeNavigate2 = [&](ui::TObject* sender, const std::u16string& url, bool& cancel) {
    EXPECT_EQ(sender, &browser);
    EXPECT_FALSE(cancel);
    seen.push_back(url);
  };
  EXPECT_NO_THROW(browser.Navigate(u"about:blank"));
  EXPECT_TRUE(PumpUntil([&] { return !seen.empty(); }, 3000));
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen[0], u"about:blank");
}

TEST_F(BrowserForm, NavigationReachesTheServerUnlessCancelled) {
  webtest::LoopbackListener server;
  std::u16string blocked = server.Url("/blocked.html"), allowed = server.Url("/allowed.html");
  std::vector<std::u16string> before, status;
  browser->OnBeforeNavigate2 = [&](ui::TObject*, const std::u16string& url, bool& cancel) {
    before.push_back(url);
    cancel = url == blocked;
  };
  browser->OnStatusTextChange = [&](ui::TObject*, const std::u16string& text) {
    status.push_back(text);
  };
  browser->SetSilent(true);

  browser->Navigate(blocked);
  PumpUntil([&] { return server.Accepted() > 0; }, 1500, [&] { server.Poll(); });
  ASSERT_EQ(before.size(), 1u);
  EXPECT_EQ(before[0], blocked);
  EXPECT_EQ(server.Accepted(), 0) << "a cancelled navigation still connected";

  browser->Navigate(allowed);
  EXPECT_TRUE(PumpUntil([&] { return server.Accepted() > 0; }, 8000, [&] { server.Poll(); }));
  ASSERT_EQ(before.size(), 2u);
  EXPECT_EQ(before[1], allowed);
  // The status texts name the host being reached.
  const std::u16string hostPort = u"127.0.0.1";
  PumpUntil([&] {
    for (auto& t : status)
      if (t.find(hostPort) != std::u16string::npos) return true;
    return false;
  }, 3000);
  bool named = false;
  for (auto& t : status) named = named || t.find(hostPort) != std::u16string::npos;
  std::string texts;
  for (auto& t : status) texts += "[" + webtest::Narrow(t) + "]";
  EXPECT_TRUE(named) << texts;
}

TEST_F(BrowserForm, FreedWhileAPageIsStillLoading) {
  webtest::LoopbackListener server;
  server.Hold = true;  // the connection is taken and never answered
  browser->Navigate(server.Url("/never.html"));
  EXPECT_TRUE(PumpUntil([&] { return server.Accepted() > 0; }, 8000, [&] { server.Poll(); }));
  delete browser;
  browser = nullptr;
  PumpUntil([] { return false; }, 300, [&] { server.Poll(); });
  // A second control on the same thread still works.
  auto* again = new ui::TWebBrowser(form);
  again->SetParent(form);
  again->SetBounds(0, 0, 100, 100);
  EXPECT_NO_THROW(again->Navigate(u"about:blank"));
  PumpUntil([] { return false; }, 200);
}

TEST_F(BrowserForm, EnterFiresWhenTheFocusComesInFromOutside) {
  int enters = 0;
  browser->OnEnter = [&](ui::TObject* sender) {
    EXPECT_EQ(sender, browser);
    ++enters;
  };
  list->SetFocus();
  PumpUntil([] { return false; }, 50);
  ASSERT_EQ(enters, 0);

  browser->SetFocus();
  PumpUntil([] { return false; }, 50);
  EXPECT_EQ(enters, 1);

  // Moving inside the control is no new entry.
  HWND inner = BrowserWindow();
  ASSERT_NE(inner, nullptr);
  ::SetFocus(inner);
  PumpUntil([] { return false; }, 50);
  browser->SetFocus();
  PumpUntil([] { return false; }, 50);
  EXPECT_EQ(enters, 1);

  // Out and straight into the browser's own window.
  list->SetFocus();
  PumpUntil([] { return false; }, 50);
  ::SetFocus(inner);
  PumpUntil([] { return false; }, 50);
  EXPECT_EQ(enters, 2);

  list->SetFocus();
  browser->SetFocus();
  PumpUntil([] { return false; }, 50);
  EXPECT_EQ(enters, 3);

  // Away to another window and back: the browser stayed its window's focused control. (The
  // list takes no focus on activation here, so that the activation gives it to the browser.)
  list->TabStop = false;
  ui::TForm other;
  other.BorderStyle = ui::TFormBorderStyle::bsNone;
  other.SetBounds(460, 20, 100, 100);
  auto* otherList = new ui::TListBox(&other);
  otherList->SetParent(&other);
  otherList->SetBounds(0, 0, 50, 50);
  other.Show();
  otherList->SetFocus();
  PumpUntil([] { return false; }, 50);
  ASSERT_EQ(GetFocus(), otherList->Handle());
  browser->SetFocus();
  PumpUntil([] { return false; }, 50);
  EXPECT_EQ(enters, 3);
}

TEST_F(BrowserForm, BrowserWindowFollowsTheControl) {
  auto clientOf = [](HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
  };
  HWND inner = BrowserWindow();
  ASSERT_NE(inner, nullptr);
  EXPECT_TRUE(IsWindowVisible(inner));
  SIZE s = clientOf(inner);
  EXPECT_EQ(s.cx, 300);
  EXPECT_EQ(s.cy, 240);

  browser->SetBounds(-2, -2, 424, 304);
  s = clientOf(inner);
  EXPECT_EQ(s.cx, 424);
  EXPECT_EQ(s.cy, 304);

  // Into another window and back: the same browser window goes along.
  ui::TForm other;
  other.BorderStyle = ui::TFormBorderStyle::bsNone;
  other.SetBounds(40, 40, 200, 200);
  other.Show();
  browser->SetParent(&other);
  EXPECT_EQ(GetParent(browser->Handle()), other.Handle());
  EXPECT_EQ(BrowserWindow(), inner);

  // Without a parent the control loses its window; the browser's window survives and comes
  // back when the control gets a window again.
  browser->SetParent(nullptr);
  EXPECT_FALSE(browser->HandleAllocated());
  EXPECT_TRUE(IsWindow(inner));
  browser->SetParent(form);
  PumpUntil([] { return false; }, 50);
  EXPECT_EQ(BrowserWindow(), inner);
  EXPECT_TRUE(IsWindowVisible(inner));
  s = clientOf(inner);
  EXPECT_EQ(s.cx, 424);
  EXPECT_EQ(s.cy, 304);
  EXPECT_NO_THROW(browser->Navigate(u"about:blank"));
  PumpUntil([] { return false; }, 100);
}

}  // namespace
