// What the main window's logic needs of the real window: the window and its components,
// the timers, the browser controls, the tray icon and the system. TfrmMainLogic acts on
// the window only through this interface; the program's window implements it, and tests
// implement it with a recording fake.
#pragma once
#include <string>
#include <vector>

#include "Layout.h"

namespace brovia {

// The window and the components of it that the logic touches.
enum class TControlId {
  frmMain,       // the window itself; its bounds are screen coordinates
  wb1,           // the web desktop's browser control
  wb2,           // the hidden catcher of new windows
  pnlScreen,     // the floating title tab
  img1,          // the tab's background picture
  btnHover,      // visible exactly while auto-hide is on
  imgHover,      // visible exactly while auto-hide is off
  pnl_Welcome,   // the welcome screen
  pnlLoging,     // the loading picture's panel on the welcome screen
  stat1,         // status bar, window mode only
  pnl_Progress,  // progress panel, window mode only
  btnFocuswb,    // the off-screen button through which the page gets the focus
};

enum class TTimerId {
  tmrFloat,         // 100 ms, one float step of the title tab
  tmrAutoHide,      // 10000 ms, on from the start, asks for a hide run
  tmr2,             // 200 ms, one-shot drop to window mode after a logout
  tmrCloseWelcome,  // 3000 ms, one-shot, hides the welcome screen
  tmrCloseButton,   // 1000 ms, one-shot, moves the keyboard focus into the page
};

enum class TWindowState { wsNormal, wsMinimized, wsMaximized };

enum class TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

enum class TAlign { alNone, alClient };

enum class TCloseAction { caNone, caHide, caFree, caMinimize };

// Win32 values the logic is given or passes on.
namespace win {
inline constexpr unsigned kWmKeyDown = 0x0100;
inline constexpr unsigned kWmMouseMove = 0x0200;
inline constexpr unsigned kVkEscape = 0x1B;
inline constexpr unsigned kVkF11 = 0x7A;
inline constexpr unsigned kScMaximize = 0xF030;
inline constexpr unsigned kScRestore = 0xF120;
inline constexpr unsigned kMbYesNo = 0x0004;
inline constexpr unsigned kMbIconInformation = 0x0040;
inline constexpr unsigned kMbDefButton2 = 0x0100;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;
}  // namespace win

// A message the application took from its queue: the message number, its wParam and the
// cursor's screen position when it was posted (MSG::pt).
struct TQueuedMessage {
  unsigned Message = 0;
  unsigned WParam = 0;
  TPoint Pt;
};

class IMainView {
public:
  virtual ~IMainView() = default;

  // --- The window and its components ---
  // Left, top, width and height: a component's within its parent, the window's on screen.
  virtual TBounds Bounds(TControlId control) const = 0;
  virtual void SetLeft(TControlId control, int left) = 0;
  virtual void SetTop(TControlId control, int top) = 0;
  virtual void SetWidth(TControlId control, int width) = 0;
  virtual void SetHeight(TControlId control, int height) = 0;
  // The Visible property (not whether the control can be seen on screen).
  virtual bool Visible(TControlId control) const = 0;
  virtual void SetVisible(TControlId control, bool visible) = 0;
  virtual void SetAlign(TControlId control, TAlign align) = 0;
  // Re-parents a control: parent is TControlId::frmMain or TControlId::pnl_Welcome.
  virtual void SetParent(TControlId control, TControlId parent) = 0;
  // Makes the polygon (winding fill) the control's window region, with redraw.
  virtual void SetRegion(TControlId control, const std::vector<TPoint>& polygon) = 0;
  virtual void SetDoubleBuffered(TControlId control, bool on) = 0;
  virtual void Repaint(TControlId control) = 0;
  // Gives the control the keyboard focus; throws plat::Exception when it can't take it.
  virtual void SetFocus(TControlId control) = 0;
  // Sends (synchronously) WM_LBUTTONDOWN with MK_LBUTTON and lParam 0, then WM_LBUTTONUP
  // with 0 and 0, which a button takes as a click; may throw.
  virtual void SendClick(TControlId control) = 0;

  // --- The window as a whole ---
  virtual TWindowState WindowState() const = 0;
  virtual void SetWindowState(TWindowState state) = 0;
  virtual TBorderStyle BorderStyle() const = 0;
  virtual void SetBorderStyle(TBorderStyle style) = 0;
  virtual void ShowWindow() = 0;
  virtual void HideWindow() = 0;
  // A close request (as Alt+F4); the window asks the logic's FormClose what to do.
  virtual void CloseWindow() = 0;
  // Ends any mode in progress, such as mouse capture (WM_CANCELMODE).
  virtual void CancelMode() = 0;
  // Sends the window WM_SYSCOMMAND with the command and lParam 0, synchronously.
  virtual void SendSysCommand(unsigned command) = 0;

  // --- Screen and cursor ---
  // The primary screen's size as the system metrics report it.
  virtual int ScreenWidth() const = 0;
  virtual int ScreenHeight() const = 0;
  // The cursor's screen position; false when it can't be read.
  virtual bool CursorPos(TPoint& pos) const = 0;

  // --- Status and progress ---
  // The first panel of the status bar (ANSI text).
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void SetProgressMax(int max) = 0;
  virtual void SetProgressPosition(int position) = 0;

  // --- Pictures ---
  // Load the welcome or loading picture from a file; throw plat::Exception when the file
  // can't be read as a picture.
  virtual void LoadWelcomePicture(const std::string& fileName) = 0;
  virtual void LoadLoadingPicture(const std::string& fileName) = 0;
  // When the loading picture holds an animated GIF image, switch its animation on.
  virtual void AnimateLoadingPicture() = 0;

  // --- Timers (window timers; handlers run on the window's thread) ---
  // Starting a running timer leaves it running as it was; stopping a stopped one does nothing.
  virtual void StartTimer(TTimerId timer) = 0;
  virtual void StopTimer(TTimerId timer) = 0;

  // --- Browser controls (TControlId::wb1 or TControlId::wb2) ---
  // Throws plat::Exception when the control refuses the navigation.
  virtual void Navigate(TControlId browser, const std::u16string& url) = 0;
  virtual void SetSilent(TControlId browser, bool silent) = 0;
  // Runs a script in wb1's page window (document's parentWindow.execScript), result
  // ignored. False when there is no HTML document or no page window; throws when the
  // script fails.
  virtual bool ExecScript(const std::u16string& script, const std::u16string& language) = 0;
  // Focuses wb1's page window (document's parentWindow.focus). False when there is no HTML
  // document or no page window.
  virtual bool FocusPage() = 0;

  // --- Tray icon ---
  virtual void SetTrayIconVisible(bool visible) = 0;

  // --- The system ---
  // The program's full path and its arguments (ANSI; the program name not included).
  virtual std::string ProgramPath() const = 0;
  virtual std::vector<std::string> Arguments() const = 0;
  virtual bool FileExists(const std::string& fileName) const = 0;
  // Opens the key under the local machine, creating it when missing, reads the string value
  // and closes the key. False when the key can't be opened; a missing value reads as "".
  virtual bool ReadRegistryString(const std::string& key, const std::string& name,
                                  std::string& value) = 0;
  // ShellExecuteExA: no owner, default verb, no working folder, SW_SHOWNORMAL; not waited
  // for. May throw.
  virtual void StartProgram(const std::string& fileName, const std::string& parameters) = 0;
  // WinExec with SW_SHOWNORMAL; not waited for.
  virtual void RunCommandLine(const std::string& commandLine) = 0;
  // ShellExecuteA with the verb "open", no parameters, SW_SHOWNORMAL, owned by the window.
  virtual void OpenInDefaultBrowser(const std::string& address) = 0;
  // A message box owned by the window; answers the button pressed (win::kIdYes, ...).
  virtual int ShowMessageBox(const std::string& text, const std::string& caption,
                             unsigned flags) = 0;
  // Tells the application to terminate: the message loop ends.
  virtual void Terminate() = 0;
};

}  // namespace brovia
