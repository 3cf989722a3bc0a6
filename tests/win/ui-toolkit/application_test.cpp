// The application's loop: message hooks, the standard error box for failing handlers, and
// terminating from anywhere.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/except.h"
#include "toolkit_fixture.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"

namespace {

using uitest::FormTest;

const UINT kProbe = WM_APP + 7;

class Recording : public ui::TForm {
public:
  std::vector<std::string>* log = nullptr;

protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kProbe) {
      log->push_back("window " + std::to_string(wParam));
      return 0;
    }
    return ui::TForm::WndProc(message, wParam, lParam);
  }
};

// Waits on its own thread for a message box of this process, notes its caption and text and
// presses its OK button.
class MessageBoxWatcher {
public:
  MessageBoxWatcher() : thread_([this] { Watch(); }) {}
  ~MessageBoxWatcher() {
    stop_ = true;
    thread_.join();
  }
  bool Seen() const { return seen_; }
  std::string caption, text;

private:
  void Watch() {
    DWORD start = GetTickCount();
    while (!stop_ && GetTickCount() - start < 5000) {
      HWND box = FindBox();
      if (box) {
        char buffer[256] = "";
        GetWindowTextA(box, buffer, sizeof buffer);
        caption = buffer;
        GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
        text = buffer;
        seen_ = true;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(20);
    }
  }
  static HWND FindBox() {
    for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      if (pid == GetCurrentProcessId() && uitest::ClassOf(w) == "#32770" && IsWindowVisible(w))
        return w;
    }
    return nullptr;
  }
  std::atomic<bool> stop_{false};
  std::atomic<bool> seen_{false};
  std::thread thread_;
};

}  // namespace

TEST(ApplicationEvents, SeeEveryMessageBeforeItsWindowAndMayKeepIt) {
  std::vector<std::string> log;
  Recording form;
  form.log = &log;
  form.SetBounds(0, 0, 50, 50);
  form.HandleNeeded();
  auto* first = new ui::TApplicationEvents(&form);
  auto* second = new ui::TApplicationEvents(&form);
  first->OnMessage = [&](MSG& msg, bool& handled) {
    if (msg.message != kProbe) return;
    EXPECT_EQ(msg.hwnd, form.Handle());
    log.push_back("first " + std::to_string(msg.wParam));
    if (msg.wParam == 2) handled = true;
  };
  second->OnMessage = [&](MSG& msg, bool&) {
    if (msg.message == kProbe) log.push_back("second " + std::to_string(msg.wParam));
  };
  PostMessageA(form.Handle(), kProbe, 1, 0);
  PostMessageA(form.Handle(), kProbe, 2, 0);
  ui::Application().ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"first 1", "second 1", "window 1", "first 2"}));

  // A hook freed by another during the same message is not called.
  log.clear();
  first->OnMessage = [&](MSG& msg, bool&) {
    if (msg.message == kProbe) delete second;
  };
  PostMessageA(form.Handle(), kProbe, 3, 0);
  ui::Application().ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"window 3"}));

  // A freed hook sees nothing more.
  delete first;
  log.clear();
  PostMessageA(form.Handle(), kProbe, 4, 0);
  ui::Application().ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"window 4"}));
}

TEST_F(FormTest, AFailingEventHandlerReachesTheStandardErrorBox) {
  // From a timer.
  {
    MessageBoxWatcher watcher;
    ui::TTimer timer(nullptr);
    timer.SetInterval(10);
    int runs = 0;
    timer.OnTimer = [&](ui::TObject*) {
      ++runs;
      timer.SetEnabled(false);
      throw plat::Exception("图片文件无法读取");
    };
    EXPECT_TRUE(uitest::PumpUntil([&] { return watcher.Seen() && runs == 1; }));
    uitest::Pump(50);
    EXPECT_EQ(watcher.caption, ui::Application().Title());
    EXPECT_EQ(watcher.text, "图片文件无法读取");
    EXPECT_EQ(runs, 1);
  }
  // From a window's event, with the window still working afterwards.
  {
    MessageBoxWatcher watcher;
    auto* button = new ui::TButton(form);
    button->SetParent(form);
    int clicks = 0;
    button->OnClick = [&](ui::TObject*) {
      if (++clicks == 1) throw std::runtime_error("first click fails");
    };
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(uitest::PumpUntil([&] { return watcher.Seen(); }));
    EXPECT_EQ(watcher.text, "first click fails");
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 2);
  }
}

namespace {

class FailingStart : public ui::TForm {
public:
  FailingStart() {
    SetBounds(0, 0, 80, 40);
    OnCreate = [this](ui::TObject*) {
      steps = 1;
      throw plat::Exception("can't read the picture");
    };
    DoCreate();
    steps = 2;  // the constructor goes on
  }
  int steps = 0;
};

}  // namespace

TEST(ApplicationErrors, AFailingCreateHandlerIsReportedAndTheFormKept) {
  MessageBoxWatcher watcher;
  ui::Application().Initialize();
  FailingStart* form = nullptr;
  ui::Application().CreateForm(form);
  EXPECT_TRUE(watcher.Seen() || uitest::PumpUntil([&] { return watcher.Seen(); }));
  EXPECT_EQ(watcher.text, "can't read the picture");
  ASSERT_EQ(ui::Application().MainForm(), form);
  EXPECT_EQ(form->steps, 2);
  ui::Application().DestroyForms();
}

namespace {

bool watchdogFired = false;

void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD) {
  watchdogFired = true;
  PostQuitMessage(0);
}

}  // namespace

TEST(ApplicationTerminate, FromAnotherThreadEndsTheLoop) {
  ui::Application().Initialize();
  ui::TForm* form = nullptr;
  ui::Application().CreateForm(form);
  form->BorderStyle = ui::TFormBorderStyle::bsNone;
  form->SetBounds(0, 0, 60, 40);
  std::thread other([] {
    Sleep(200);
    ui::Application().Terminate();
  });
  watchdogFired = false;
  UINT_PTR timer = SetTimer(nullptr, 0, 5000, Watchdog);
  ui::Application().Run();
  KillTimer(nullptr, timer);
  other.join();
  EXPECT_FALSE(watchdogFired);
  EXPECT_TRUE(ui::Application().Terminated());
  ui::Application().DestroyForms();
  ui::Application().ProcessMessages();
}

TEST(ApplicationTerminate, BeforeRunTheMainFormIsNeverShown) {
  ui::Application().Initialize();
  ui::TForm* form = nullptr;
  ui::Application().CreateForm(form);
  form->SetBounds(0, 0, 60, 40);
  ui::Application().Terminate();  // as a start-up step that finds it must end may do
  watchdogFired = false;
  UINT_PTR timer = SetTimer(nullptr, 0, 5000, Watchdog);
  ui::Application().Run();
  KillTimer(nullptr, timer);
  EXPECT_FALSE(watchdogFired);
  EXPECT_FALSE(form->HandleAllocated() && IsWindowVisible(form->Handle()));
  ui::Application().DestroyForms();
  ui::Application().ProcessMessages();
}

namespace {

// A double-buffered control whose first paint draws a text and then fails; it notes the
// context that paint drew on and that context's bitmap.
class FailingPaint : public ui::TCustomControl {
public:
  explicit FailingPaint(ui::TComponent* owner) : ui::TCustomControl(owner) {
    SetDoubleBuffered(true);
  }
  HDC drawnOn = nullptr;
  HGDIOBJ bitmap = nullptr;
  int paints = 0;

protected:
  void Paint() override {
    if (++paints > 1) return;
    drawnOn = Canvas().Handle();
    bitmap = GetCurrentObject(drawnOn, OBJ_BITMAP);
    Canvas().TextOut(0, 0, "x");  // the canvas's font goes into the context
    throw std::runtime_error("paint fails");
  }
};

// A control whose window class does not exist.
class Unmakeable : public ui::TWinControl {
public:
  explicit Unmakeable(ui::TComponent* owner) : ui::TWinControl(owner) {}

protected:
  void CreateParams(ui::TCreateParams& params) override {
    ui::TWinControl::CreateParams(params);
    params.ClassName = "NoSuchWindowClass";
  }
};

class UnmakeableForm : public ui::TForm {
protected:
  void CreateParams(ui::TCreateParams& params) override {
    ui::TForm::CreateParams(params);
    params.ClassName = "NoSuchWindowClass";
  }
};

}  // namespace

TEST_F(FormTest, AFailingPaintReleasesWhatItTook) {
  auto* control = new FailingPaint(form);
  control->SetBounds(0, 0, 40, 20);
  control->SetParent(form);
  {
    MessageBoxWatcher watcher;
    RedrawWindow(control->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(watcher.Seen() || uitest::PumpUntil([&] { return watcher.Seen(); }));
    EXPECT_EQ(watcher.text, "paint fails");
  }
  ASSERT_GE(control->paints, 1);
  ASSERT_NE(control->drawnOn, nullptr);
  EXPECT_EQ(control->Canvas().Handle(), nullptr);
  EXPECT_EQ(GetObjectType(control->drawnOn), 0u);  // the off-screen context and bitmap are gone
  EXPECT_EQ(GetObjectType(control->bitmap), 0u);
}

TEST_F(FormTest, AWindowThatCannotBeMadeRaisesAnError) {
  auto* control = new Unmakeable(form);
  try {
    control->SetParent(form);  // the form has its window: the control's is made at once
    FAIL() << "no error";
  } catch (const plat::Exception& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Error creating window NoSuchWindowClass", 0), 0u)
        << e.what();
  }
  EXPECT_FALSE(control->HandleAllocated());
}

TEST(ApplicationErrors, AMainFormThatCannotBeShownIsReportedAndRunEnds) {
  MessageBoxWatcher watcher;
  ui::Application().Initialize();
  UnmakeableForm* form = nullptr;
  ui::Application().CreateForm(form);
  watchdogFired = false;
  UINT_PTR timer = SetTimer(nullptr, 0, 5000, Watchdog);
  ui::Application().Run();
  KillTimer(nullptr, timer);
  EXPECT_FALSE(watchdogFired);
  EXPECT_TRUE(watcher.Seen() || uitest::PumpUntil([&] { return watcher.Seen(); }));
  EXPECT_EQ(std::string(watcher.text).rfind("Error creating window", 0), 0u) << watcher.text;
  ui::Application().DestroyForms();
  ui::Application().ProcessMessages();
}
