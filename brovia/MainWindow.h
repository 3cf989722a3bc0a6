// Brovia's main window: the web desktop in a browser control, the floating title tab, the
// welcome screen, the status and progress bars, the timers and the notification-area icon.
// What the window does lies in brovia::TfrmMainLogic: the form forwards its events there, and
// the logic acts on the form through TMainWindowView.
#pragma once
#include "MainLogic.h"
#include "MainView.h"

#include <string>
#include <vector>

#include "ui/Application.h"
#include "ui/Buttons.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"
#include "ui/Menus.h"
#include "ui/OleCtrls.h"
#include "ui/StdCtrls.h"
#include "ui/TrayIcon.h"

class TfrmMain;

// The main window as its logic sees it: the components by their ids, the window as a whole,
// the timers, the browser controls, the tray icon and the system.
class TMainWindowView : public brovia::IMainView {
public:
  explicit TMainWindowView(TfrmMain& form) : FForm(form) {}

  brovia::TBounds Bounds(brovia::TControlId control) const override;
  void SetLeft(brovia::TControlId control, int left) override;
  void SetTop(brovia::TControlId control, int top) override;
  void SetWidth(brovia::TControlId control, int width) override;
  void SetHeight(brovia::TControlId control, int height) override;
  bool Visible(brovia::TControlId control) const override;
  void SetVisible(brovia::TControlId control, bool visible) override;
  void SetAlign(brovia::TControlId control, brovia::TAlign align) override;
  void SetParent(brovia::TControlId control, brovia::TControlId parent) override;
  void SetRegion(brovia::TControlId control, const std::vector<brovia::TPoint>& polygon) override;
  void SetDoubleBuffered(brovia::TControlId control, bool on) override;
  void Repaint(brovia::TControlId control) override;
  void SetFocus(brovia::TControlId control) override;
  void SendClick(brovia::TControlId control) override;
  brovia::TWindowState WindowState() const override;
  void SetWindowState(brovia::TWindowState state) override;
  brovia::TBorderStyle BorderStyle() const override;
  void SetBorderStyle(brovia::TBorderStyle style) override;
  void ShowWindow() override;
  void HideWindow() override;
  void CloseWindow() override;
  void CancelMode() override;
  void SendSysCommand(unsigned command) override;
  int ScreenWidth() const override;
  int ScreenHeight() const override;
  bool CursorPos(brovia::TPoint& pos) const override;
  void SetStatusText(const std::string& text) override;
  void SetProgressMax(int max) override;
  void SetProgressPosition(int position) override;
  void LoadWelcomePicture(const std::string& fileName) override;
  void LoadLoadingPicture(const std::string& fileName) override;
  void AnimateLoadingPicture() override;
  void StartTimer(brovia::TTimerId timer) override;
  void StopTimer(brovia::TTimerId timer) override;
  void Navigate(brovia::TControlId browser, const std::u16string& url) override;
  void SetSilent(brovia::TControlId browser, bool silent) override;
  bool ExecScript(const std::u16string& script, const std::u16string& language) override;
  bool FocusPage() override;
  void SetTrayIconVisible(bool visible) override;
  std::string ProgramPath() const override;
  std::vector<std::string> Arguments() const override;
  bool FileExists(const std::string& fileName) const override;
  bool ReadRegistryString(const std::string& key, const std::string& name,
                          std::string& value) override;
  void StartProgram(const std::string& fileName, const std::string& parameters) override;
  void RunCommandLine(const std::string& commandLine) override;
  void OpenInDefaultBrowser(const std::string& address) override;
  int ShowMessageBox(const std::string& text, const std::string& caption,
                     unsigned flags) override;
  void Terminate() override;

private:
  ui::TControl* Control(brovia::TControlId control) const;
  ui::TWinControl* WinControl(brovia::TControlId control) const;
  ui::TWebBrowser* Browser(brovia::TControlId browser) const;
  ui::TTimer* Timer(brovia::TTimerId timer) const;

  TfrmMain& FForm;
};

class TfrmMain : public ui::TForm {
public:
  TfrmMain();
  ~TfrmMain() override;

  // Components, in stacking order from the bottom (made in this order).
  ui::TWebBrowser* wb1;
  ui::TPanel* pnlScreen;
  ui::TImage* img1;
  ui::TSpeedButton* btnMin;
  ui::TSpeedButton* btnRestore;
  ui::TSpeedButton* btnClose;
  ui::TLabel* lb1;
  ui::TSpeedButton* btnHover;
  ui::TImage* imgHover;
  ui::TPanel* pnl_Welcome;
  ui::TImage* img2;
  ui::TPanel* pnlLoging;
  ui::TImage* imgLoging;
  ui::TPanel* pnl3;
  ui::TWebBrowser* wb2;
  ui::TButton* btn4;
  ui::TStatusBar* stat1;
  ui::TPanel* pnl_Progress;
  ui::TProgressBar* pb1;
  ui::TButton* btnFocuswb;
  ui::TApplicationEvents* ApplicationEvents1;
  ui::TTimer* tmrFloat;
  ui::TTimer* tmrAutoHide;
  ui::TTimer* tmr2;
  ui::TTimer* tmrCloseWelcome;
  ui::TTimer* tmrCloseButton;
  ui::TTrayIcon* TrayIcon;
  ui::TPopupMenu* pm1;
  ui::TMenuItem* N4;
  ui::TMenuItem* N2;
  ui::TMenuItem* N3;
  ui::TMenuItem* N1;

  brovia::TfrmMainLogic& Logic() { return FLogic; }

  // The document of the page in wb1, or null; the script call into the desktop and the page
  // focus go to it. Tests stand a document in here: the browser control under Wine has none.
  virtual IDispatch* PageDocument() { return wb1->Document(); }

protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  void CreateComponents();
  void LoadPictures();
  void ConnectEvents();

  TMainWindowView FView;
  brovia::TfrmMainLogic FLogic;
};

extern TfrmMain* frmMain;
