// Brovia's main window as the program makes it, driven through its own browser controls: the
// events that Wine's control never raises here are raised on the controls' sinks, and the page
// the script call and the focus reach is a stand-in document. The default web browser is the
// recording stand-in, registered in this test's own Wine prefix.
#include <exdispid.h>
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Addresses.h"
#include "DesktopScript.h"
#include "MainWindow.h"
#include "fake_html.h"
#include "platform/ansi.h"
#include "platform/module.h"
#include "testsupport/TempFolder.h"
#include "web_test_support.h"

namespace {

using webtest::PumpUntil;

// The program's window with the stand-in page document.
class TTestWindow : public TfrmMain {
public:
  TTestWindow() : Document(FakeHtmlDocument(&Page)) {}
  ~TTestWindow() override { Document->Release(); }
  IDispatch* PageDocument() override { return Document; }

  FakeHtmlState Page = {};
  IDispatch* Document;
};

class MainWindow : public ::testing::Test {
protected:
  // One window for all the tests: under Wine without a window manager, hiding or destroying a
  // shown window takes seconds.
  static void SetUpTestSuite() {
    folder = std::make_unique<testsupport::TempFolder>("brovia-window-");
    dir = folder->path().string() + "\\";
    const std::string recorder =
        plat::ExtractFilePath(plat::ModuleFileNameA(nullptr)) + "brovia_recorder.exe";
    CopyFileA(recorder.c_str(), (dir + "browser.exe").c_str(), FALSE);
    const std::string command = "\"" + dir + "browser.exe\" \"%1\"";
    RegSetValueA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", REG_SZ, command.c_str(),
                 static_cast<DWORD>(command.size()));

    ui::Application().Initialize();
    ui::Application().CreateForm(window);
    window->Show();
  }
  static void TearDownTestSuite() {
    ui::Application().DestroyForms();
    window = nullptr;
    folder.reset();
  }

  void SetUp() override {
    ASSERT_NE(window, nullptr);
    wb1 = webtest::EventSink(*window->wb1);
    wb2 = webtest::EventSink(*window->wb2);
    ASSERT_NE(wb1, nullptr);
    ASSERT_NE(wb2, nullptr);
  }
  void TearDown() override {
    if (wb1) wb1->Release();
    if (wb2) wb2->Release();
  }

  brovia::TfrmMainLogic& Logic() { return window->Logic(); }
  static void Pump(int ms) { PumpUntil([] { return false; }, ms); }

  void DocumentComplete(const std::u16string& address) {
    BSTR text = SysAllocString(reinterpret_cast<const OLECHAR*>(address.c_str()));
    VARIANT url = webtest::Text(text);
    webtest::Fire(wb1, DISPID_DOCUMENTCOMPLETE, {webtest::Empty(), webtest::Ref(&url)});
    SysFreeString(text);
  }
  static bool BeforeNavigate2(IDispatch* sink, const std::u16string& address) {
    BSTR text = SysAllocString(reinterpret_cast<const OLECHAR*>(address.c_str()));
    VARIANT_BOOL cancel = VARIANT_FALSE;
    EXPECT_EQ(webtest::FireBeforeNavigate2(sink, text, &cancel), S_OK);
    SysFreeString(text);
    return cancel == VARIANT_TRUE;
  }
  static std::string Record() {
    std::ifstream in(dir + "record.txt");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  static inline std::unique_ptr<testsupport::TempFolder> folder;
  static inline std::string dir;
  static inline TTestWindow* window = nullptr;
  IDispatch* wb1 = nullptr;
  IDispatch* wb2 = nullptr;
};

RECT InParent(ui::TWinControl* control) {
  RECT r;
  GetWindowRect(control->Handle(), &r);
  MapWindowPoints(nullptr, GetParent(control->Handle()), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string Text(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

TEST_F(MainWindow, LoadingLoginAndLogoutFollowThePageEvents) {
  ASSERT_TRUE(Logic().FullScreen());
  ASSERT_EQ(Logic().wb1Tag(), 0);

  // A navigation to the desktop: the progress bar follows, and beyond half the welcome screen
  // shows with the title tab on it.
  EXPECT_FALSE(BeforeNavigate2(wb1, brovia::DesktopRootPage));
  webtest::Fire(wb1, DISPID_PROGRESSCHANGE, {webtest::Int(40), webtest::Int(100)});
  EXPECT_EQ(window->pb1->Position(), 40);
  EXPECT_EQ(window->pb1->Max(), 100);
  EXPECT_FALSE(window->pnl_Welcome->Visible());
  webtest::Fire(wb1, DISPID_PROGRESSCHANGE, {webtest::Int(51), webtest::Int(100)});
  EXPECT_TRUE(window->pnl_Welcome->Visible());
  EXPECT_EQ(GetParent(window->pnlScreen->Handle()), window->pnl_Welcome->Handle());

  // The first completion (the login page) takes the welcome screen away and turns auto-hide on.
  DocumentComplete(brovia::DesktopLoginPage);
  EXPECT_FALSE(window->pnl_Welcome->Visible());
  EXPECT_EQ(GetParent(window->pnlScreen->Handle()), window->Handle());
  EXPECT_TRUE(window->btnHover->Visible());
  EXPECT_FALSE(window->imgHover->Visible());

  // A later completion of the login page is a logout: the window drops to window mode.
  DocumentComplete(brovia::DesktopLoginPage);
  EXPECT_TRUE(PumpUntil([&] { return !Logic().FullScreen(); }, 3000));
  EXPECT_NE(GetWindowLongA(window->Handle(), GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_EQ(Logic().wb1Tag(), 0);
}

TEST_F(MainWindow, InWindowModeThePageKeepsToTheClientAreaAboveTheStatusBar) {
  if (Logic().FullScreen()) Logic().ToggleFullScreen();
  HWND form = window->Handle();
  auto expectPageOnClientArea = [&](const char* after) {
    Pump(200);
    RECT client, status = InParent(window->stat1);
    GetClientRect(form, &client);
    const RECT want = {0, 0, client.right, status.top};
    EXPECT_EQ(status.bottom, client.bottom) << after;
    EXPECT_EQ(Text(InParent(window->wb1)), Text(want)) << after;
  };
  expectPageOnClientArea("window mode");

  // Resized by its frame: the system moves the window, not the program.
  SetWindowPos(form, nullptr, 0, 0, 640, 420, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  expectPageOnClientArea("resize");

  SendMessageA(form, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(IsIconic(form));
  SendMessageA(form, WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_FALSE(IsIconic(form));
  EXPECT_FALSE(Logic().FullScreen());
  expectPageOnClientArea("minimise and restore");
}

TEST_F(MainWindow, NewWindowsOpenInTheCatcherAndGoToTheBrowserOrTheDesktop) {
  IDispatch* opened = nullptr;
  VARIANT_BOOL cancel = VARIANT_FALSE;
  webtest::Fire(wb1, DISPID_NEWWINDOW2, {webtest::DispRef(&opened), webtest::BoolRef(&cancel)});
  EXPECT_EQ(opened, window->wb2->DefaultInterface());
  EXPECT_EQ(cancel, VARIANT_FALSE);
  if (opened) opened->Release();

  // A user-centre page goes to the default browser, and the catcher loads nothing.
  EXPECT_TRUE(BeforeNavigate2(wb2, brovia::UserCentreRoot));
  const std::string address = plat::WideToAnsi(brovia::UserCentreRoot);
  EXPECT_TRUE(PumpUntil([&] { return Record().find(address) != std::string::npos; }, 15000))
      << Record();
  EXPECT_EQ(window->Page.scriptCalls, 0);

  // Any other address is handed to the desktop page.
  const std::u16string other = u"http://elsewhere.example/a?b=1";
  EXPECT_TRUE(BeforeNavigate2(wb2, other));
  EXPECT_EQ(window->Page.scriptCalls, 1);
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(window->Page.lastScript)),
            brovia::OpenUrlScript(other));
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(window->Page.lastLanguage)),
            brovia::DesktopScriptLanguage);
}

TEST_F(MainWindow, FocusEnteringThePageControlFocusesThePageASecondLater) {
  // Whatever focus sequence earlier events started has run.
  PumpUntil([&] { return !window->tmrCloseButton->Enabled(); }, 3000);
  window->btn4->SetFocus();
  const int before = window->Page.focusCalls;
  window->wb1->SetFocus();
  EXPECT_TRUE(window->tmrCloseButton->Enabled());
  EXPECT_TRUE(PumpUntil([&] { return window->Page.focusCalls > before; }, 3000));
  EXPECT_FALSE(window->btnFocuswb->Visible());
}

// The texts the status bar's first part is given, as the window sends them.
std::vector<std::string> statusTexts;
WNDPROC statusProc = nullptr;
LRESULT CALLBACK RecordStatusText(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == SB_SETTEXTA && LOBYTE(wParam) == 0)
    statusTexts.push_back(reinterpret_cast<const char*>(lParam));
  return CallWindowProcA(statusProc, window, message, wParam, lParam);
}

TEST_F(MainWindow, StatusBarShowsWhatTheBrowserReports) {
  HWND bar = window->stat1->Handle();
  statusProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordStatusText)));
  webtest::LoopbackListener server;
  window->wb1->Navigate(server.Url("/desktop"));
  auto named = [] {
    for (const std::string& text : statusTexts)
      if (text.find("127.0.0.1") != std::string::npos) return true;
    return false;
  };
  EXPECT_TRUE(PumpUntil(named, 8000, [&] { server.Poll(); }));
  SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(statusProc));
  std::string texts;
  for (const std::string& text : statusTexts) texts += "[" + text + "]";
  EXPECT_TRUE(named()) << texts;
}

}  // namespace
