#include "FakeView.h"

#include "platform/ansi.h"

namespace brovia {

using C = TControlId;

const char* Name(TControlId c) {
  switch (c) {
    case C::frmMain: return "frmMain";
    case C::wb1: return "wb1";
    case C::wb2: return "wb2";
    case C::pnlScreen: return "pnlScreen";
    case C::img1: return "img1";
    case C::btnHover: return "btnHover";
    case C::imgHover: return "imgHover";
    case C::pnl_Welcome: return "pnl_Welcome";
    case C::pnlLoging: return "pnlLoging";
    case C::stat1: return "stat1";
    case C::pnl_Progress: return "pnl_Progress";
    case C::btnFocuswb: return "btnFocuswb";
  }
  return "?";
}

const char* Name(TTimerId t) {
  switch (t) {
    case TTimerId::tmrFloat: return "tmrFloat";
    case TTimerId::tmrAutoHide: return "tmrAutoHide";
    case TTimerId::tmr2: return "tmr2";
    case TTimerId::tmrCloseWelcome: return "tmrCloseWelcome";
    case TTimerId::tmrCloseButton: return "tmrCloseButton";
  }
  return "?";
}

namespace {
std::string S(int v) { return std::to_string(v); }
}  // namespace

FakeView::FakeView() {
  // The window as designed.
  Bounds_[C::frmMain] = {293, 110, 800, 500};
  Bounds_[C::wb1] = {0, 0, 800, 500};
  Bounds_[C::wb2] = {42, 0, 115, 63};
  Bounds_[C::pnlScreen] = {518, 0, 243, 19};
  Bounds_[C::img1] = {0, 0, 243, 19};
  Bounds_[C::btnHover] = {22, 0, 18, 16};
  Bounds_[C::imgHover] = {22, 0, 19, 17};
  Bounds_[C::pnl_Welcome] = {0, 0, 800, 500};
  Bounds_[C::pnlLoging] = {0, 0, 214, 15};
  Bounds_[C::stat1] = {0, 481, 800, 19};
  Bounds_[C::pnl_Progress] = {588, 485, 185, 12};
  Bounds_[C::btnFocuswb] = {-124, 224, 75, 25};
  for (C c : {C::wb1, C::wb2, C::img1, C::imgHover, C::pnl_Welcome, C::pnlLoging, C::btnFocuswb})
    Visible_[c] = true;
  for (C c : {C::pnlScreen, C::btnHover, C::stat1, C::pnl_Progress}) Visible_[c] = false;
  Parent_[C::pnlScreen] = C::frmMain;
  Running.insert(TTimerId::tmrAutoHide);
}

std::vector<std::string> FakeView::LogOf(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const std::string& e : Log)
    if (e.compare(0, prefix.size(), prefix) == 0) out.push_back(e);
  return out;
}

bool FakeView::Logged(const std::string& entry) const {
  for (const std::string& e : Log)
    if (e == entry) return true;
  return false;
}

TBounds FakeView::Bounds(TControlId control) const {
  auto align = Align_.find(control);
  if (align != Align_.end() && align->second == TAlign::alClient) {
    const TBounds& w = Bounds_.at(C::frmMain);
    return {0, 0, w.Width, w.Height};
  }
  return Bounds_.at(control);
}

void FakeView::SetLeft(TControlId c, int v) {
  Bounds_[c].Left = v;
  Log.push_back(std::string("Left ") + Name(c) + " " + S(v));
}
void FakeView::SetTop(TControlId c, int v) {
  Bounds_[c].Top = v;
  Log.push_back(std::string("Top ") + Name(c) + " " + S(v));
}
void FakeView::SetWidth(TControlId c, int v) {
  Bounds_[c].Width = v;
  Log.push_back(std::string("Width ") + Name(c) + " " + S(v));
}
void FakeView::SetHeight(TControlId c, int v) {
  Bounds_[c].Height = v;
  Log.push_back(std::string("Height ") + Name(c) + " " + S(v));
}

bool FakeView::Visible(TControlId c) const { return Visible_.at(c); }

void FakeView::SetVisible(TControlId c, bool v) {
  Visible_[c] = v;
  Log.push_back(std::string("Visible ") + Name(c) + " " + S(v));
}

void FakeView::SetAlign(TControlId c, TAlign a) {
  Align_[c] = a;
  Log.push_back(std::string("Align ") + Name(c) + (a == TAlign::alClient ? " client" : " none"));
}

void FakeView::SetParent(TControlId c, TControlId p) {
  Parent_[c] = p;
  Log.push_back(std::string("Parent ") + Name(c) + " " + Name(p));
}

void FakeView::SetRegion(TControlId c, const std::vector<TPoint>& polygon) {
  Region_[c] = polygon;
  Log.push_back(std::string("Region ") + Name(c));
}

void FakeView::SetDoubleBuffered(TControlId c, bool on) {
  DoubleBuffered_[c] = on;
  Log.push_back(std::string("DoubleBuffered ") + Name(c));
}

void FakeView::Repaint(TControlId c) { Log.push_back(std::string("Repaint ") + Name(c)); }

void FakeView::SetFocus(TControlId c) {
  Log.push_back(std::string("Focus ") + Name(c));
  if (FocusFails) throw plat::Exception("Cannot focus a disabled or invisible window");
}

void FakeView::SendClick(TControlId c) {
  Log.push_back(std::string("Click ") + Name(c));
  if (Logic && c == C::btnFocuswb) Logic->btnFocuswbClick();
}

void FakeView::SetWindowState(TWindowState s) {
  State = s;
  Log.push_back("WindowState " + S(static_cast<int>(s)));
}

void FakeView::SetBorderStyle(TBorderStyle b) {
  Border = b;
  Log.push_back("Border " + S(static_cast<int>(b)));
}

void FakeView::ShowWindow() {
  Shown = true;
  Log.push_back("Show");
}

void FakeView::HideWindow() {
  Shown = false;
  Log.push_back("Hide");
}

void FakeView::CloseWindow() {
  Log.push_back("Close");
  TCloseAction action = TCloseAction::caHide;
  if (Logic) Logic->FormClose(action);
  if (action != TCloseAction::caNone) Terminate();  // the main form closing ends the program
}

void FakeView::CancelMode() { Log.push_back("CancelMode"); }

void FakeView::SendSysCommand(unsigned command) {
  Log.push_back("SysCommand " + S(static_cast<int>(command)));
  if (Logic && Logic->WMSysCommand(command)) Log.push_back("DefaultSysCommand");
}

bool FakeView::CursorPos(TPoint& pos) const {
  if (!CursorReadable) return false;
  pos = Cursor;
  return true;
}

void FakeView::SetStatusText(const std::string& text) { StatusText = text; }

void FakeView::SetProgressMax(int max) {
  ProgressMax = max;
  Log.push_back("ProgressMax " + S(max));
}

void FakeView::SetProgressPosition(int position) {
  ProgressPosition = position;
  Log.push_back("ProgressPosition " + S(position));
}

void FakeView::LoadWelcomePicture(const std::string& f) { Log.push_back("WelcomePicture " + f); }
void FakeView::LoadLoadingPicture(const std::string& f) { Log.push_back("LoadingPicture " + f); }
void FakeView::AnimateLoadingPicture() { Log.push_back("Animate"); }

void FakeView::StartTimer(TTimerId t) {
  Running.insert(t);
  Log.push_back(std::string("Start ") + Name(t));
}

void FakeView::StopTimer(TTimerId t) {
  Running.erase(t);
  Log.push_back(std::string("Stop ") + Name(t));
}

void FakeView::Navigate(TControlId b, const std::u16string& url) {
  Log.push_back(std::string("Navigate ") + Name(b) + " " + plat::WideToUtf8(url));
  if (NavigateFails) throw plat::Exception("navigation refused");
}

void FakeView::SetSilent(TControlId b, bool silent) {
  Silent_[b] = silent;
  Log.push_back(std::string("Silent ") + Name(b));
}

bool FakeView::ExecScript(const std::u16string& script, const std::u16string& language) {
  Log.push_back("ExecScript " + plat::WideToUtf8(language));
  if (!HasDocument) return false;
  Scripts.push_back(script);
  if (ScriptFails) throw plat::Exception("script error");
  return true;
}

bool FakeView::FocusPage() {
  Log.push_back("FocusPage");
  return HasDocument;
}

void FakeView::SetTrayIconVisible(bool v) {
  TrayVisible = v;
  Log.push_back("Tray " + S(v));
}

bool FakeView::FileExists(const std::string& f) const { return Files.count(f) != 0; }

bool FakeView::ReadRegistryString(const std::string& key, const std::string& name,
                                  std::string& value) {
  Log.push_back("Registry " + key + " " + name);
  if (!RegistryOpens) return false;
  value = RegistryValue;
  return true;
}

void FakeView::StartProgram(const std::string& f, const std::string& p) {
  Log.push_back("StartProgram " + f + " " + p);
  if (StartProgramFails) throw plat::Exception("can not start");
}

void FakeView::RunCommandLine(const std::string& c) { Log.push_back("WinExec " + c); }

void FakeView::OpenInDefaultBrowser(const std::string& a) {
  Opened.push_back(a);
  Log.push_back("Open " + a);
}

int FakeView::ShowMessageBox(const std::string& text, const std::string& caption,
                             unsigned flags) {
  Log.push_back("MessageBox " + text + "|" + caption + "|" + S(static_cast<int>(flags)));
  return MessageBoxAnswer;
}

void FakeView::Terminate() {
  Terminated = true;
  Log.push_back("Terminate");
}

}  // namespace brovia
