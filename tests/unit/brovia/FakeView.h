// A recording stand-in for Brovia's main window: keeps the state the logic sets, answers
// from configurable facts and writes every action to a log the tests read.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

#include "MainLogic.h"
#include "platform/except.h"

namespace brovia {

class FakeView : public IMainView {
public:
  FakeView();

  // The logic that the window's own messages go back to (close requests, system commands
  // sent to itself, the simulated click); may stay null.
  TfrmMainLogic* Logic = nullptr;

  // --- Facts the tests set ---
  std::string Path = "C:\\Program Files\\Pelora Zuvi\\Brovia.exe";
  std::vector<std::string> Args;
  std::set<std::string> Files;
  bool RegistryOpens = true;
  std::string RegistryValue;
  int MessageBoxAnswer = win::kIdNo;
  bool NavigateFails = false;
  bool ScriptFails = false;
  bool HasDocument = true;
  bool FocusFails = false;
  bool StartProgramFails = false;
  bool CursorReadable = true;
  TPoint Cursor;
  int ScreenW = 1024;
  int ScreenH = 768;

  // --- State the logic sets ---
  std::map<TControlId, TBounds> Bounds_;
  std::map<TControlId, bool> Visible_;
  std::map<TControlId, TAlign> Align_;
  std::map<TControlId, TControlId> Parent_;
  std::map<TControlId, std::vector<TPoint>> Region_;
  std::map<TControlId, bool> DoubleBuffered_;
  std::map<TControlId, bool> Silent_;
  std::set<TTimerId> Running;
  TWindowState State = TWindowState::wsNormal;
  TBorderStyle Border = TBorderStyle::bsNone;
  bool Shown = true;
  bool TrayVisible = false;
  bool Terminated = false;
  std::string StatusText;
  int ProgressMax = 100;
  int ProgressPosition = 0;
  std::vector<std::string> Log;
  std::vector<std::string> Opened;  // addresses given to the default browser
  std::vector<std::u16string> Scripts;

  // Entries of the log that begin with the prefix.
  std::vector<std::string> LogOf(const std::string& prefix) const;
  bool Logged(const std::string& entry) const;
  bool TimerRunning(TTimerId t) const { return Running.count(t) != 0; }
  int TabTop() const { return Bounds_.at(TControlId::pnlScreen).Top; }

  // IMainView
  TBounds Bounds(TControlId control) const override;
  void SetLeft(TControlId control, int left) override;
  void SetTop(TControlId control, int top) override;
  void SetWidth(TControlId control, int width) override;
  void SetHeight(TControlId control, int height) override;
  bool Visible(TControlId control) const override;
  void SetVisible(TControlId control, bool visible) override;
  void SetAlign(TControlId control, TAlign align) override;
  void SetParent(TControlId control, TControlId parent) override;
  void SetRegion(TControlId control, const std::vector<TPoint>& polygon) override;
  void SetDoubleBuffered(TControlId control, bool on) override;
  void Repaint(TControlId control) override;
  void SetFocus(TControlId control) override;
  void SendClick(TControlId control) override;
  TWindowState WindowState() const override { return State; }
  void SetWindowState(TWindowState state) override;
  TBorderStyle BorderStyle() const override { return Border; }
  void SetBorderStyle(TBorderStyle style) override;
  void ShowWindow() override;
  void HideWindow() override;
  void CloseWindow() override;
  void CancelMode() override;
  void SendSysCommand(unsigned command) override;
  int ScreenWidth() const override { return ScreenW; }
  int ScreenHeight() const override { return ScreenH; }
  bool CursorPos(TPoint& pos) const override;
  void SetStatusText(const std::string& text) override;
  void SetProgressMax(int max) override;
  void SetProgressPosition(int position) override;
  void LoadWelcomePicture(const std::string& fileName) override;
  void LoadLoadingPicture(const std::string& fileName) override;
  void AnimateLoadingPicture() override;
  void StartTimer(TTimerId timer) override;
  void StopTimer(TTimerId timer) override;
  void Navigate(TControlId browser, const std::u16string& url) override;
  void SetSilent(TControlId browser, bool silent) override;
  bool ExecScript(const std::u16string& script, const std::u16string& language) override;
  bool FocusPage() override;
  void SetTrayIconVisible(bool visible) override;
  std::string ProgramPath() const override { return Path; }
  std::vector<std::string> Arguments() const override { return Args; }
  bool FileExists(const std::string& fileName) const override;
  bool ReadRegistryString(const std::string& key, const std::string& name,
                          std::string& value) override;
  void StartProgram(const std::string& fileName, const std::string& parameters) override;
  void RunCommandLine(const std::string& commandLine) override;
  void OpenInDefaultBrowser(const std::string& address) override;
  int ShowMessageBox(const std::string& text, const std::string& caption,
                     unsigned flags) override;
  void Terminate() override;
};

const char* Name(TControlId c);
const char* Name(TTimerId t);

}  // namespace brovia

#include <gtest/gtest.h>

namespace brovia {

// A window with its logic; Start() runs the normal start-up.
class BroviaTest : public ::testing::Test {
protected:
  BroviaTest() : logic(view) { view.Logic = &logic; }

  void Start() {
    logic.FormCreate();
    view.Log.clear();
  }

  // Runs float steps while tmrFloat runs (at most limit); answers how many ran.
  int RunFloat(int limit = 20) {
    int steps = 0;
    while (view.TimerRunning(TTimerId::tmrFloat) && steps < limit) {
      logic.tmrFloatTimer();
      ++steps;
    }
    return steps;
  }

  FakeView view;
  TfrmMainLogic logic;
};

}  // namespace brovia
