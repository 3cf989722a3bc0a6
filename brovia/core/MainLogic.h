// The behaviour of Brovia's main window: start-up, full-screen and window modes, the
// floating title tab with its auto-hide, the welcome screen, the keyboard focus sequence,
// page events with the routing of new windows, and the tray icon's menu. The window
// forwards its events to the methods named after them and lets this class act on it
// through IMainView.
//
// New windows (wb1's NewWindow2) need no logic here: the window hands the browser wb2's
// automation object, so every new window opens in the catcher wb2, whose navigation then
// reaches wb2BeforeNavigate2.
#pragma once
#include <string>

#include "MainView.h"

namespace brovia {

class TfrmMainLogic {
public:
  explicit TfrmMainLogic(IMainView& view);

  // --- Start-up ---
  // The start-up sequence; errors outside the guarded steps (updater start, first
  // navigation) propagate to the caller.
  void FormCreate();
  bool IsIE6();
  // Starts a program without waiting; every error on the way is swallowed.
  void RunProgram(const std::string& fileName, const std::string& parameters);

  // --- Modes and the title tab ---
  void ToggleFullScreen();
  void FormResize();
  void SetTitleRegion();
  void tmrFloatTimer();
  void tmrAutoHideTimer();
  void tmr2Timer();
  void imgHoverClick();
  void btnHoverClick();
  void img1MouseLeave();
  // Sees every message the application takes from its queue; never marks one handled.
  void ApplicationEvents1Message(const TQueuedMessage& msg, bool& handled);
  void btnCloseClick();
  void btnMinClick();
  void btnRestoreClick();
  // Answer true when the window must give the message its default handling.
  bool WMNCLButtonDblClk();
  bool WMSysCommand(unsigned command);

  // --- Welcome screen and keyboard focus ---
  void ShowWelcome(bool show);
  void CenterLogingPanel();
  void ScheduleBrowserFocus();
  void tmrCloseButtonTimer();
  void btnFocuswbClick();
  void FocusBrowser();

  // --- Page events ---
  void wb1BeforeNavigate2(const std::u16string& url);
  void wb1ProgressChange(int progress, int progressMax);
  void wb1StatusTextChange(const std::u16string& text);
  void wb1DocumentComplete(const std::u16string& url);
  void wb1Enter();
  // Sets cancel to true when the catcher routes the navigation.
  void wb2BeforeNavigate2(const std::u16string& url, bool& cancel);
  void OpenUrlInDesktop(const std::u16string& address);
  void btn4Click();
  void tmrCloseWelcomeTimer();

  // --- Close and tray icon ---
  void FormClose(TCloseAction& action);
  void TrayIconDblClick();
  void N1Click();  // exit
  void N2Click();  // show, full screen
  void N3Click();  // hide
  void N4Click();  // product home page in the default browser

  // Auto-hide is on exactly while btnHover is visible.
  bool AutoHide() const;

  // State, for the window and for tests.
  bool FullScreen() const { return FFullScreen; }
  TBounds SavedBounds() const { return {FSavedLeft, FSavedTop, FSavedWidth, FSavedHeight}; }
  bool HideTitle() const { return FHideTitle; }
  bool LoggedIn() const { return FLoggedIn; }
  bool DesktopLoading() const { return FDesktopLoading; }
  int wb1Tag() const { return Fwb1Tag; }
  int wb2Tag() const { return Fwb2Tag; }

private:
  // Entering full screen saves the window's bounds unless keepSavedBounds.
  void ToggleFullScreen(bool keepSavedBounds);
  void RunDesktopScript(const std::u16string& script);
  std::string ProgramFolder() const;

  IMainView& View;
  bool FFullScreen = false;
  int FSavedWidth = 800;
  int FSavedHeight = 500;
  int FSavedTop = 110;
  int FSavedLeft = 293;
  bool FHideTitle = false;
  bool FLoggedIn = false;
  bool FDesktopLoading = false;
  int Fwb1Tag = 0;
  int Fwb2Tag = 0;
};

}  // namespace brovia
