#include "MainLogic.h"

#include <exception>

#include "Addresses.h"
#include "DesktopScript.h"
#include "Layout.h"
#include "StartUp.h"
#include "Texts.h"
#include "platform/ansi.h"
#include "platform/module.h"

namespace brovia {

using C = TControlId;
using T = TTimerId;

TfrmMainLogic::TfrmMainLogic(IMainView& view) : View(view) {}

std::string TfrmMainLogic::ProgramFolder() const {
  return plat::ExtractFilePath(View.ProgramPath());
}

// ---------------------------------------------------------------------------------------
// Start-up

void TfrmMainLogic::FormCreate() {
  const std::string folder = ProgramFolder();
  const std::vector<std::string> args = View.Arguments();

  // The updater, only when started without any argument.
  const std::string updater = folder + UpdaterFile;
  if (args.empty() && View.FileExists(updater))
    RunProgram(updater, UpdaterParameters(View.ProgramPath()));

  if (IsIE6()) {
    View.SetTrayIconVisible(false);
    const unsigned flags = win::kMbYesNo | win::kMbIconInformation | win::kMbDefButton2;
    const std::string installer = folder + BrowserInstallerFile;
    if (View.FileExists(installer)) {
      // Quoted: unquoted, a folder with blanks ("C:\Program Files\...") would have the
      // system try to start "C:\Program" first.
      if (View.ShowMessageBox(UpgradePrompt, PromptCaption, flags) == win::kIdYes)
        View.RunCommandLine("\"" + installer + "\"");
    } else {
      if (View.ShowMessageBox(DownloadPrompt, PromptCaption, flags) == win::kIdYes)
        View.OpenInDefaultBrowser(plat::WideToAnsi(ClientDownloadPage));
    }
    View.Terminate();
    return;
  }

  View.SetTrayIconVisible(true);
  ShowWelcome(true);
  ShowWelcome(false);
  FFullScreen = false;
  FDesktopLoading = false;
  View.SetSilent(C::wb1, true);
  View.SetSilent(C::wb2, true);
  FHideTitle = false;
  View.SetDoubleBuffered(C::pnlScreen, true);
  View.SetDoubleBuffered(C::frmMain, true);
  View.SetDoubleBuffered(C::wb1, true);
  FLoggedIn = false;
  if (View.FileExists(folder + WelcomePictureFile))
    View.LoadWelcomePicture(folder + WelcomePictureFile);
  if (View.FileExists(folder + LoadingPictureFile))
    View.LoadLoadingPicture(folder + LoadingPictureFile);
  CenterLogingPanel();

  try {
    View.Navigate(C::wb1, args.empty() ? DesktopLoginPage : plat::AnsiToWide(args[0]));
  } catch (const std::exception&) {
    View.Terminate();
    return;
  }

  FFullScreen = false;
  ToggleFullScreen();
  Fwb2Tag = 1;
  View.AnimateLoadingPicture();
}

bool TfrmMainLogic::IsIE6() {
  std::string value;
  if (!View.ReadRegistryString(BrowserVersionKey, BrowserVersionValue, value)) return false;
  return IsIE6Version(value);
}

void TfrmMainLogic::RunProgram(const std::string& fileName, const std::string& parameters) {
  try {
    View.StartProgram(fileName, parameters);
  } catch (const std::exception&) {
  }
}

// ---------------------------------------------------------------------------------------
// Modes and the title tab

void TfrmMainLogic::ToggleFullScreen() { ToggleFullScreen(false); }

void TfrmMainLogic::ToggleFullScreen(bool keepSavedBounds) {
  if (FFullScreen) {
    View.SetWidth(C::frmMain, FSavedWidth);
    View.SetHeight(C::frmMain, FSavedHeight);
    View.SetLeft(C::frmMain, FSavedLeft);
    View.SetTop(C::frmMain, FSavedTop);
    View.SetBorderStyle(TBorderStyle::bsSizeable);
    View.SetAlign(C::wb1, TAlign::alClient);
  } else {
    View.SetAlign(C::wb1, TAlign::alNone);
    if (!keepSavedBounds && View.WindowState() != TWindowState::wsMaximized) {
      const TBounds b = View.Bounds(C::frmMain);
      FSavedWidth = b.Width;
      FSavedHeight = b.Height;
      FSavedTop = b.Top;
      FSavedLeft = b.Left;
    }
    View.SetLeft(C::frmMain, 0);
    View.SetTop(C::frmMain, 0);
    View.SetWidth(C::frmMain, View.ScreenWidth());
    View.SetHeight(C::frmMain, View.ScreenHeight());
    View.SetBorderStyle(TBorderStyle::bsNone);
    View.SetLeft(C::pnlScreen, CenteredTabLeft(View.ScreenWidth(), View.Bounds(C::pnlScreen).Width));
    if (!FHideTitle) View.StartTimer(T::tmrFloat);
  }
  FFullScreen = !FFullScreen;
  View.SetVisible(C::pnlScreen, FFullScreen);
  View.SetVisible(C::stat1, !FFullScreen);
  View.SetVisible(C::pnl_Progress, !FFullScreen);
}

void TfrmMainLogic::FormResize() {
  const TBounds window = View.Bounds(C::frmMain);
  View.SetTop(C::wb1, -2);
  View.SetLeft(C::wb1, -2);
  View.SetWidth(C::wb1, window.Width + 4);
  View.SetHeight(C::wb1, window.Height + 4);
  CenterLogingPanel();
  ScheduleBrowserFocus();
}

void TfrmMainLogic::SetTitleRegion() {
  const TBounds tab = View.Bounds(C::pnlScreen);
  View.SetRegion(C::pnlScreen, TitleRegionPolygon(tab.Width, tab.Height));
}

bool TfrmMainLogic::AutoHide() const { return View.Visible(C::btnHover); }

void TfrmMainLogic::tmrFloatTimer() {
  if (!AutoHide()) {
    View.StopTimer(T::tmrFloat);
    View.SetTop(C::pnlScreen, 0);
    return;
  }
  const TBounds tab = View.Bounds(C::pnlScreen);
  if (FHideTitle) {
    if (tab.Top > -tab.Height) {
      View.SetTop(C::pnlScreen, tab.Top - 10);
      return;
    }
  } else if (tab.Top < 0) {
    View.SetTop(C::pnlScreen, tab.Top + (tab.Top + 10 <= 0 ? 10 : 9));
    return;
  }
  FHideTitle = !FHideTitle;
  View.StopTimer(T::tmrFloat);
}

void TfrmMainLogic::tmrAutoHideTimer() {
  FHideTitle = true;
  View.StartTimer(T::tmrFloat);
}

void TfrmMainLogic::tmr2Timer() {
  View.StopTimer(T::tmr2);
  ToggleFullScreen();
  Fwb1Tag = 0;
}

void TfrmMainLogic::imgHoverClick() {
  View.SetVisible(C::btnHover, true);
  View.SetVisible(C::imgHover, false);
}

void TfrmMainLogic::btnHoverClick() {
  View.SetVisible(C::imgHover, true);
  View.SetVisible(C::btnHover, false);
}

void TfrmMainLogic::img1MouseLeave() {
  TPoint cursor;
  if (!View.CursorPos(cursor)) return;
  if (cursor.Y >= View.Bounds(C::img1).Height && AutoHide()) {
    View.StartTimer(T::tmrFloat);
    FHideTitle = true;
  }
}

void TfrmMainLogic::ApplicationEvents1Message(const TQueuedMessage& msg, bool& handled) {
  handled = false;
  if (msg.Message == win::kWmKeyDown) {
    if (msg.WParam == win::kVkF11) {
      ToggleFullScreen();
    } else if (msg.WParam == win::kVkEscape) {
      if (!FHideTitle) View.StartTimer(T::tmrFloat);
    }
  } else if (msg.Message == win::kWmMouseMove && AutoHide()) {
    const TBounds tab = View.Bounds(C::pnlScreen);
    if (msg.Pt.Y == 0 && msg.Pt.X > tab.Left && msg.Pt.X < tab.Left + tab.Width && !FHideTitle)
      View.StartTimer(T::tmrFloat);
  }
}

void TfrmMainLogic::btnCloseClick() { View.CloseWindow(); }

void TfrmMainLogic::btnMinClick() { View.SetWindowState(TWindowState::wsMinimized); }

void TfrmMainLogic::btnRestoreClick() { ToggleFullScreen(); }

bool TfrmMainLogic::WMNCLButtonDblClk() {
  switch (View.BorderStyle()) {
    case TBorderStyle::bsNone:
      return true;
    case TBorderStyle::bsSizeable:
    case TBorderStyle::bsSizeToolWin:
      View.CancelMode();
      if (View.WindowState() == TWindowState::wsMaximized)
        View.SetWindowState(TWindowState::wsNormal);
      else if (View.WindowState() == TWindowState::wsNormal)
        View.SendSysCommand(win::kScMaximize);
      View.Repaint(C::frmMain);
      return false;
    default:
      return false;
  }
}

bool TfrmMainLogic::WMSysCommand(unsigned command) {
  ScheduleBrowserFocus();
  if (command == win::kScMaximize ||
      (command == win::kScRestore && View.WindowState() != TWindowState::wsMinimized)) {
    // A window already in full screen is laid out afresh; its bounds are the screen's,
    // so the ones saved for window mode are kept.
    const bool wasFullScreen = FFullScreen;
    FFullScreen = false;
    ToggleFullScreen(wasFullScreen);
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------
// Welcome screen and keyboard focus

void TfrmMainLogic::ShowWelcome(bool show) {
  if (show) {
    View.SetVisible(C::pnl_Welcome, true);
    View.SetParent(C::pnlScreen, C::pnl_Welcome);
    SetTitleRegion();
    View.SetAlign(C::pnl_Welcome, TAlign::alClient);
    CenterLogingPanel();
    FDesktopLoading = false;
  } else {
    View.SetVisible(C::pnl_Welcome, false);
    View.SetParent(C::pnlScreen, C::frmMain);
    SetTitleRegion();
  }
}

void TfrmMainLogic::CenterLogingPanel() {
  const TBounds welcome = View.Bounds(C::pnl_Welcome);
  const TBounds panel = View.Bounds(C::pnlLoging);
  const TPoint p = LogingPanelPosition(welcome.Width, welcome.Height, panel.Width, panel.Height);
  View.SetLeft(C::pnlLoging, p.X);
  View.SetTop(C::pnlLoging, p.Y);
}

void TfrmMainLogic::ScheduleBrowserFocus() {
  View.SetVisible(C::btnFocuswb, true);
  if (View.Visible(C::btnFocuswb)) View.StartTimer(T::tmrCloseButton);
}

void TfrmMainLogic::tmrCloseButtonTimer() {
  try {
    View.StopTimer(T::tmrCloseButton);
    View.SetVisible(C::btnFocuswb, true);
    View.SetFocus(C::btnFocuswb);
    View.SendClick(C::btnFocuswb);
  } catch (const std::exception&) {
    View.SetVisible(C::btnFocuswb, true);
  }
}

void TfrmMainLogic::btnFocuswbClick() {
  View.SetVisible(C::btnFocuswb, false);
  FocusBrowser();
}

void TfrmMainLogic::FocusBrowser() { View.FocusPage(); }

// ---------------------------------------------------------------------------------------
// Page events

void TfrmMainLogic::wb1BeforeNavigate2(const std::u16string& url) {
  try {
    if (SameAddress(url, DesktopRootPage)) FDesktopLoading = true;
    if (SameAddress(url, ProductHomePage) && !FLoggedIn)
      View.OpenInDefaultBrowser(plat::WideToAnsi(url));
  } catch (const std::exception&) {
  }
}

void TfrmMainLogic::wb1ProgressChange(int progress, int progressMax) {
  View.SetProgressMax(progressMax);
  View.SetProgressPosition(progress);
  // Widened, so that no report of the control can overflow the difference.
  if (FDesktopLoading &&
      static_cast<long long>(progressMax) - progress < static_cast<long long>(progressMax / 2))
    ShowWelcome(true);
}

void TfrmMainLogic::wb1StatusTextChange(const std::u16string& text) {
  View.SetStatusText(plat::WideToAnsi(text));
}

void TfrmMainLogic::wb1DocumentComplete(const std::u16string& url) {
  if (Fwb1Tag == 0) {
    Fwb1Tag = 1;
    FormResize();
    ShowWelcome(false);
    if (View.Visible(C::imgHover)) imgHoverClick();
    if (!FFullScreen) View.SetAlign(C::wb1, TAlign::alClient);
    if (SameAddress(url, DesktopRootPage)) FLoggedIn = true;
    return;
  }
  if (SameAddress(url, DesktopLoginPage)) {
    FLoggedIn = false;
    Fwb1Tag = 0;
    if (FFullScreen) View.StartTimer(T::tmr2);
  }
  if (SameAddress(url, DesktopRootPage)) {
    FLoggedIn = true;
    View.StartTimer(T::tmrCloseWelcome);
  }
  ScheduleBrowserFocus();
}

void TfrmMainLogic::wb1Enter() { ScheduleBrowserFocus(); }

void TfrmMainLogic::wb2BeforeNavigate2(const std::u16string& url, bool& cancel) {
  if (Fwb2Tag != 1) return;
  if (OpensInDefaultBrowser(url))
    View.OpenInDefaultBrowser(plat::WideToAnsi(url));
  else
    OpenUrlInDesktop(url);
  cancel = true;
}

void TfrmMainLogic::RunDesktopScript(const std::u16string& script) {
  try {
    View.ExecScript(script, DesktopScriptLanguage);
  } catch (const std::exception&) {
  }
}

void TfrmMainLogic::OpenUrlInDesktop(const std::u16string& address) {
  RunDesktopScript(OpenUrlScript(address));
}

void TfrmMainLogic::btn4Click() { RunDesktopScript(OpenUrlScript(TestAddress)); }

void TfrmMainLogic::tmrCloseWelcomeTimer() {
  View.StopTimer(T::tmrCloseWelcome);
  ShowWelcome(false);
  View.Repaint(C::wb1);
}

// ---------------------------------------------------------------------------------------
// Close and tray icon

void TfrmMainLogic::FormClose(TCloseAction& action) {
  action = TCloseAction::caNone;
  View.HideWindow();
}

void TfrmMainLogic::TrayIconDblClick() { N2Click(); }

void TfrmMainLogic::N1Click() { View.Terminate(); }

void TfrmMainLogic::N2Click() {
  View.ShowWindow();
  if (View.WindowState() != TWindowState::wsMaximized)
    View.SetWindowState(TWindowState::wsMaximized);
  if (!FFullScreen) ToggleFullScreen();
  if (!FHideTitle) View.StartTimer(T::tmrFloat);
  ScheduleBrowserFocus();
}

void TfrmMainLogic::N3Click() { View.HideWindow(); }

void TfrmMainLogic::N4Click() { View.OpenInDefaultBrowser(plat::WideToAnsi(ProductHomePage)); }

}  // namespace brovia
