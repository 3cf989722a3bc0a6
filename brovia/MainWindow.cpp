#include "MainWindow.h"

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include "Texts.h"
#include "platform/ansi.h"
#include "platform/ansifile.h"
#include "platform/cmdline.h"
#include "platform/debugout.h"
#include "platform/except.h"
#include "platform/module.h"
#include "ui/Pictures.h"

using brovia::TControlId;
using brovia::TTimerId;

TfrmMain* frmMain = nullptr;

namespace {

// The unit's initialisation and finalisation: OLE for the whole run of the program, set up
// before the program entry's own steps and taken down after the message loop has ended.
int InitCount = 0;

struct TUnit1Init {
  TUnit1Init() {
    if (InitCount++ == 0) OleInitialize(nullptr);
  }
  ~TUnit1Init() {
    if (--InitCount == 0) OleUninitialize();
  }
} Unit1Init;

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

}  // namespace

TfrmMain::TfrmMain() : FView(*this), FLogic(FView) {
  SetCaption(brovia::MainCaption);
  BorderStyle = ui::TFormBorderStyle::bsNone;
  Font().SetName("Tahoma");
  Font().SetHeight(-11);
  KeyPreview = true;
  SetBounds(293, 110, 800, 500);
  SetClientSize(800, 500);
  Icon().LoadFromResourceName(Instance(), "MAINICON", 32);

  CreateComponents();
  LoadPictures();
  ConnectEvents();

  // An error that start-up does not guard reaches the application's error box, and the
  // window goes on as far as it was set up.
  OnCreate = [this](ui::TObject*) { FLogic.FormCreate(); };
  DoCreate();
}

TfrmMain::~TfrmMain() {
  // The components are freed after this window's own part: nothing they report while they go
  // may reach the logic any more.
  ApplicationEvents1->OnMessage = nullptr;
  OnResize = nullptr;
  for (ui::TWebBrowser* browser : {wb1, wb2}) {
    browser->OnBeforeNavigate2 = nullptr;
    browser->OnNewWindow2 = nullptr;
    browser->OnDocumentComplete = nullptr;
    browser->OnProgressChange = nullptr;
    browser->OnStatusTextChange = nullptr;
    browser->OnEnter = nullptr;
  }
  if (frmMain == this) frmMain = nullptr;
}

void TfrmMain::CreateComponents() {
  wb1 = new ui::TWebBrowser(this);
  wb1->SetParent(this);

  pnlScreen = new ui::TPanel(this);
  pnlScreen->SetParent(this);
  pnlScreen->SetBounds(518, 0, 243, 19);
  pnlScreen->SetAnchors(ui::akTop | ui::akRight);
  pnlScreen->SetBevelOuter(ui::TBevelCut::bvNone);
  pnlScreen->SetColor(ui::clWhite);
  pnlScreen->SetVisible(false);

  img1 = new ui::TImage(this);
  img1->SetParent(pnlScreen);
  img1->SetBounds(0, 0, 243, 19);

  auto titleButton = [this](int left, int width) {
    auto* button = new ui::TSpeedButton(this);
    button->SetParent(pnlScreen);
    button->SetBounds(left, 0, width, 16);
    button->Flat = true;
    return button;
  };
  btnMin = titleButton(173, 16);
  btnRestore = titleButton(189, 16);
  btnClose = titleButton(205, 16);

  lb1 = new ui::TLabel(this);
  lb1->SetParent(pnlScreen);
  lb1->SetLeft(69);
  lb1->SetTop(2);
  lb1->Transparent = true;
  lb1->Font().SetName("Tahoma");
  lb1->Font().SetBold(true);
  lb1->SetCaption(brovia::ProductCaption);

  btnHover = titleButton(22, 18);
  btnHover->SetVisible(false);

  imgHover = new ui::TImage(this);
  imgHover->SetParent(pnlScreen);
  imgHover->SetBounds(22, 0, 19, 17);
  imgHover->SetHint(brovia::AutoHideHint);
  imgHover->SetShowHint(true);
  pnlScreen->SetAutoSize(true);

  pnl_Welcome = new ui::TPanel(this);
  pnl_Welcome->SetParent(this);
  pnl_Welcome->SetBevelOuter(ui::TBevelCut::bvNone);

  img2 = new ui::TImage(this);
  img2->SetParent(pnl_Welcome);
  img2->SetAlign(ui::TAlign::alClient);
  img2->Stretch = true;

  pnlLoging = new ui::TPanel(this);
  pnlLoging->SetParent(pnl_Welcome);
  pnlLoging->SetBounds(0, 0, 214, 15);
  pnlLoging->SetBevelOuter(ui::TBevelCut::bvNone);

  imgLoging = new ui::TImage(this);
  imgLoging->SetParent(pnlLoging);
  imgLoging->SetBounds(0, 0, 214, 15);
  pnlLoging->SetAutoSize(true);

  pnl3 = new ui::TPanel(this);
  pnl3->SetParent(this);
  pnl3->SetBounds(-1234, 0, 249, 41);

  wb2 = new ui::TWebBrowser(this);
  wb2->SetParent(pnl3);
  wb2->SetBounds(42, 0, 115, 63);

  btn4 = new ui::TButton(this);
  btn4->SetParent(pnl3);
  btn4->SetBounds(152, 9, 75, 25);
  btn4->SetCaption("btn4");

  stat1 = new ui::TStatusBar(this);
  stat1->SetParent(this);
  stat1->SetAlign(ui::TAlign::alBottom);
  stat1->AddPanel()->SetWidth(400);
  stat1->SetVisible(false);

  pnl_Progress = new ui::TPanel(this);
  pnl_Progress->SetParent(this);
  pnl_Progress->SetBounds(588, 485, 185, 12);
  pnl_Progress->SetAnchors(ui::akRight | ui::akBottom);
  pnl_Progress->SetBevelOuter(ui::TBevelCut::bvNone);
  pnl_Progress->SetVisible(false);

  pb1 = new ui::TProgressBar(this);
  pb1->SetParent(pnl_Progress);
  pb1->SetBounds(-2, -1, 189, 18);

  btnFocuswb = new ui::TButton(this);
  btnFocuswb->SetParent(this);
  btnFocuswb->SetBounds(-124, 224, 75, 25);
  btnFocuswb->SetCaption("btnFocuswb");

  // The windows exist from here on: start-up's message boxes have their owner.
  HandleNeeded();

  ApplicationEvents1 = new ui::TApplicationEvents(this);

  auto timer = [this](unsigned interval, bool enabled) {
    auto* t = new ui::TTimer(this);
    t->SetEnabled(false);
    t->SetInterval(interval);
    t->SetEnabled(enabled);
    return t;
  };
  tmrFloat = timer(100, false);
  tmrAutoHide = timer(10000, true);
  tmr2 = timer(200, false);
  tmrCloseWelcome = timer(3000, false);
  tmrCloseButton = timer(1000, false);

  pm1 = new ui::TPopupMenu(this);
  auto item = [this](const char* caption) {
    auto* menuItem = new ui::TMenuItem(this);
    menuItem->Caption = caption;
    pm1->Add(menuItem);
    return menuItem;
  };
  N4 = item(brovia::MenuAbout);
  N2 = item(brovia::MenuShow);
  N3 = item(brovia::MenuHide);
  N1 = item(brovia::MenuExit);

  TrayIcon = new ui::TTrayIcon(this);
  TrayIcon->SetHint(brovia::TrayHint);
  TrayIcon->PopupMenu = pm1;
}

// The built-in pictures, from the program's resources.
void TfrmMain::LoadPictures() {
  HINSTANCE instance = Instance();
  img1->Picture().Bitmap().LoadFromResourceName(instance, "TITLETAB");
  btnMin->Glyph().LoadFromResourceName(instance, "BTNMIN");
  btnRestore->Glyph().LoadFromResourceName(instance, "BTNRESTORE");
  btnClose->Glyph().LoadFromResourceName(instance, "BTNCLOSE");
  btnHover->Glyph().LoadFromResourceName(instance, "BTNHOVER");
  imgHover->Picture().Bitmap().LoadFromResourceName(instance, "IMGHOVER");
  // The welcome screen's pictures are decoded here; one that can't be decoded leaves its
  // image empty rather than keeping the program from starting.
  try {
    img2->Picture().JPEG().LoadFromResourceName(instance, "WELCOME");
  } catch (const plat::Exception& e) {
    plat::DebugOutput(std::string("Brovia: welcome picture: ") + e.what());
  }
  try {
    imgLoging->Picture().GIF().LoadFromResourceName(instance, "LOGING");
  } catch (const plat::Exception& e) {
    plat::DebugOutput(std::string("Brovia: loading picture: ") + e.what());
  }
}

void TfrmMain::ConnectEvents() {
  using ui::TObject;
  OnResize = [this](TObject*) { FLogic.FormResize(); };
  OnShow = [](TObject*) {};  // FormShow: nothing to do
  OnClose = [this](TObject*, ui::TCloseAction& action) {
    brovia::TCloseAction a = action == ui::TCloseAction::caNone   ? brovia::TCloseAction::caNone
                             : action == ui::TCloseAction::caFree ? brovia::TCloseAction::caFree
                                                                  : brovia::TCloseAction::caHide;
    FLogic.FormClose(a);
    action = a == brovia::TCloseAction::caNone   ? ui::TCloseAction::caNone
             : a == brovia::TCloseAction::caFree ? ui::TCloseAction::caFree
                                                 : ui::TCloseAction::caHide;
  };

  wb1->OnBeforeNavigate2 = [this](TObject*, const std::u16string& url, bool&) {
    FLogic.wb1BeforeNavigate2(url);
  };
  wb1->OnNewWindow2 = [this](TObject*, IDispatch** ppDisp, bool&) {
    // Every new window opens in the catcher wb2.
    *ppDisp = wb2->DefaultInterface();
  };
  wb1->OnDocumentComplete = [this](TObject*, const std::u16string& url) {
    FLogic.wb1DocumentComplete(url);
  };
  wb1->OnProgressChange = [this](TObject*, int progress, int progressMax) {
    FLogic.wb1ProgressChange(progress, progressMax);
  };
  wb1->OnStatusTextChange = [this](TObject*, const std::u16string& text) {
    FLogic.wb1StatusTextChange(text);
  };
  wb1->OnEnter = [this](TObject*) { FLogic.wb1Enter(); };
  wb2->OnBeforeNavigate2 = [this](TObject*, const std::u16string& url, bool& cancel) {
    FLogic.wb2BeforeNavigate2(url, cancel);
  };

  img1->OnMouseLeave = [this](TObject*) { FLogic.img1MouseLeave(); };
  imgHover->OnClick = [this](TObject*) { FLogic.imgHoverClick(); };
  btnHover->OnClick = [this](TObject*) { FLogic.btnHoverClick(); };
  btnClose->OnClick = [this](TObject*) { FLogic.btnCloseClick(); };
  btnMin->OnClick = [this](TObject*) { FLogic.btnMinClick(); };
  btnRestore->OnClick = [this](TObject*) { FLogic.btnRestoreClick(); };
  btnFocuswb->OnClick = [this](TObject*) { FLogic.btnFocuswbClick(); };
  btn4->OnClick = [this](TObject*) { FLogic.btn4Click(); };

  ApplicationEvents1->OnMessage = [this](MSG& msg, bool& handled) {
    brovia::TQueuedMessage m;
    m.Message = msg.message;
    m.WParam = static_cast<unsigned>(msg.wParam);
    m.Pt = {msg.pt.x, msg.pt.y};
    FLogic.ApplicationEvents1Message(m, handled);
  };

  tmrFloat->OnTimer = [this](TObject*) { FLogic.tmrFloatTimer(); };
  tmrAutoHide->OnTimer = [this](TObject*) { FLogic.tmrAutoHideTimer(); };
  tmr2->OnTimer = [this](TObject*) { FLogic.tmr2Timer(); };
  tmrCloseWelcome->OnTimer = [this](TObject*) { FLogic.tmrCloseWelcomeTimer(); };
  tmrCloseButton->OnTimer = [this](TObject*) { FLogic.tmrCloseButtonTimer(); };

  TrayIcon->OnDblClick = [this](TObject*) { FLogic.TrayIconDblClick(); };
  N1->OnClick = [this](TObject*) { FLogic.N1Click(); };
  N2->OnClick = [this](TObject*) { FLogic.N2Click(); };
  N3->OnClick = [this](TObject*) { FLogic.N3Click(); };
  N4->OnClick = [this](TObject*) { FLogic.N4Click(); };
}

LRESULT TfrmMain::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCLBUTTONDBLCLK:
      if (!FLogic.WMNCLButtonDblClk()) return 0;
      break;
    case WM_SYSCOMMAND:
      if (!FLogic.WMSysCommand(static_cast<unsigned>(wParam))) return 0;
      break;
  }
  return ui::TForm::WndProc(message, wParam, lParam);
}

// --- Components by name ---

ui::TControl* TMainWindowView::Control(TControlId control) const {
  switch (control) {
    case TControlId::frmMain: return &FForm;
    case TControlId::wb1: return FForm.wb1;
    case TControlId::wb2: return FForm.wb2;
    case TControlId::pnlScreen: return FForm.pnlScreen;
    case TControlId::img1: return FForm.img1;
    case TControlId::btnHover: return FForm.btnHover;
    case TControlId::imgHover: return FForm.imgHover;
    case TControlId::pnl_Welcome: return FForm.pnl_Welcome;
    case TControlId::pnlLoging: return FForm.pnlLoging;
    case TControlId::stat1: return FForm.stat1;
    case TControlId::pnl_Progress: return FForm.pnl_Progress;
    case TControlId::btnFocuswb: return FForm.btnFocuswb;
  }
  throw plat::Exception("unknown control");
}

ui::TWinControl* TMainWindowView::WinControl(TControlId control) const {
  ui::TControl* c = Control(control);
  if (!c->IsWindowed()) throw plat::Exception("control has no window");
  return static_cast<ui::TWinControl*>(c);
}

ui::TWebBrowser* TMainWindowView::Browser(TControlId browser) const {
  if (browser == TControlId::wb1) return FForm.wb1;
  if (browser == TControlId::wb2) return FForm.wb2;
  throw plat::Exception("not a browser control");
}

ui::TTimer* TMainWindowView::Timer(TTimerId timer) const {
  switch (timer) {
    case TTimerId::tmrFloat: return FForm.tmrFloat;
    case TTimerId::tmrAutoHide: return FForm.tmrAutoHide;
    case TTimerId::tmr2: return FForm.tmr2;
    case TTimerId::tmrCloseWelcome: return FForm.tmrCloseWelcome;
    case TTimerId::tmrCloseButton: return FForm.tmrCloseButton;
  }
  throw plat::Exception("unknown timer");
}

// --- The window and its components ---

brovia::TBounds TMainWindowView::Bounds(TControlId control) const {
  const ui::TControl* c = Control(control);
  return {c->Left(), c->Top(), c->Width(), c->Height()};
}

void TMainWindowView::SetLeft(TControlId control, int left) {
  ui::TControl* c = Control(control);
  c->SetBounds(left, c->Top(), c->Width(), c->Height());
}

void TMainWindowView::SetTop(TControlId control, int top) {
  ui::TControl* c = Control(control);
  c->SetBounds(c->Left(), top, c->Width(), c->Height());
}

void TMainWindowView::SetWidth(TControlId control, int width) {
  ui::TControl* c = Control(control);
  c->SetBounds(c->Left(), c->Top(), width, c->Height());
}

void TMainWindowView::SetHeight(TControlId control, int height) {
  ui::TControl* c = Control(control);
  c->SetBounds(c->Left(), c->Top(), c->Width(), height);
}

bool TMainWindowView::Visible(TControlId control) const { return Control(control)->Visible(); }

void TMainWindowView::SetVisible(TControlId control, bool visible) {
  Control(control)->SetVisible(visible);
}

void TMainWindowView::SetAlign(TControlId control, brovia::TAlign align) {
  Control(control)->SetAlign(align == brovia::TAlign::alClient ? ui::TAlign::alClient
                                                               : ui::TAlign::alNone);
}

void TMainWindowView::SetParent(TControlId control, TControlId parent) {
  ui::TControl* c = Control(control);
  c->SetParent(WinControl(parent));
  c->BringToFront();
}

void TMainWindowView::SetRegion(TControlId control, const std::vector<brovia::TPoint>& polygon) {
  std::vector<POINT> points;
  for (const brovia::TPoint& p : polygon) points.push_back(POINT{p.X, p.Y});
  HRGN region = CreatePolygonRgn(points.data(), static_cast<int>(points.size()), WINDING);
  if (!region) throw plat::Exception("CreatePolygonRgn failed");
  WinControl(control)->SetWindowRegion(region);
}

void TMainWindowView::SetDoubleBuffered(TControlId control, bool on) {
  WinControl(control)->SetDoubleBuffered(on);
}

void TMainWindowView::Repaint(TControlId control) { Control(control)->Repaint(); }

void TMainWindowView::SetFocus(TControlId control) {
  ui::TWinControl* c = WinControl(control);
  if (!c->Visible() || !c->Enabled() || !FForm.Visible())
    throw plat::Exception("Cannot focus a disabled or invisible window");
  c->SetFocus();
}

void TMainWindowView::SendClick(TControlId control) {
  HWND window = WinControl(control)->Handle();
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  SendMessageA(window, WM_LBUTTONUP, 0, 0);
}

// --- The window as a whole ---

brovia::TWindowState TMainWindowView::WindowState() const {
  switch (FForm.WindowState()) {
    case ui::TWindowState::wsMinimized: return brovia::TWindowState::wsMinimized;
    case ui::TWindowState::wsMaximized: return brovia::TWindowState::wsMaximized;
    default: return brovia::TWindowState::wsNormal;
  }
}

void TMainWindowView::SetWindowState(brovia::TWindowState state) {
  ui::TWindowState s = ui::TWindowState::wsNormal;
  if (state == brovia::TWindowState::wsMinimized) s = ui::TWindowState::wsMinimized;
  if (state == brovia::TWindowState::wsMaximized) s = ui::TWindowState::wsMaximized;
  FForm.SetWindowState(s);
}

brovia::TBorderStyle TMainWindowView::BorderStyle() const {
  switch (FForm.BorderStyle) {
    case ui::TFormBorderStyle::bsNone: return brovia::TBorderStyle::bsNone;
    case ui::TFormBorderStyle::bsSizeToolWin: return brovia::TBorderStyle::bsSizeToolWin;
    default: return brovia::TBorderStyle::bsSizeable;
  }
}

// The window only ever uses none and sizeable; the other frames map to their nearest kin.
void TMainWindowView::SetBorderStyle(brovia::TBorderStyle style) {
  switch (style) {
    case brovia::TBorderStyle::bsNone:
      FForm.SetBorderStyle(ui::TFormBorderStyle::bsNone);
      break;
    case brovia::TBorderStyle::bsSizeToolWin:
    case brovia::TBorderStyle::bsToolWindow:
      FForm.SetBorderStyle(ui::TFormBorderStyle::bsSizeToolWin);
      break;
    default:
      FForm.SetBorderStyle(ui::TFormBorderStyle::bsSizeable);
      break;
  }
}

void TMainWindowView::ShowWindow() { FForm.Show(); }
void TMainWindowView::HideWindow() { FForm.Hide(); }
void TMainWindowView::CloseWindow() { FForm.Close(); }
void TMainWindowView::CancelMode() { FForm.SendCancelMode(); }

void TMainWindowView::SendSysCommand(unsigned command) {
  SendMessageA(FForm.Handle(), WM_SYSCOMMAND, command, 0);
}

// --- Screen and cursor ---

int TMainWindowView::ScreenWidth() const { return GetSystemMetrics(SM_CXSCREEN); }
int TMainWindowView::ScreenHeight() const { return GetSystemMetrics(SM_CYSCREEN); }

bool TMainWindowView::CursorPos(brovia::TPoint& pos) const {
  POINT p;
  if (!GetCursorPos(&p)) return false;
  pos = {p.x, p.y};
  return true;
}

// --- Status and progress ---

void TMainWindowView::SetStatusText(const std::string& text) {
  FForm.stat1->Panel(0).SetText(text);
}

void TMainWindowView::SetProgressMax(int max) { FForm.pb1->SetMax(max); }
void TMainWindowView::SetProgressPosition(int position) { FForm.pb1->SetPosition(position); }

// --- Pictures ---

void TMainWindowView::LoadWelcomePicture(const std::string& fileName) {
  FForm.img2->Picture().LoadFromFile(fileName);
}

void TMainWindowView::LoadLoadingPicture(const std::string& fileName) {
  FForm.imgLoging->Picture().LoadFromFile(fileName);
}

void TMainWindowView::AnimateLoadingPicture() {
  if (auto* gif = dynamic_cast<ui::TGIFImage*>(FForm.imgLoging->Picture().Graphic()))
    gif->SetAnimate(true);
}

// --- Timers ---

void TMainWindowView::StartTimer(TTimerId timer) {
  ui::TTimer* t = Timer(timer);
  if (!t->Enabled()) t->SetEnabled(true);
}

void TMainWindowView::StopTimer(TTimerId timer) { Timer(timer)->SetEnabled(false); }

// --- Browser controls ---

void TMainWindowView::Navigate(TControlId browser, const std::u16string& url) {
  Browser(browser)->Navigate(url);
}

void TMainWindowView::SetSilent(TControlId browser, bool silent) {
  Browser(browser)->SetSilent(silent);
}

bool TMainWindowView::ExecScript(const std::u16string& script, const std::u16string& language) {
  return ui::ExecScript(FForm.PageDocument(), script, language);
}

bool TMainWindowView::FocusPage() { return ui::FocusDocumentWindow(FForm.PageDocument()); }

// --- Tray icon ---

void TMainWindowView::SetTrayIconVisible(bool visible) { FForm.TrayIcon->SetVisible(visible); }

// --- The system ---

std::string TMainWindowView::ProgramPath() const { return plat::ModuleFileNameA(nullptr); }

std::vector<std::string> TMainWindowView::Arguments() const {
  return plat::ParamList(GetCommandLineA());
}

bool TMainWindowView::FileExists(const std::string& fileName) const {
  return plat::AnsiFileExists(fileName);
}

bool TMainWindowView::ReadRegistryString(const std::string& key, const std::string& name,
                                  std::string& value) {
  // A key path beginning with a backslash is taken from the root.
  std::string path = !key.empty() && key[0] == '\\' ? key.substr(1) : key;
  HKEY opened = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &opened, nullptr) != ERROR_SUCCESS)
    return false;
  value.clear();
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(opened, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0) {
    std::string data(size, '\0');
    if (RegQueryValueExA(opened, name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(&data[0]), &size) == ERROR_SUCCESS) {
      data.resize(size);
      while (!data.empty() && data.back() == '\0') data.pop_back();
      value = data;
    }
  }
  RegCloseKey(opened);
  return true;
}

void TMainWindowView::StartProgram(const std::string& fileName, const std::string& parameters) {
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  info.hwnd = nullptr;
  info.lpVerb = nullptr;
  info.lpFile = fileName.c_str();
  info.lpParameters = parameters.c_str();
  info.lpDirectory = nullptr;
  info.nShow = SW_SHOWNORMAL;
  ShellExecuteExA(&info);
}

void TMainWindowView::RunCommandLine(const std::string& commandLine) {
  WinExec(commandLine.c_str(), SW_SHOWNORMAL);
}

void TMainWindowView::OpenInDefaultBrowser(const std::string& address) {
  ShellExecuteA(FForm.Handle(), "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

int TMainWindowView::ShowMessageBox(const std::string& text, const std::string& caption,
                             unsigned flags) {
  return MessageBoxA(FForm.Handle(), text.c_str(), caption.c_str(), flags);
}

void TMainWindowView::Terminate() { ui::Application().Terminate(); }
