#include <gtest/gtest.h>

#include "Addresses.h"
#include "FakeView.h"
#include "StartUp.h"
#include "Texts.h"
#include "platform/cmdline.h"

namespace brovia {
namespace {

using C = TControlId;
using T = TTimerId;

const std::string Folder = "C:\\Program Files\\Pelora Zuvi\\";
const std::string LoginNavigation = "Navigate wb1 http://desktop.pelora.example/login.php";

using StartUp = BroviaTest;

TEST_F(StartUp, WithoutArgumentsStartsTheUpdaterThenOpensTheLoginPage) {
  view.Files = {Folder + "Update.exe"};
  logic.FormCreate();
  ASSERT_EQ(view.LogOf("StartProgram").size(), 1u);
  EXPECT_EQ(view.LogOf("StartProgram")[0],
            "StartProgram " + Folder + "Update.exe \"" + view.Path + "\" /Auto");
  EXPECT_EQ(view.Log.front().rfind("StartProgram", 0), 0u) << "the updater comes first";
  EXPECT_TRUE(view.Logged(LoginNavigation));
  EXPECT_FALSE(view.Terminated);
}

TEST_F(StartUp, AnyArgumentSkipsTheUpdaterAndIsTheStartAddress) {
  view.Files = {Folder + "Update.exe"};
  view.Args = {"http://desktop.pelora.example/", "second"};
  logic.FormCreate();
  EXPECT_TRUE(view.LogOf("StartProgram").empty());
  EXPECT_TRUE(view.Logged("Navigate wb1 http://desktop.pelora.example/"));
  // An empty quoted argument is none: the updater starts and the login page opens.
  FakeView empty;
  empty.Files = view.Files;
  empty.Args = plat::ParamList("Brovia.exe \"\"");
  TfrmMainLogic l(empty);
  l.FormCreate();
  EXPECT_EQ(empty.LogOf("StartProgram").size(), 1u);
  EXPECT_TRUE(empty.Logged(LoginNavigation));
}

TEST_F(StartUp, ArgumentIsReadInTheAnsiCodePage) {
  view.Args = {"http://x/\xD6\xD0"};  // 中 in code page 936
  logic.FormCreate();
  EXPECT_TRUE(view.Logged("Navigate wb1 http://x/\xE4\xB8\xAD"));  // logged as UTF-8
}

TEST_F(StartUp, NoUpdaterFileStartsNothing) {
  logic.FormCreate();
  EXPECT_TRUE(view.LogOf("StartProgram").empty());
  EXPECT_TRUE(view.Logged(LoginNavigation));
}

TEST_F(StartUp, FailedUpdaterStartIsIgnored) {
  view.Files = {Folder + "Update.exe"};
  view.StartProgramFails = true;
  EXPECT_NO_THROW(logic.FormCreate());
  EXPECT_TRUE(view.Logged(LoginNavigation));
  EXPECT_TRUE(logic.FullScreen());
}

TEST_F(StartUp, EndsInFullScreenWithTheCatcherArmed) {
  logic.FormCreate();
  EXPECT_TRUE(view.TrayVisible);
  EXPECT_TRUE(logic.FullScreen());
  EXPECT_FALSE(logic.LoggedIn());
  EXPECT_FALSE(logic.HideTitle());
  EXPECT_FALSE(logic.DesktopLoading());
  EXPECT_EQ(logic.wb1Tag(), 0);
  EXPECT_EQ(logic.wb2Tag(), 1);
  EXPECT_EQ(logic.SavedBounds(), (TBounds{293, 110, 800, 500}));
  EXPECT_EQ(view.Bounds(C::frmMain), (TBounds{0, 0, 1024, 768}));
  EXPECT_EQ(view.Border, TBorderStyle::bsNone);
  EXPECT_TRUE(view.Visible(C::pnlScreen));
  EXPECT_EQ(view.Bounds(C::pnlScreen).Left, 390);
  EXPECT_FALSE(view.Visible(C::stat1));
  EXPECT_FALSE(view.Visible(C::pnl_Progress));
  EXPECT_FALSE(view.Visible(C::pnl_Welcome));
  EXPECT_TRUE(view.Visible(C::imgHover)) << "auto-hide stays off until the first page";
  EXPECT_EQ(view.Parent_[C::pnlScreen], C::frmMain);
  EXPECT_EQ(view.Region_[C::pnlScreen].size(), 4u);
  EXPECT_TRUE(view.Silent_[C::wb1] && view.Silent_[C::wb2]);
  EXPECT_TRUE(view.DoubleBuffered_[C::pnlScreen] && view.DoubleBuffered_[C::frmMain] &&
              view.DoubleBuffered_[C::wb1]);
  EXPECT_TRUE(view.TimerRunning(T::tmrFloat)) << "the tab floats in";
  EXPECT_TRUE(view.TimerRunning(T::tmrAutoHide));
  EXPECT_EQ(view.Log.back(), "Animate");
}

TEST_F(StartUp, WelcomeIsLaidOutThenHiddenBeforeTheNavigation) {
  logic.FormCreate();
  std::vector<std::string> welcome = view.LogOf("Visible pnl_Welcome");
  ASSERT_EQ(welcome.size(), 2u);
  EXPECT_EQ(welcome[0], "Visible pnl_Welcome 1");
  EXPECT_EQ(welcome[1], "Visible pnl_Welcome 0");
  EXPECT_EQ(view.LogOf("Parent pnlScreen"),
            (std::vector<std::string>{"Parent pnlScreen pnl_Welcome", "Parent pnlScreen frmMain"}));
  EXPECT_EQ(view.LogOf("Region pnlScreen").size(), 2u);
  EXPECT_TRUE(view.Logged("Align pnl_Welcome client"));
  // The loading panel is centred on the welcome panel, which fills the client area.
  EXPECT_TRUE(view.Logged("Left pnlLoging 293"));
  EXPECT_TRUE(view.Logged("Top pnlLoging 342"));
}

TEST_F(StartUp, PicturesBesideTheProgramReplaceTheBuiltInOnes) {
  view.Files = {Folder + "Welcome.jpg", Folder + "imgLoging.gif"};
  logic.FormCreate();
  EXPECT_TRUE(view.Logged("WelcomePicture " + Folder + "Welcome.jpg"));
  EXPECT_TRUE(view.Logged("LoadingPicture " + Folder + "imgLoging.gif"));
  FakeView bare;
  TfrmMainLogic l(bare);
  l.FormCreate();
  EXPECT_TRUE(bare.LogOf("WelcomePicture").empty());
  EXPECT_TRUE(bare.LogOf("LoadingPicture").empty());
}

TEST_F(StartUp, FailedFirstNavigationEndsTheProgram) {
  view.NavigateFails = true;
  EXPECT_NO_THROW(logic.FormCreate());
  EXPECT_TRUE(view.Terminated);
  EXPECT_FALSE(logic.FullScreen());
  EXPECT_EQ(logic.wb2Tag(), 0);
  EXPECT_EQ(view.Log.back(), "Terminate");
}

TEST_F(StartUp, RegistryIsReadAtTheBrowserVersionKey) {
  logic.FormCreate();
  EXPECT_TRUE(view.Logged(std::string("Registry ") + BrowserVersionKey + " IE"));
  EXPECT_EQ(std::string(BrowserVersionKey), "\\software\\microsoft\\internet explorer\\version Vector");
}

TEST_F(StartUp, UnopenableKeyCountsAsANewerBrowser) {
  view.RegistryOpens = false;
  view.RegistryValue = "6.0000";
  logic.FormCreate();
  EXPECT_TRUE(view.LogOf("MessageBox").empty());
  EXPECT_FALSE(view.Terminated);
  EXPECT_TRUE(view.Logged(LoginNavigation));
}

const unsigned PromptFlags = win::kMbYesNo | win::kMbIconInformation | win::kMbDefButton2;

TEST_F(StartUp, OldBrowserWithInstallerOffersTheUpgrade) {
  view.RegistryValue = "6.0000";
  view.Files = {Folder + "IE8-WindowsXP-x86-CHS.exe", Folder + "Update.exe"};
  view.MessageBoxAnswer = win::kIdYes;
  logic.FormCreate();
  EXPECT_EQ(view.LogOf("MessageBox"),
            (std::vector<std::string>{std::string("MessageBox ") + UpgradePrompt + "|" +
                                      PromptCaption + "|" + std::to_string(PromptFlags)}));
  EXPECT_EQ(PromptFlags, 0x144u);
  // The whole path in quotes: the folder has blanks.
  EXPECT_EQ(view.LogOf("WinExec"), (std::vector<std::string>{
                                       "WinExec \"" + Folder + "IE8-WindowsXP-x86-CHS.exe\""}));
  EXPECT_TRUE(view.Opened.empty());
  EXPECT_TRUE(view.Terminated);
  EXPECT_EQ(view.LogOf("Tray"), (std::vector<std::string>{"Tray 0"}));
  EXPECT_EQ(view.LogOf("StartProgram").size(), 1u) << "the updater was started before the check";
  EXPECT_TRUE(view.LogOf("Navigate").empty());
  EXPECT_EQ(view.Log.back(), "Terminate");
}

TEST_F(StartUp, OldBrowserWithoutInstallerOffersTheFullClient) {
  view.RegistryValue = "6.0000";
  view.MessageBoxAnswer = win::kIdYes;
  logic.FormCreate();
  EXPECT_EQ(view.LogOf("MessageBox"),
            (std::vector<std::string>{std::string("MessageBox ") + DownloadPrompt + "|" +
                                      PromptCaption + "|" + std::to_string(PromptFlags)}));
  EXPECT_EQ(view.Opened,
            (std::vector<std::string>{"http://www.pelora.example/zuvi/os_client.htm"}));
  EXPECT_TRUE(view.LogOf("WinExec").empty());
  EXPECT_TRUE(view.Terminated);
  EXPECT_TRUE(view.LogOf("Navigate").empty());
}

TEST_F(StartUp, AnsweringNoStartsNothingAndEnds) {
  for (bool installer : {true, false}) {
    FakeView v;
    v.RegistryValue = "6.0000";
    if (installer) v.Files = {Folder + "IE8-WindowsXP-x86-CHS.exe"};
    TfrmMainLogic l(v);
    l.FormCreate();
    EXPECT_EQ(v.LogOf("MessageBox").size(), 1u);
    EXPECT_TRUE(v.LogOf("WinExec").empty());
    EXPECT_TRUE(v.Opened.empty());
    EXPECT_TRUE(v.Terminated);
    EXPECT_EQ(v.LogOf("Tray"), (std::vector<std::string>{"Tray 0"}));
    EXPECT_TRUE(v.LogOf("Navigate").empty());
  }
}

TEST_F(StartUp, NearMissVersionStartsNormally) {
  view.RegistryValue = "6.0000 ";
  logic.FormCreate();
  EXPECT_TRUE(view.LogOf("MessageBox").empty());
  EXPECT_TRUE(view.TrayVisible);
  EXPECT_FALSE(view.Terminated);
}

}  // namespace
}  // namespace brovia
