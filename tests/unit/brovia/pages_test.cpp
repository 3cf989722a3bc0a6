#include <gtest/gtest.h>

#include "Addresses.h"
#include "DesktopScript.h"
#include "FakeView.h"

namespace brovia {
namespace {

using C = TControlId;
using T = TTimerId;

const std::u16string Root = u"http://desktop.pelora.example/";
const std::u16string Login = u"http://desktop.pelora.example/login.php";

class Pages : public BroviaTest {
protected:
  void SetUp() override { Start(); }

  // The desktop root page loaded and completed after the first (login) page.
  void LoggedInAfterLogin() {
    logic.wb1DocumentComplete(Login);
    logic.wb1BeforeNavigate2(Root);
    logic.wb1DocumentComplete(Root);
    ASSERT_TRUE(logic.LoggedIn());
    view.Log.clear();
    view.Opened.clear();
  }
};

TEST_F(Pages, FirstCompletionTurnsAutoHideOnAndLaysOutThePage) {
  logic.ShowWelcome(true);
  logic.wb1DocumentComplete(Login);
  EXPECT_EQ(logic.wb1Tag(), 1);
  EXPECT_TRUE(logic.AutoHide());
  EXPECT_FALSE(view.Visible(C::pnl_Welcome));
  EXPECT_EQ(view.Bounds(C::wb1), (TBounds{-2, -2, 1028, 772}));
  EXPECT_FALSE(logic.LoggedIn());
  EXPECT_FALSE(view.TimerRunning(T::tmr2));
  EXPECT_FALSE(view.TimerRunning(T::tmrCloseWelcome));
  EXPECT_EQ(view.LogOf("Align wb1").size(), 0u) << "full screen: not aligned";
  // Every first completion switches auto-hide on again; in window mode it also gives the
  // page the client area.
  logic.btnHoverClick();
  logic.tmr2Timer();  // window mode, next completion is a first one again
  logic.wb1DocumentComplete(Login);
  EXPECT_TRUE(logic.AutoHide());
  EXPECT_EQ(view.Align_[C::wb1], TAlign::alClient);
}

TEST_F(Pages, FirstCompletionOfTheRootLogsInWithoutTheWelcomeTimer) {
  logic.wb1DocumentComplete(u"HTTP://DESKTOP.PELORA.EXAMPLE/");
  EXPECT_TRUE(logic.LoggedIn());
  EXPECT_FALSE(view.TimerRunning(T::tmrCloseWelcome));
}

TEST_F(Pages, LaterRootCompletionLogsInAndClosesTheWelcomeLater) {
  logic.wb1DocumentComplete(Login);
  view.StopTimer(T::tmrCloseButton);
  logic.wb1DocumentComplete(Root);
  EXPECT_TRUE(logic.LoggedIn());
  EXPECT_TRUE(view.TimerRunning(T::tmrCloseWelcome));
  EXPECT_TRUE(view.TimerRunning(T::tmrCloseButton));
  logic.ShowWelcome(true);
  view.Log.clear();
  logic.tmrCloseWelcomeTimer();
  EXPECT_FALSE(view.TimerRunning(T::tmrCloseWelcome));
  EXPECT_FALSE(view.Visible(C::pnl_Welcome));
  EXPECT_EQ(view.Log.back(), "Repaint wb1");
}

TEST_F(Pages, LaterLoginCompletionLogsOutAndDropsToWindowMode) {
  LoggedInAfterLogin();
  view.StopTimer(T::tmrCloseWelcome);
  logic.wb1DocumentComplete(Login);
  EXPECT_FALSE(logic.LoggedIn());
  EXPECT_EQ(logic.wb1Tag(), 0);
  EXPECT_TRUE(view.TimerRunning(T::tmr2));
  logic.tmr2Timer();
  EXPECT_FALSE(logic.FullScreen());
  // The next completion is a first one again.
  logic.wb1DocumentComplete(Root);
  EXPECT_EQ(logic.wb1Tag(), 1);
  EXPECT_TRUE(logic.LoggedIn());
  EXPECT_FALSE(view.TimerRunning(T::tmrCloseWelcome));
}

TEST_F(Pages, LoginCompletionInWindowModeOnlyLogsOut) {
  LoggedInAfterLogin();
  logic.ToggleFullScreen();
  logic.wb1DocumentComplete(Login);
  EXPECT_FALSE(logic.LoggedIn());
  EXPECT_FALSE(view.TimerRunning(T::tmr2));
}

TEST_F(Pages, OtherLaterCompletionsOnlyScheduleTheFocus) {
  LoggedInAfterLogin();
  view.StopTimer(T::tmrCloseButton);
  view.StopTimer(T::tmrCloseWelcome);
  logic.wb1DocumentComplete(u"http://desktop.pelora.example/apps/frame.html");
  logic.wb1DocumentComplete(u"http://desktop.pelora.example");
  EXPECT_TRUE(logic.LoggedIn());
  EXPECT_TRUE(view.TimerRunning(T::tmrCloseButton));
  EXPECT_FALSE(view.TimerRunning(T::tmrCloseWelcome));
  EXPECT_FALSE(view.TimerRunning(T::tmr2));
}

TEST_F(Pages, WelcomeShowsOnceAfterMoreThanHalfTheProgress) {
  logic.wb1BeforeNavigate2(u"http://Desktop.Pelora.Example/");
  EXPECT_TRUE(logic.DesktopLoading());
  logic.wb1ProgressChange(50, 100);
  EXPECT_EQ(view.ProgressMax, 100);
  EXPECT_EQ(view.ProgressPosition, 50);
  EXPECT_FALSE(view.Visible(C::pnl_Welcome));
  logic.wb1ProgressChange(51, 100);
  EXPECT_TRUE(view.Visible(C::pnl_Welcome));
  EXPECT_FALSE(logic.DesktopLoading());
  EXPECT_EQ(view.LogOf("ProgressMax"), (std::vector<std::string>{"ProgressMax 100", "ProgressMax 100"}));
  // Once per navigation: hidden again, further progress does not bring it back.
  logic.ShowWelcome(false);
  logic.wb1ProgressChange(90, 100);
  EXPECT_FALSE(view.Visible(C::pnl_Welcome));
  // Odd maxima: 7 - 4 = 3 is not below 7 div 2 = 3; 7 - 5 = 2 is.
  logic.wb1BeforeNavigate2(Root);
  logic.wb1ProgressChange(4, 7);
  EXPECT_FALSE(view.Visible(C::pnl_Welcome));
  logic.wb1ProgressChange(5, 7);
  EXPECT_TRUE(view.Visible(C::pnl_Welcome));
}

TEST_F(Pages, ProgressWithoutDesktopLoadingOrWithOddReports) {
  logic.wb1ProgressChange(100, 100);
  EXPECT_FALSE(view.Visible(C::pnl_Welcome));
  logic.wb1BeforeNavigate2(Root + u"?x");
  EXPECT_FALSE(logic.DesktopLoading());
  logic.wb1BeforeNavigate2(Root);
  logic.wb1ProgressChange(0, 0);  // 0 is not below 0
  EXPECT_FALSE(view.Visible(C::pnl_Welcome));
  logic.wb1ProgressChange(-1, 0);  // the control's "done" report: 1 is not below 0
  EXPECT_FALSE(view.Visible(C::pnl_Welcome));
  logic.wb1ProgressChange(-2147483647 - 1, 2147483647);  // no overflow
  EXPECT_FALSE(view.Visible(C::pnl_Welcome));
  logic.wb1ProgressChange(2147483647, 2147483647);
  EXPECT_TRUE(view.Visible(C::pnl_Welcome));
}

TEST_F(Pages, StatusTextGoesToTheCodePage) {
  logic.wb1StatusTextChange(u"完成 done");
  EXPECT_EQ(view.StatusText, "完成 done");  // literal in code page 936
}

TEST_F(Pages, ProductHomeInTheDesktopAlsoOpensOutsideWhileLoggedOut) {
  logic.wb1BeforeNavigate2(u"http://WWW.pelora.example/");
  EXPECT_EQ(view.Opened, (std::vector<std::string>{"http://WWW.pelora.example/"}));
  LoggedInAfterLogin();
  logic.wb1BeforeNavigate2(u"http://www.pelora.example/");
  EXPECT_TRUE(view.Opened.empty());
}

TEST_F(Pages, CatcherRoutesNothingBeforeItIsArmed) {
  FakeView v;
  TfrmMainLogic l(v);
  bool cancel = false;
  l.wb2BeforeNavigate2(UserCentreRoot, cancel);
  l.wb2BeforeNavigate2(u"http://news.example.com/", cancel);
  EXPECT_FALSE(cancel);
  EXPECT_TRUE(v.Opened.empty());
  EXPECT_TRUE(v.LogOf("ExecScript").empty());
}

TEST_F(Pages, SixAddressesGoToTheDefaultBrowser) {
  for (const std::u16string* a : {&UserCentreRoot, &RegistrationPage, &MyGetPage,
                                  &ClientDownloadPage, &NumberSiteRoot, &ProductHomePage}) {
    for (bool loggedIn : {false, true}) {
      if (loggedIn) LoggedInAfterLogin();
      view.Opened.clear();
      bool cancel = false;
      logic.wb2BeforeNavigate2(*a, cancel);
      EXPECT_TRUE(cancel);
      EXPECT_EQ(view.Opened.size(), 1u);
      EXPECT_TRUE(view.LogOf("ExecScript").empty());
    }
  }
}

TEST_F(Pages, OtherAddressesAreHandedToTheDesktop) {
  bool cancel = false;
  logic.wb2BeforeNavigate2(u"http://news.example.com/item?id=5", cancel);
  EXPECT_TRUE(cancel);
  EXPECT_TRUE(view.Opened.empty());
  ASSERT_EQ(view.Scripts.size(), 1u);
  EXPECT_EQ(view.Scripts[0],
            u"window.RuDezu.App.osBrowseOpenUrl('{data:\"http://news.example.com/item?id=5\"}')");
  EXPECT_TRUE(view.Logged("ExecScript JavaScript"));
  // Near misses of the six are no exception.
  cancel = false;
  logic.wb2BeforeNavigate2(u"http://id.pelora.example", cancel);
  EXPECT_TRUE(cancel);
  EXPECT_EQ(view.Scripts.size(), 2u);
  EXPECT_TRUE(view.Opened.empty());
}

TEST_F(Pages, FailingOrMissingDesktopStillDropsTheWindow) {
  view.ScriptFails = true;
  bool cancel = false;
  EXPECT_NO_THROW(logic.wb2BeforeNavigate2(u"http://x.example/", cancel));
  EXPECT_TRUE(cancel);
  view.ScriptFails = false;
  view.HasDocument = false;
  cancel = false;
  EXPECT_NO_THROW(logic.wb2BeforeNavigate2(u"http://x.example/", cancel));
  EXPECT_TRUE(cancel);
  EXPECT_TRUE(view.Opened.empty());
}

TEST_F(Pages, TestButtonHandsTheFixedAddress) {
  logic.btn4Click();
  ASSERT_EQ(view.Scripts.size(), 1u);
  EXPECT_EQ(view.Scripts[0], OpenUrlScript(TestAddress));
  view.ScriptFails = true;
  EXPECT_NO_THROW(logic.btn4Click());
}

TEST_F(Pages, FocusEnteringThePageSchedulesTheFocus) {
  logic.wb1Enter();
  EXPECT_TRUE(view.TimerRunning(T::tmrCloseButton));
}

using Tray = BroviaTest;

TEST_F(Tray, CloseOnlyHides) {
  Start();
  TCloseAction action = TCloseAction::caFree;
  logic.FormClose(action);
  EXPECT_EQ(action, TCloseAction::caNone);
  EXPECT_FALSE(view.Shown);
  EXPECT_FALSE(view.Terminated);
  EXPECT_TRUE(view.TrayVisible);
}

TEST_F(Tray, ShowBringsTheWindowBackFullScreenWithTheTabFloating) {
  Start();
  logic.imgHoverClick();
  RunFloat();
  logic.tmrAutoHideTimer();
  RunFloat();  // tab hidden, next run shows
  logic.btnCloseClick();
  view.Log.clear();
  logic.N2Click();
  EXPECT_EQ(view.Log.front(), "Show");
  EXPECT_TRUE(view.Shown);
  EXPECT_EQ(view.State, TWindowState::wsMaximized);
  EXPECT_TRUE(logic.FullScreen());
  EXPECT_TRUE(view.TimerRunning(T::tmrFloat));
  EXPECT_TRUE(view.TimerRunning(T::tmrCloseButton));
  RunFloat();
  EXPECT_EQ(view.TabTop(), 0);
}

TEST_F(Tray, ShowFromWindowModeSwitchesToFullScreen) {
  Start();
  logic.ToggleFullScreen();
  view.Bounds_[C::frmMain] = {10, 20, 700, 400};
  logic.TrayIconDblClick();
  EXPECT_TRUE(logic.FullScreen());
  EXPECT_EQ(view.State, TWindowState::wsMaximized);
  EXPECT_EQ(view.Bounds(C::frmMain), (TBounds{0, 0, 1024, 768}));
  // Maximised before the switch: the earlier saved bounds stay.
  EXPECT_EQ(logic.SavedBounds(), (TBounds{293, 110, 800, 500}));
  // Shown again while already maximised and full screen: no second switch.
  view.Log.clear();
  logic.N2Click();
  EXPECT_TRUE(view.LogOf("WindowState").empty());
  EXPECT_TRUE(view.LogOf("Border").empty());
}

TEST_F(Tray, HideAboutAndExit) {
  Start();
  logic.N3Click();
  EXPECT_FALSE(view.Shown);
  logic.N4Click();
  EXPECT_EQ(view.Opened, (std::vector<std::string>{"http://www.pelora.example/"}));
  EXPECT_FALSE(view.Shown) << "the window stays as it was";
  EXPECT_FALSE(view.Terminated);
  logic.N1Click();
  EXPECT_TRUE(view.Terminated);
}

}  // namespace
}  // namespace brovia
