#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KwIMSkinManager.h"
#include "platform/except.h"

namespace {

std::vector<std::string> events;

// A windowed control that records the skin-change message.
class RecordingWindow : public ui::TWinControl {
public:
  explicit RecordingWindow(const char* name) : ui::TWinControl(nullptr), name_(name) {}

protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == MSG_SKIN_CHANGED) {
      events.push_back(std::string(name_) + ":message " + std::to_string(wParam) + "," +
                       std::to_string(lParam));
      return 0;
    }
    return ui::TWinControl::WndProc(message, wParam, lParam);
  }

private:
  const char* name_;
};

class RecordingGraphic : public ui::TGraphicControl {
public:
  RecordingGraphic() : ui::TGraphicControl(nullptr) {}
  void Invalidate() override { events.push_back("graphic:invalidate"); }
};

// A manager that records when it is freed.
class RecordingManager : public TKwSkinManager {
public:
  explicit RecordingManager(std::vector<int>* freed, int id) : freed_(freed), id_(id) {}
  ~RecordingManager() override { freed_->push_back(id_); }

private:
  std::vector<int>* freed_;
  int id_;
};

class RecordingRegistry : public TKwSkinManagers {
public:
  explicit RecordingRegistry(std::vector<int>* freed) : freed_(freed) {}

protected:
  TKwSkinManager* NewManager() override { return new RecordingManager(freed_, next_++); }

private:
  std::vector<int>* freed_;
  int next_ = 0;
};

HBITMAP NewBitmap(int w, int h) {
  HDC screen = GetDC(nullptr);
  HBITMAP b = CreateCompatibleBitmap(screen, w, h);
  ReleaseDC(nullptr, screen);
  return b;
}

}  // namespace

TEST(SkinRegistry, ExistsBeforeAnyWindow) { EXPECT_NE(SkinManagers, nullptr); }

TEST(SkinRegistry, NamesMatchWithoutCaseAndKeepTheFirstSpelling) {
  TKwSkinManagers registry;
  bool created = false;
  TKwSkinManager* first = registry.FindOrCreate("ImageButtonNormalBMP", created);
  EXPECT_TRUE(created);
  TKwSkinManager* again = registry.FindOrCreate("ImageButtonNormalBMP", created);
  EXPECT_FALSE(created);
  EXPECT_EQ(first, again);
  EXPECT_EQ(registry.FindOrCreate("IMAGEBUTTONNORMALBMP", created), first);
  EXPECT_FALSE(created);
  EXPECT_EQ(registry.Find("imagebuttonnormalbmp"), first);
  ASSERT_EQ(registry.Count(), 1);
  EXPECT_EQ(registry.Name(0), "ImageButtonNormalBMP");

  // Other names, the empty one included, get managers of their own, in request order.
  TKwSkinManager* empty = registry.FindOrCreate("", created);
  EXPECT_TRUE(created);
  EXPECT_NE(empty, first);
  EXPECT_EQ(registry.Find(""), empty);
  TKwSkinManager* chinese = registry.FindOrCreate("皮肤Abc", created);
  EXPECT_TRUE(created);
  EXPECT_EQ(registry.Find("皮肤aBC"), chinese);
  ASSERT_EQ(registry.Count(), 3);
  EXPECT_EQ(registry.Name(2), "皮肤Abc");
}

TEST(SkinRegistry, FindRegistersNothing) {
  TKwSkinManagers registry;
  EXPECT_EQ(registry.Find("ImageButtonHoverBMP"), nullptr);
  EXPECT_EQ(registry.Count(), 0);
}

TEST(SkinRegistry, FreesManagersFromTheLastToTheFirst) {
  std::vector<int> freed;
  auto* registry = new RecordingRegistry(&freed);
  bool created;
  for (const char* name : {"a", "b", "c", "d"}) registry->FindOrCreate(name, created);
  registry->FindOrCreate("B", created);  // no fifth manager
  delete registry;
  EXPECT_EQ(freed, (std::vector<int>{3, 2, 1, 0}));
}

TEST(SkinManager, ClientsAreKeptOnceAndRemovedOnlyWhenPresent) {
  TKwSkinManager manager;
  RecordingGraphic a, b;
  manager.AddClient(&a);
  manager.AddClient(&b);
  manager.AddClient(&a);
  ASSERT_EQ(manager.Clients().size(), 2u);
  EXPECT_EQ(manager.Clients()[0], &a);
  EXPECT_EQ(manager.Clients()[1], &b);
  RecordingGraphic stranger;
  manager.RemoveClient(&stranger);
  EXPECT_EQ(manager.Clients().size(), 2u);
  manager.RemoveClient(&a);
  ASSERT_EQ(manager.Clients().size(), 1u);
  EXPECT_EQ(manager.Clients()[0], &b);
}

TEST(SkinManager, PictureChangeTellsEachKindOfClientInOrder) {
  TKwSkinManager manager;
  RecordingWindow withWindow("window");
  withWindow.HandleNeeded();
  ASSERT_TRUE(withWindow.HandleAllocated());
  RecordingWindow withoutWindow("nowindow");
  RecordingGraphic graphic;
  manager.AddClient(&withWindow);
  manager.AddClient(&withoutWindow);
  manager.AddClient(&graphic);

  events.clear();
  manager.Bitmap().SetHandle(NewBitmap(4, 3));
  EXPECT_EQ(events, (std::vector<std::string>{"window:message 0,0", "graphic:invalidate"}));
  EXPECT_FALSE(withoutWindow.HandleAllocated());

  // A copy into the manager is a change as well; the manager keeps its own bitmap.
  ui::TBitmap other;
  other.SetSize(7, 5);
  ui::TBitmap* own = &manager.Bitmap();
  events.clear();
  manager.SetBitmap(other);
  EXPECT_EQ(&manager.Bitmap(), own);
  EXPECT_EQ(manager.Bitmap().Width(), 7);
  EXPECT_NE(manager.Bitmap().Handle(), other.Handle());
  EXPECT_EQ(events, (std::vector<std::string>{"window:message 0,0", "graphic:invalidate"}));
}

TEST(SkinManager, ChangeWithoutClientsDoesNothing) {
  TKwSkinManager manager;
  events.clear();
  manager.Bitmap().SetHandle(NewBitmap(2, 2));
  EXPECT_TRUE(events.empty());
}

TEST(SkinManager, AssignCopiesPictureAndClientsFromAManagerOnly) {
  TKwSkinManager source, target;
  RecordingGraphic a, b, c;
  source.AddClient(&a);
  source.AddClient(&b);
  source.Bitmap().SetHandle(NewBitmap(6, 2));
  target.AddClient(&c);
  events.clear();
  target.Assign(&source);
  // The old clients leave before the copy, and the new ones join after it: nobody is told.
  EXPECT_TRUE(events.empty());
  ASSERT_EQ(target.Clients().size(), 2u);
  EXPECT_EQ(target.Clients()[0], &a);
  EXPECT_EQ(target.Clients()[1], &b);
  EXPECT_EQ(target.Bitmap().Width(), 6);
  EXPECT_NE(target.Bitmap().Handle(), source.Bitmap().Handle());

  ui::TPersistent plain;
  try {
    target.Assign(&plain);
    FAIL() << "no error";
  } catch (const plat::Exception& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TPersistent to a TKwSkinManager");
  }
  try {
    target.Assign(nullptr);
    FAIL() << "no error";
  } catch (const plat::Exception& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a nil to a TKwSkinManager");
  }
  EXPECT_EQ(target.Clients().size(), 2u);  // nothing changed by a failed copy
}
