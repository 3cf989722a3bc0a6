// Timers, push buttons, status and progress bars, hints, popup menus and the
// notification-area icon.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/except.h"
#include "toolkit_fixture.h"
#include "ui/Buttons.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/Menus.h"
#include "ui/StdCtrls.h"
#include "ui/TrayIcon.h"

namespace {

using uitest::FormTest;
using uitest::PumpUntil;

}  // namespace

TEST(Timer, RunsWhileEnabledWithoutAnyForm) {
  ui::TTimer timer(nullptr);
  timer.SetEnabled(false);
  timer.SetInterval(20);
  int ticks = 0;
  timer.OnTimer = [&](ui::TObject* sender) {
    EXPECT_EQ(sender, &timer);
    ++ticks;
  };
  uitest::Pump(100);
  EXPECT_EQ(ticks, 0) << "a disabled timer never runs";

  timer.SetEnabled(true);
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }));
  timer.SetEnabled(false);
  int stopped = ticks;
  uitest::Pump(100);
  EXPECT_EQ(ticks, stopped);

  // Interval 0 keeps it still even when enabled.
  timer.SetInterval(0);
  timer.SetEnabled(true);
  uitest::Pump(80);
  EXPECT_EQ(ticks, stopped);

  // A one-shot timer stops itself in its handler, as the window's timers do.
  timer.SetInterval(15);
  int shots = 0;
  timer.OnTimer = [&](ui::TObject*) {
    timer.SetEnabled(false);
    ++shots;
  };
  timer.SetEnabled(true);
  EXPECT_TRUE(PumpUntil([&] { return shots == 1; }));
  uitest::Pump(80);
  EXPECT_EQ(shots, 1);
}

TEST(Timer, MayBeFreedInsideItsOwnHandler) {
  auto* timer = new ui::TTimer(nullptr);
  timer->SetInterval(10);
  bool done = false;
  timer->OnTimer = [&](ui::TObject*) {
    delete timer;
    timer = nullptr;
    done = true;
  };
  EXPECT_TRUE(PumpUntil([&] { return done; }));
  uitest::Pump(50);
}

TEST(Timer, OwnerFreesIt) {
  auto* owner = new ui::TComponent(nullptr);
  auto* timer = new ui::TTimer(owner);
  timer->SetInterval(10);
  int ticks = 0;
  timer->OnTimer = [&](ui::TObject*) { ++ticks; };
  EXPECT_TRUE(PumpUntil([&] { return ticks > 0; }));
  delete owner;
  int seen = ticks;
  uitest::Pump(60);
  EXPECT_EQ(ticks, seen);
}

TEST_F(FormTest, ButtonClicksOnceAndTakesTheFocus) {
  auto* button = new ui::TButton(form);
  button->SetBounds(-124, 224, 75, 25);  // outside the form, as a hidden focus helper lies
  button->SetCaption("Go");
  button->SetParent(form);
  EXPECT_EQ(uitest::ClassOf(button->Handle()), "Button");
  int clicks = 0;
  button->OnClick = [&](ui::TObject* sender) {
    EXPECT_EQ(sender, button);
    ++clicks;
  };

  // Focus, then a press and release sent at its top-left corner: exactly one click.
  button->SetFocus();
  EXPECT_TRUE(button->Focused());
  SendMessageA(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  SendMessageA(button->Handle(), WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(clicks, 1);

  SendMessageA(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 2);

  // A press released outside is no click.
  SendMessageA(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  SendMessageA(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(200, 200));
  EXPECT_EQ(clicks, 2);

  // A hidden button can't take the focus but is clicked from code all the same.
  button->SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(button->Handle()));
  button->Click();
  EXPECT_EQ(clicks, 3);
}

// The system takes the mouse away between a press and its release (another window captures
// it, or the window is told to cancel its modes): the press is over, and the next click
// reaches the control under the pointer.
TEST_F(FormTest, ALostCaptureEndsThePressAndFreesTheMouse) {
  int clicksA = 0, clicksB = 0;
  auto make = [&](int left, int& clicks) {
    auto* c = new ui::TGraphicControl(form);
    c->SetBounds(left, 10, 50, 20);
    c->SetParent(form);
    c->OnClick = [&clicks](ui::TObject*) { ++clicks; };
  };
  make(10, clicksA);
  make(100, clicksB);
  HWND window = form->Handle();
  auto send = [&](UINT message, int x, WPARAM keys) {
    SendMessageA(window, message, keys, MAKELPARAM(x, 15));
  };
  HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               nullptr, nullptr);
  for (int way = 1; way <= 2; ++way) {
    send(WM_LBUTTONDOWN, 20, MK_LBUTTON);
    ASSERT_EQ(GetCapture(), window);
    if (way == 1)
      SetCapture(other);
    else
      SendMessageA(window, WM_CANCELMODE, 0, 0);
    EXPECT_NE(GetCapture(), window);
    send(WM_LBUTTONDOWN, 110, MK_LBUTTON);
    send(WM_LBUTTONUP, 110, 0);
    EXPECT_EQ(clicksB, way);
    send(WM_LBUTTONUP, 20, 0);  // over the first, which was not pressed again
    EXPECT_EQ(clicksA, 0);
  }
  ReleaseCapture();
  DestroyWindow(other);
}

// A speed button whose press loses the mouse comes back up at once and is painted so.
TEST_F(FormTest, ASpeedButtonComesUpWhenItsPressLosesTheMouse) {
  auto* button = new ui::TSpeedButton(form);
  button->Flat = true;
  button->SetBounds(10, 10, 16, 16);
  button->SetParent(form);
  HWND window = form->Handle();
  HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               nullptr, nullptr);
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
  ASSERT_TRUE(button->Down());
  ValidateRect(window, nullptr);  // the pressed face counts as painted
  SetCapture(other);
  EXPECT_FALSE(button->Down());
  RECT update;
  EXPECT_TRUE(GetUpdateRect(window, &update, FALSE));
  EXPECT_TRUE(PtInRect(&update, POINT{15, 15}));
  ReleaseCapture();
  DestroyWindow(other);
}

TEST_F(FormTest, StatusBarShowsItsPanels) {
  auto* bar = new ui::TStatusBar(form);
  ui::TStatusPanel* first = bar->AddPanel();
  first->SetWidth(400);
  bar->SetParent(form);
  HWND w = bar->Handle();
  int edges[4] = {};
  ASSERT_EQ(SendMessageA(w, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 1);
  EXPECT_EQ(edges[0], 400);

  first->SetText("完成");
  char text[64] = "";
  SendMessageA(w, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "完成");
  EXPECT_EQ(bar->Panel(0).Text(), "完成");

  ui::TStatusPanel* second = bar->AddPanel();
  second->SetWidth(100);
  second->SetText("b");
  ASSERT_EQ(SendMessageA(w, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 2);
  EXPECT_EQ(edges[0], 400);
  EXPECT_EQ(edges[1], 500);
  SendMessageA(w, SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "b");

  EXPECT_THROW(bar->Panel(2), plat::EListError);
  EXPECT_THROW(bar->Panel(-1), plat::EListError);
}

TEST_F(FormTest, ProgressBarKeepsItsPositionInRange) {
  auto* bar = new ui::TProgressBar(form);
  bar->SetParent(form);
  HWND w = bar->Handle();
  bar->SetMax(1000);
  bar->SetPosition(510);
  EXPECT_EQ(SendMessageA(w, PBM_GETRANGE, FALSE, 0), 1000);
  EXPECT_EQ(SendMessageA(w, PBM_GETPOS, 0, 0), 510);
  bar->SetPosition(5000);
  EXPECT_EQ(bar->Position(), 1000);
  bar->SetPosition(-1);  // the browser reports -1 when a page is done
  EXPECT_EQ(bar->Position(), 0);
  EXPECT_EQ(SendMessageA(w, PBM_GETPOS, 0, 0), 0);
  bar->SetPosition(80);
  bar->SetMax(50);
  EXPECT_EQ(bar->Position(), 50);
  bar->SetMax(0);
  bar->SetPosition(3);
  EXPECT_EQ(bar->Position(), 0);
}

namespace {

// The tools of every tooltip of this thread owned by window: their texts and rectangles.
struct Tool {
  std::string text;
  RECT rect;
  HWND host;
};

struct ToolWalk {
  HWND owner;
  std::vector<Tool>* tools;
};

BOOL CALLBACK CollectTools(HWND w, LPARAM p) {
  auto* walk = reinterpret_cast<ToolWalk*>(p);
  if (uitest::ClassOf(w) != TOOLTIPS_CLASSA || GetWindow(w, GW_OWNER) != walk->owner) return TRUE;
  int count = static_cast<int>(SendMessageA(w, TTM_GETTOOLCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[128] = "";
    TTTOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.lpszText = text;
    SendMessageA(w, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&info));
    walk->tools->push_back({text, info.rect, info.hwnd});
  }
  return TRUE;
}

std::vector<Tool> ToolsOf(HWND owner) {
  std::vector<Tool> tools;
  ToolWalk walk{owner, &tools};
  EnumThreadWindows(GetCurrentThreadId(), CollectTools, reinterpret_cast<LPARAM>(&walk));
  return tools;
}

}  // namespace

TEST_F(FormTest, HintShowsOverTheControlWhileShowHintIsOn) {
  auto* panel = new ui::TPanel(form);
  panel->SetBounds(10, 10, 243, 19);
  panel->SetParent(form);
  auto* image = new ui::TImage(form);
  image->SetBounds(22, 0, 19, 17);
  image->SetParent(panel);
  image->SetHint("自动隐藏");
  EXPECT_TRUE(ToolsOf(form->Handle()).empty()) << "no tooltip while ShowHint is off";

  image->SetShowHint(true);
  auto tools = ToolsOf(form->Handle());
  ASSERT_EQ(tools.size(), 1u);
  EXPECT_EQ(tools[0].text, "自动隐藏");
  EXPECT_EQ(tools[0].host, panel->Handle());
  EXPECT_EQ(tools[0].rect.left, 22);
  EXPECT_EQ(tools[0].rect.right, 41);

  // It follows the control when it moves, and goes while the control is hidden.
  image->SetLeft(100);
  tools = ToolsOf(form->Handle());
  ASSERT_EQ(tools.size(), 1u);
  EXPECT_EQ(tools[0].rect.left, 100);
  image->SetVisible(false);
  EXPECT_TRUE(ToolsOf(form->Handle()).empty());
  image->SetVisible(true);
  EXPECT_EQ(ToolsOf(form->Handle()).size(), 1u);

  // A windowed control is its own tool; freeing a control frees its tooltip.
  auto* button = new ui::TButton(form);
  button->SetParent(form);
  button->SetHint("b");
  button->SetShowHint(true);
  EXPECT_EQ(ToolsOf(form->Handle()).size(), 2u);
  delete image;
  tools = ToolsOf(form->Handle());
  ASSERT_EQ(tools.size(), 1u);
  EXPECT_EQ(tools[0].host, button->Handle());
}

namespace {

// Waits on its own thread for the popup menu of this process and presses keys in it.
class MenuDriver {
public:
  explicit MenuDriver(std::vector<WPARAM> keys)
      : keys_(std::move(keys)), thread_([this] { Drive(); }) {}
  ~MenuDriver() { thread_.join(); }
  bool Seen() const { return seen_; }

private:
  void Drive() {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 5000) {
      HWND menu = FindWindowA("#32768", nullptr);
      if (menu && IsWindowVisible(menu)) {
        seen_ = true;
        for (WPARAM key : keys_) PostMessageA(menu, WM_KEYDOWN, key, 0);
        return;
      }
      Sleep(20);
    }
  }
  std::vector<WPARAM> keys_;
  std::atomic<bool> seen_{false};
  std::thread thread_;
};

}  // namespace

TEST(PopupMenu, RunsTheChosenItemAfterClosing) {
  ui::TComponent owner(nullptr);
  auto* menu = new ui::TPopupMenu(&owner);
  std::vector<std::string> clicked;
  const char* captions[] = {"了解Pelora", "显示", "隐藏", "退出"};
  for (const char* caption : captions) {
    auto* item = new ui::TMenuItem(&owner);
    item->Caption = caption;
    item->OnClick = [&clicked, item](ui::TObject* sender) {
      EXPECT_EQ(sender, item);
      EXPECT_EQ(FindWindowA("#32768", nullptr) && IsWindowVisible(FindWindowA("#32768", nullptr)),
                false)
          << "the menu has closed";
      clicked.push_back(item->Caption);
    };
    menu->Add(item);
  }
  {
    MenuDriver driver({VK_DOWN, VK_DOWN, VK_RETURN});
    menu->Popup(100, 100);
    EXPECT_TRUE(driver.Seen());
  }
  EXPECT_EQ(clicked, (std::vector<std::string>{"显示"}));
  {
    MenuDriver driver({VK_ESCAPE});
    menu->Popup(100, 100);
  }
  EXPECT_EQ(clicked.size(), 1u) << "a dismissed menu runs nothing";

  // A freed item leaves the menu.
  delete menu->Items()[0];
  EXPECT_EQ(menu->Items().size(), 3u);
  {
    MenuDriver driver({VK_DOWN, VK_RETURN});
    menu->Popup(100, 100);
  }
  EXPECT_EQ(clicked.back(), "显示");
}

TEST(TrayIcon, RightClickOpensTheMenuAndDoubleClickRunsItsHandler) {
  ui::TComponent owner(nullptr);
  auto* icon = new ui::TTrayIcon(&owner);
  icon->SetHint("Pelora端");
  icon->SetVisible(true);
  EXPECT_TRUE(icon->Visible());
  HWND window = FindWindowA(ui::kTrayIconClass, nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window, icon->Handle());

  int doubles = 0;
  icon->OnDblClick = [&](ui::TObject* sender) {
    EXPECT_EQ(sender, icon);
    ++doubles;
  };
  SendMessageA(window, ui::kTrayIconMessage, 1, WM_LBUTTONDBLCLK);
  EXPECT_EQ(doubles, 1);

  // Without a menu a right click does nothing; with one it opens it.
  SendMessageA(window, ui::kTrayIconMessage, 1, WM_RBUTTONUP);
  auto* menu = new ui::TPopupMenu(&owner);
  auto* item = new ui::TMenuItem(&owner);
  item->Caption = "退出";
  int exits = 0;
  item->OnClick = [&](ui::TObject*) { ++exits; };
  menu->Add(item);
  icon->PopupMenu = menu;
  {
    MenuDriver driver({VK_DOWN, VK_RETURN});
    SendMessageA(window, ui::kTrayIconMessage, 1, WM_RBUTTONUP);
    EXPECT_TRUE(driver.Seen());
  }
  EXPECT_EQ(exits, 1);

  // A failing handler is reported, not thrown through the system.
  icon->OnDblClick = [](ui::TObject*) { throw plat::Exception("x"); };
  std::thread closer([] {
    for (int i = 0; i < 250; ++i) {
      HWND box = FindWindowA("#32770", nullptr);
      if (box && IsWindowVisible(box)) {
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(20);
    }
  });
  SendMessageA(window, ui::kTrayIconMessage, 1, WM_LBUTTONDBLCLK);
  closer.join();

  // Told of a new taskbar while the shell still holds the icon: hiding still removes it.
  SendMessageA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  icon->SetVisible(false);
  EXPECT_FALSE(icon->Visible());
  for (UINT id = 1; id < 100; ++id) {
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = window;
    data.uID = id;
    EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &data)) << "icon " << id << " left behind";
  }
  delete icon;
  EXPECT_EQ(FindWindowA(ui::kTrayIconClass, nullptr), nullptr);
}
