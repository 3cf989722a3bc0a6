#include <gtest/gtest.h>

#include "FakeView.h"

namespace brovia {
namespace {

using C = TControlId;
using T = TTimerId;

class Modes : public BroviaTest {
protected:
  void SetUp() override { Start(); }

  void AutoHideOn() { logic.imgHoverClick(); }

  void Key(unsigned vk) {
    bool handled = true;
    logic.ApplicationEvents1Message({win::kWmKeyDown, vk, {}}, handled);
    EXPECT_FALSE(handled);
  }

  void MouseAt(int x, int y) {
    bool handled = true;
    logic.ApplicationEvents1Message({win::kWmMouseMove, 0, {x, y}}, handled);
    EXPECT_FALSE(handled);
  }
};

TEST_F(Modes, F11TwiceComesBackAtTheSavedBounds) {
  Key(win::kVkF11);
  EXPECT_FALSE(logic.FullScreen());
  EXPECT_EQ(view.Bounds(C::frmMain), (TBounds{293, 110, 800, 500}));
  EXPECT_EQ(view.Border, TBorderStyle::bsSizeable);
  EXPECT_EQ(view.Align_[C::wb1], TAlign::alClient);
  EXPECT_FALSE(view.Visible(C::pnlScreen));
  EXPECT_TRUE(view.Visible(C::stat1));
  EXPECT_TRUE(view.Visible(C::pnl_Progress));
  // Width, height, left, top, in this order.
  EXPECT_EQ(view.LogOf("Width frmMain")[0], view.Log[0]);
  EXPECT_EQ(view.Log[1], "Height frmMain 500");
  EXPECT_EQ(view.Log[2], "Left frmMain 293");
  EXPECT_EQ(view.Log[3], "Top frmMain 110");

  // Move the window, enter and leave again: the new bounds are the saved ones.
  view.Bounds_[C::frmMain] = {40, 30, 640, 480};
  Key(win::kVkF11);
  EXPECT_TRUE(logic.FullScreen());
  EXPECT_EQ(logic.SavedBounds(), (TBounds{40, 30, 640, 480}));
  EXPECT_EQ(view.Bounds(C::frmMain), (TBounds{0, 0, 1024, 768}));
  EXPECT_EQ(view.Align_[C::wb1], TAlign::alNone);
  Key(win::kVkF11);
  EXPECT_EQ(view.Bounds(C::frmMain), (TBounds{40, 30, 640, 480}));
}

TEST_F(Modes, MaximisedWindowKeepsTheEarlierSavedBounds) {
  Key(win::kVkF11);
  view.State = TWindowState::wsMaximized;
  view.Bounds_[C::frmMain] = {-4, -4, 1032, 744};
  Key(win::kVkF11);
  EXPECT_EQ(logic.SavedBounds(), (TBounds{293, 110, 800, 500}));
  Key(win::kVkF11);
  EXPECT_EQ(view.Bounds(C::frmMain), (TBounds{293, 110, 800, 500}));
}

TEST_F(Modes, EnteringFullScreenFloatsTheTabInOnlyWhenTheNextRunShows) {
  Key(win::kVkF11);
  view.StopTimer(T::tmrFloat);
  Key(win::kVkF11);
  EXPECT_TRUE(view.TimerRunning(T::tmrFloat));
  logic.tmrAutoHideTimer();  // next run hides
  RunFloat();                // auto-hide off: pinned, direction kept
  ASSERT_TRUE(logic.HideTitle());
  Key(win::kVkF11);
  Key(win::kVkF11);
  EXPECT_FALSE(view.TimerRunning(T::tmrFloat));
  EXPECT_TRUE(logic.FullScreen());
}

TEST_F(Modes, EnteringFullScreenCentresTheTabOnTheScreen) {
  Key(win::kVkF11);
  view.ScreenW = 1281;
  view.ScreenH = 1024;
  Key(win::kVkF11);
  EXPECT_EQ(view.Bounds(C::frmMain), (TBounds{0, 0, 1281, 1024}));
  EXPECT_EQ(view.Bounds(C::pnlScreen).Left, 519);
  EXPECT_EQ(view.Border, TBorderStyle::bsNone);
}

TEST_F(Modes, FloatRunsWithAutoHideOffPinTheTab) {
  view.Bounds_[C::pnlScreen].Top = -20;
  logic.tmrAutoHideTimer();
  EXPECT_TRUE(logic.HideTitle());
  EXPECT_EQ(RunFloat(), 1);
  EXPECT_EQ(view.TabTop(), 0);
  EXPECT_TRUE(logic.HideTitle()) << "direction unchanged";
  EXPECT_FALSE(view.TimerRunning(T::tmrFloat));
}

TEST_F(Modes, HideAndShowRunsTakeTenPixelSteps) {
  AutoHideOn();
  EXPECT_EQ(RunFloat(), 1);  // the start-up show run finds the tab at the top
  EXPECT_TRUE(logic.HideTitle());

  view.Log.clear();
  view.StartTimer(T::tmrFloat);
  EXPECT_EQ(RunFloat(), 3);
  EXPECT_EQ(view.LogOf("Top pnlScreen"),
            (std::vector<std::string>{"Top pnlScreen -10", "Top pnlScreen -20"}));
  EXPECT_FALSE(logic.HideTitle());

  view.Log.clear();
  view.StartTimer(T::tmrFloat);
  EXPECT_EQ(RunFloat(), 3);
  EXPECT_EQ(view.LogOf("Top pnlScreen"),
            (std::vector<std::string>{"Top pnlScreen -10", "Top pnlScreen 0"}));
  EXPECT_TRUE(logic.HideTitle());
}

TEST_F(Modes, ShowRunFromAShallowTopMovesByNine) {
  AutoHideOn();
  RunFloat();
  for (int top = -9; top <= -1; ++top) {
    view.Bounds_[C::pnlScreen].Top = top;
    // Make the next run a show run.
    while (logic.HideTitle()) {
      view.StartTimer(T::tmrFloat);
      RunFloat();
    }
    view.Bounds_[C::pnlScreen].Top = top;
    view.StartTimer(T::tmrFloat);
    EXPECT_EQ(RunFloat(), 2) << top;
    EXPECT_EQ(view.TabTop(), top + 9);
  }
  // From -11: a whole step of 10, then one of 9.
  while (logic.HideTitle()) {
    view.StartTimer(T::tmrFloat);
    RunFloat();
  }
  view.Bounds_[C::pnlScreen].Top = -11;
  view.StartTimer(T::tmrFloat);
  RunFloat();
  EXPECT_EQ(view.TabTop(), 8);
}

TEST_F(Modes, TallerTabHidesCompletely) {
  AutoHideOn();
  RunFloat();
  view.Bounds_[C::pnlScreen].Height = 25;
  view.StartTimer(T::tmrFloat);
  RunFloat();
  EXPECT_EQ(view.TabTop(), -30);
}

TEST_F(Modes, AutoHideTimerHidesEvenUnderTheCursor) {
  AutoHideOn();
  RunFloat();
  view.Cursor = {500, 0};
  logic.tmrAutoHideTimer();
  RunFloat();
  EXPECT_EQ(view.TabTop(), -20);
  EXPECT_FALSE(logic.HideTitle());
}

TEST_F(Modes, AutoHideSwitchShowsOneOfTwoControls) {
  EXPECT_FALSE(logic.AutoHide());
  logic.imgHoverClick();
  EXPECT_TRUE(logic.AutoHide());
  EXPECT_TRUE(view.Visible(C::btnHover));
  EXPECT_FALSE(view.Visible(C::imgHover));
  logic.btnHoverClick();
  EXPECT_FALSE(logic.AutoHide());
  EXPECT_FALSE(view.Visible(C::btnHover));
  EXPECT_TRUE(view.Visible(C::imgHover));
}

class HiddenTab : public Modes {
protected:
  void SetUp() override {
    Modes::SetUp();
    AutoHideOn();
    RunFloat();
    logic.tmrAutoHideTimer();
    RunFloat();
    ASSERT_EQ(view.TabTop(), -20);
    ASSERT_FALSE(logic.HideTitle());
    view.Log.clear();
  }
};

TEST_F(HiddenTab, EscBringsItBack) {
  Key(win::kVkEscape);
  EXPECT_TRUE(view.TimerRunning(T::tmrFloat));
  RunFloat();
  EXPECT_EQ(view.TabTop(), 0);
}

TEST_F(HiddenTab, EscWhileShownDoesNothing) {
  Key(win::kVkEscape);
  RunFloat();
  view.Log.clear();
  Key(win::kVkEscape);
  EXPECT_FALSE(view.TimerRunning(T::tmrFloat));
  EXPECT_TRUE(view.Log.empty());
}

TEST_F(HiddenTab, TopRowInsideTheTabBringsItBack) {
  const TBounds tab = view.Bounds(C::pnlScreen);  // 390..633 on a 1024 screen
  MouseAt(tab.Left, 0);
  MouseAt(tab.Left + tab.Width, 0);
  MouseAt(tab.Left + 1, 1);
  MouseAt(tab.Left + 1, -1);
  EXPECT_FALSE(view.TimerRunning(T::tmrFloat));
  MouseAt(tab.Left + 1, 0);
  EXPECT_TRUE(view.TimerRunning(T::tmrFloat));
  view.StopTimer(T::tmrFloat);
  MouseAt(tab.Left + tab.Width - 1, 0);
  EXPECT_TRUE(view.TimerRunning(T::tmrFloat));
}

TEST_F(HiddenTab, TopRowDoesNothingWithAutoHideOff) {
  logic.btnHoverClick();
  MouseAt(500, 0);
  EXPECT_FALSE(view.TimerRunning(T::tmrFloat));
}

TEST_F(HiddenTab, OtherMessagesAndKeysDoNothing) {
  Key('A');
  Key(win::kVkF11 + 1);
  bool handled = false;
  logic.ApplicationEvents1Message({0x0101 /* WM_KEYUP */, win::kVkF11, {500, 0}}, handled);
  logic.ApplicationEvents1Message({0x0201 /* WM_LBUTTONDOWN */, 0, {500, 0}}, handled);
  EXPECT_FALSE(handled);
  EXPECT_TRUE(view.Log.empty());
}

TEST_F(Modes, LeavingTheTabBelowItsRowsHidesIt) {
  AutoHideOn();
  RunFloat();
  logic.btnHoverClick();
  view.Cursor = {500, 19};
  logic.img1MouseLeave();
  EXPECT_FALSE(view.TimerRunning(T::tmrFloat)) << "auto-hide off";
  AutoHideOn();
  view.Cursor = {500, 18};
  logic.img1MouseLeave();
  EXPECT_FALSE(view.TimerRunning(T::tmrFloat)) << "still within the tab's rows";
  view.Cursor = {500, 19};
  logic.img1MouseLeave();
  EXPECT_TRUE(view.TimerRunning(T::tmrFloat)) << "first row below the tab";
  view.StopTimer(T::tmrFloat);
  view.CursorReadable = false;
  view.Cursor = {500, 300};
  logic.img1MouseLeave();
  EXPECT_FALSE(view.TimerRunning(T::tmrFloat)) << "cursor unknown";
  view.CursorReadable = true;
  logic.img1MouseLeave();
  EXPECT_TRUE(view.TimerRunning(T::tmrFloat));
  EXPECT_TRUE(logic.HideTitle());
  RunFloat();
  EXPECT_EQ(view.TabTop(), -20);
}

TEST_F(Modes, TitleButtons) {
  logic.btnMinClick();
  EXPECT_EQ(view.State, TWindowState::wsMinimized);
  logic.btnRestoreClick();
  EXPECT_FALSE(logic.FullScreen());
  logic.btnCloseClick();
  EXPECT_FALSE(view.Shown);
  EXPECT_FALSE(view.Terminated) << "closing only hides";
}

TEST_F(Modes, ResizeStretchesThePageBeyondTheEdges) {
  view.Bounds_[C::frmMain] = {0, 0, 1280, 1024};
  logic.FormResize();
  EXPECT_EQ(view.Bounds(C::wb1), (TBounds{-2, -2, 1284, 1028}));
  EXPECT_TRUE(view.TimerRunning(T::tmrCloseButton));
  EXPECT_TRUE(view.Logged("Left pnlLoging 533"));
  EXPECT_TRUE(view.Logged("Top pnlLoging 604"));
}

TEST_F(Modes, CaptionDoubleClickInTheNormalStateGoesFullScreen) {
  Key(win::kVkF11);
  view.Log.clear();
  EXPECT_FALSE(logic.WMNCLButtonDblClk());
  EXPECT_EQ(view.Log.front(), "CancelMode");
  EXPECT_TRUE(view.Logged("SysCommand 61488"));
  EXPECT_FALSE(view.Logged("DefaultSysCommand"));
  EXPECT_TRUE(logic.FullScreen());
  EXPECT_EQ(view.Log.back(), "Repaint frmMain");
}

TEST_F(Modes, CaptionDoubleClickOnAMaximisedWindowRestoresIt) {
  Key(win::kVkF11);
  view.State = TWindowState::wsMaximized;
  view.Log.clear();
  EXPECT_FALSE(logic.WMNCLButtonDblClk());
  EXPECT_EQ(view.State, TWindowState::wsNormal);
  EXPECT_FALSE(logic.FullScreen());
  EXPECT_TRUE(view.LogOf("SysCommand").empty());

  view.State = TWindowState::wsMinimized;
  view.Border = TBorderStyle::bsSizeToolWin;
  EXPECT_FALSE(logic.WMNCLButtonDblClk());
  EXPECT_EQ(view.State, TWindowState::wsMinimized);
  EXPECT_FALSE(logic.FullScreen());
}

TEST_F(Modes, CaptionDoubleClickWithoutBorderOrOtherBorders) {
  view.Log.clear();
  EXPECT_TRUE(logic.WMNCLButtonDblClk()) << "no border: default handling";
  EXPECT_TRUE(view.Log.empty());
  for (TBorderStyle b : {TBorderStyle::bsSingle, TBorderStyle::bsDialog, TBorderStyle::bsToolWindow}) {
    view.Border = b;
    EXPECT_FALSE(logic.WMNCLButtonDblClk());
    EXPECT_TRUE(view.Log.empty()) << "nothing at all";
  }
}

TEST_F(Modes, MaximiseAndRestoreCommandsGoFullScreen) {
  Key(win::kVkF11);
  view.Log.clear();
  EXPECT_FALSE(logic.WMSysCommand(win::kScMaximize));
  EXPECT_TRUE(logic.FullScreen());
  EXPECT_TRUE(view.TimerRunning(T::tmrCloseButton));
  // Already full screen: it stays so, laid out afresh, and the bounds saved on entering
  // are kept for the way back.
  view.ScreenW = 1280;
  EXPECT_FALSE(logic.WMSysCommand(win::kScMaximize));
  EXPECT_TRUE(logic.FullScreen());
  EXPECT_FALSE(logic.WMSysCommand(win::kScRestore));
  EXPECT_TRUE(logic.FullScreen());
  EXPECT_EQ(view.Bounds(C::frmMain), (TBounds{0, 0, 1280, 768}));
  EXPECT_EQ(logic.SavedBounds(), (TBounds{293, 110, 800, 500}));
  Key(win::kVkF11);
  EXPECT_EQ(view.Bounds(C::frmMain), (TBounds{293, 110, 800, 500}));
}

TEST_F(Modes, OtherCommandsGetDefaultHandling) {
  Key(win::kVkF11);
  EXPECT_TRUE(logic.WMSysCommand(0xF032));  // SC_MAXIMIZE with the caption hit-test
  EXPECT_TRUE(logic.WMSysCommand(0xF122));
  EXPECT_TRUE(logic.WMSysCommand(0xF020));  // SC_MINIMIZE
  EXPECT_FALSE(logic.FullScreen());
  view.State = TWindowState::wsMinimized;
  view.StopTimer(T::tmrCloseButton);
  EXPECT_TRUE(logic.WMSysCommand(win::kScRestore));
  EXPECT_FALSE(logic.FullScreen());
  EXPECT_TRUE(view.TimerRunning(T::tmrCloseButton)) << "every command schedules the focus";
}

TEST_F(Modes, LogoutDropToWindowMode) {
  logic.tmr2Timer();
  EXPECT_FALSE(view.TimerRunning(T::tmr2));
  EXPECT_FALSE(logic.FullScreen());
  EXPECT_EQ(logic.wb1Tag(), 0);
}

TEST_F(Modes, WelcomeScreenCarriesTheTab) {
  logic.ShowWelcome(true);
  EXPECT_TRUE(view.Visible(C::pnl_Welcome));
  EXPECT_EQ(view.Parent_[C::pnlScreen], C::pnl_Welcome);
  EXPECT_EQ(view.Region_[C::pnlScreen], TitleRegionPolygon(243, 19));
  EXPECT_EQ(view.Bounds(C::pnl_Welcome), (TBounds{0, 0, 1024, 768}));
  EXPECT_TRUE(view.Logged("Left pnlLoging 405"));
  EXPECT_TRUE(view.Logged("Top pnlLoging 476"));
  // The region follows the tab's size at the time.
  view.Bounds_[C::pnlScreen].Width = 200;
  logic.ShowWelcome(false);
  EXPECT_FALSE(view.Visible(C::pnl_Welcome));
  EXPECT_EQ(view.Parent_[C::pnlScreen], C::frmMain);
  EXPECT_EQ(view.Region_[C::pnlScreen], TitleRegionPolygon(200, 19));
}

TEST_F(Modes, FocusSequenceClicksTheOffScreenButton) {
  logic.ScheduleBrowserFocus();
  EXPECT_TRUE(view.Visible(C::btnFocuswb));
  EXPECT_TRUE(view.TimerRunning(T::tmrCloseButton));
  view.Log.clear();
  logic.tmrCloseButtonTimer();
  EXPECT_EQ(view.Log, (std::vector<std::string>{"Stop tmrCloseButton", "Visible btnFocuswb 1",
                                                "Focus btnFocuswb", "Click btnFocuswb",
                                                "Visible btnFocuswb 0", "FocusPage"}));
  EXPECT_FALSE(view.Visible(C::btnFocuswb));
}

TEST_F(Modes, FailedFocusLeavesTheButtonVisibleWithoutRetry) {
  view.FocusFails = true;
  logic.ScheduleBrowserFocus();
  view.Log.clear();
  EXPECT_NO_THROW(logic.tmrCloseButtonTimer());
  EXPECT_TRUE(view.Visible(C::btnFocuswb));
  EXPECT_FALSE(view.TimerRunning(T::tmrCloseButton));
  EXPECT_TRUE(view.LogOf("Click").empty());
  EXPECT_EQ(view.Log.back(), "Visible btnFocuswb 1");
  // A page without a document is simply not focused.
  view.HasDocument = false;
  view.FocusFails = false;
  EXPECT_NO_THROW(logic.btnFocuswbClick());
}

TEST_F(Modes, HiddenFocusButtonIsNotScheduled) {
  // A view whose button refuses to show (as a control on a hidden parent may report).
  struct StubbornView : FakeView {
    void SetVisible(TControlId c, bool v) override {
      FakeView::SetVisible(c, c == TControlId::btnFocuswb ? false : v);
    }
  } stubborn;
  TfrmMainLogic l(stubborn);
  l.ScheduleBrowserFocus();
  EXPECT_FALSE(stubborn.TimerRunning(T::tmrCloseButton));
}

}  // namespace
}  // namespace brovia
