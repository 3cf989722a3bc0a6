#include <gtest/gtest.h>

#include <string>

#include "KwIMSkinManager.h"
#include "OLVEXImageButton.h"
#include "ui/Forms.h"

namespace {

const char* const kStateNames[] = {"ImageButtonNormalBMP", "ImageButtonHoverBMP",
                                   "ImageButtondownBMP", "ImageButtondisabledBMP",
                                   "ImageButtonFocusedBMP"};
enum State { kNormal, kHover, kDown, kDisabled, kFocused };

ui::TBitmap& Picture(State s) { return SkinManagers->Find(kStateNames[s])->Bitmap(); }

// A picture whose every pixel tells where it came from: red = 3x, green = 12y.
void MakeCoordinatePicture(ui::TBitmap& b, int w, int h) {
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) SetPixel(b.Canvas().Handle(), x, y, RGB(3 * x, 12 * y, 77));
}
int SourceX(COLORREF c) { return GetRValue(c) / 3; }
int SourceY(COLORREF c) { return GetGValue(c) / 12; }

class ButtonForm : public ui::TForm {
public:
  ButtonForm() {
    BorderStyle = ui::TFormBorderStyle::bsNone;
    SetBounds(40, 40, 120, 60);
    button = new TOLVEXImageButton(this);
    button->SetBounds(20, 20, 75, 21);
    button->SetCaption("确定");
    button->SetParent(this);
    button->OnClick = [this](ui::TObject*) { ++clicks; };
    button->OnDblClick = [this](ui::TObject*) { ++doubleClicks; };
  }
  TOLVEXImageButton* button;
  int clicks = 0;
  int doubleClicks = 0;
};

class ImageButton : public ::testing::Test {
protected:
  void SetUp() override {
    form = new ButtonForm();
    form->Show();
    b = form->button;
    h = b->Handle();
  }
  void TearDown() override { delete form; }

  void Repaint() {
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  void Send(UINT message, int x, int y, WPARAM keys = 0) {
    SendMessageA(h, message, keys, MAKELPARAM(x, y));
  }
  // The top left corner and the left edge are copied unchanged into a 21-pixel-high face, so
  // that part of the face tells which picture was drawn.
  bool FaceIs(State s) {
    ui::TBitmap* face = b->Buffer();
    for (int y = 0; y < 13; ++y)
      for (int x = 0; x < 8; ++x)
        if (face->Canvas().Pixel(x, y) != Picture(s).Canvas().Pixel(x, y)) return false;
    return true;
  }
  std::string Face() {
    for (State s : {kNormal, kHover, kDown, kDisabled, kFocused})
      if (FaceIs(s)) return kStateNames[s];
    return "unknown";
  }

  ButtonForm* form = nullptr;
  TOLVEXImageButton* b = nullptr;
  HWND h = nullptr;
};

}  // namespace

TEST_F(ImageButton, FirstButtonLoadsTheFivePicturesAndLaterOnesShareThem) {
  for (const char* name : kStateNames) {
    TKwSkinManager* m = SkinManagers->Find(name);
    ASSERT_NE(m, nullptr) << name;
    EXPECT_EQ(m->Bitmap().Width(), 69) << name;
    EXPECT_EQ(m->Bitmap().Height(), 21) << name;
    ASSERT_EQ(m->Clients().size(), 1u) << name;
    EXPECT_EQ(m->Clients()[0], b);
  }
  // The five pictures differ where the face is compared.
  for (State s : {kNormal, kHover, kDown, kDisabled, kFocused}) {
    b->DrawButton(Picture(s));
    EXPECT_EQ(Face(), kStateNames[s]);
  }
  HBITMAP normal = Picture(kNormal).Handle();
  int count = SkinManagers->Count();
  auto* second = new TOLVEXImageButton(form);
  EXPECT_EQ(SkinManagers->Count(), count);
  EXPECT_EQ(Picture(kNormal).Handle(), normal);
  for (const char* name : kStateNames)
    EXPECT_EQ(SkinManagers->Find(name)->Clients().size(), 2u) << name;
  delete second;
  for (const char* name : kStateNames) {
    ASSERT_EQ(SkinManagers->Find(name)->Clients().size(), 1u) << name;
    EXPECT_EQ(SkinManagers->Find(name)->Clients()[0], b);
  }
}

TEST_F(ImageButton, NineSliceOf69x21Into75x21) {
  ui::TBitmap source;
  MakeCoordinatePicture(source, 69, 21);
  b->Buffer()->SetSize(75, 21);
  b->DrawButton(source);
  HDC face = b->Buffer()->Canvas().Handle();
  auto at = [&](int x, int y) { return GetPixel(face, x, y); };
  // Corners: 8 x 8 copied unchanged.
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      EXPECT_EQ(at(x, y), source.Canvas().Pixel(x, y));
      EXPECT_EQ(at(67 + x, y), source.Canvas().Pixel(61 + x, y));
      EXPECT_EQ(at(x, 13 + y), source.Canvas().Pixel(x, 13 + y));
      EXPECT_EQ(at(67 + x, 13 + y), source.Canvas().Pixel(61 + x, 13 + y));
    }
  // Left and right edges: the 5 middle rows, unchanged in height and width.
  for (int y = 8; y < 13; ++y)
    for (int x = 0; x < 8; ++x) {
      EXPECT_EQ(at(x, y), source.Canvas().Pixel(x, y));
      EXPECT_EQ(at(67 + x, y), source.Canvas().Pixel(61 + x, y));
    }
  // Top edge, centre and bottom edge: 53 source columns (8..60) stretched over 59 (8..66),
  // each row from its own source row.
  for (int y = 0; y < 21; ++y) {
    int last = 7;
    for (int x = 8; x < 67; ++x) {
      COLORREF c = at(x, y);
      EXPECT_EQ(SourceY(c), y) << x << "," << y;
      EXPECT_GE(SourceX(c), last) << x << "," << y;
      EXPECT_LE(SourceX(c), 60) << x << "," << y;
      last = SourceX(c);
    }
    EXPECT_EQ(SourceX(at(8, y)), 8);
    EXPECT_EQ(SourceX(at(66, y)), 60);
  }
}

TEST_F(ImageButton, FaceFollowsDisabledPressedHoverFocusedNormal) {
  Repaint();
  EXPECT_EQ(b->Buffer()->Width(), 75);
  EXPECT_EQ(b->Buffer()->Height(), 21);
  EXPECT_EQ(Face(), "ImageButtonNormalBMP");

  b->SetFocus();
  ASSERT_EQ(GetFocus(), h);
  Repaint();
  EXPECT_EQ(Face(), "ImageButtonFocusedBMP");

  Send(WM_MOUSEMOVE, 5, 5);
  Repaint();
  EXPECT_TRUE(b->MouseInControl());
  EXPECT_EQ(Face(), "ImageButtonHoverBMP");

  Send(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
  Repaint();
  EXPECT_EQ(Face(), "ImageButtondownBMP");

  b->SetEnabled(false);
  Repaint();
  EXPECT_EQ(Face(), "ImageButtondisabledBMP");

  b->SetEnabled(true);  // disabling took the focus away
  b->SetFocus();
  Repaint();
  EXPECT_EQ(Face(), "ImageButtondownBMP");

  // The pointer leaving clears the press; coming back does not set it again.
  Send(WM_MOUSELEAVE, 0, 0);
  Repaint();
  EXPECT_FALSE(b->IsDown());
  EXPECT_EQ(Face(), "ImageButtonFocusedBMP");
  Send(WM_MOUSEMOVE, 6, 6, MK_LBUTTON);
  Repaint();
  EXPECT_EQ(Face(), "ImageButtonHoverBMP");
  Send(WM_LBUTTONUP, 6, 6);
}

TEST_F(ImageButton, ClickOnlyWhenReleasedInside) {
  Send(WM_MOUSEMOVE, 5, 5);
  Send(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
  EXPECT_TRUE(b->IsDown());
  Send(WM_LBUTTONUP, 5, 5);
  EXPECT_EQ(form->clicks, 1);
  EXPECT_FALSE(b->IsDown());
  Repaint();
  EXPECT_EQ(Face(), "ImageButtonHoverBMP");

  Send(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
  Send(WM_LBUTTONUP, 80, 5);
  EXPECT_EQ(form->clicks, 1);
  EXPECT_FALSE(b->IsDown());

  // A double click is no press: no pressed face, no click.
  Send(WM_LBUTTONDBLCLK, 5, 5, MK_LBUTTON);
  EXPECT_FALSE(b->IsDown());
  Send(WM_LBUTTONUP, 5, 5);
  EXPECT_EQ(form->doubleClicks, 1);
  EXPECT_EQ(form->clicks, 1);
}

TEST_F(ImageButton, ALostCaptureEndsThePress) {
  Send(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
  ASSERT_EQ(GetCapture(), h);
  SetCapture(form->Handle());  // another window takes the mouse (Alt+Tab, say)
  ReleaseCapture();
  Send(WM_LBUTTONUP, 5, 5);  // a release that no press on the button began
  EXPECT_EQ(form->clicks, 0);
}

TEST_F(ImageButton, StoredPropertiesLeaveTheFaceAlone) {
  Repaint();
  std::string before = Face();
  ui::TIcon icon;
  icon.LoadFromResourceName(GetModuleHandleA(nullptr), "MAINICON");
  ASSERT_FALSE(icon.Empty());
  b->SetIcon(icon);
  b->SetDisabledIcon(icon);
  b->SetTransparent(true);
  b->DisabledColor = 0x123456;
  // The button keeps copies of its icons, not the caller's.
  EXPECT_NE(b->Icon()->Handle(), icon.Handle());
  EXPECT_FALSE(b->DisabledIcon()->Empty());
  Repaint();
  EXPECT_EQ(Face(), before);
}

TEST(ImageButtonShutdown, ButtonOutlivingTheRegistryLeavesItAlone) {
  TKwSkinManagers* program = SkinManagers;
  auto* registry = new TKwSkinManagers();
  SkinManagers = registry;
  auto* button = new TOLVEXImageButton(nullptr);
  TKwSkinManager* normal = registry->Find("ImageButtonNormalBMP");
  ASSERT_NE(normal, nullptr);
  ASSERT_EQ(normal->Clients().size(), 1u);
  // Shutdown as the program's unit end does it: the global goes first, then the registry.
  // The registry is kept here a moment longer, to see that the button no longer reaches it.
  SkinManagers = nullptr;
  delete button;
  EXPECT_EQ(normal->Clients().size(), 1u);
  delete registry;
  SkinManagers = program;
}

TEST(ImageButtonShutdown, WithoutRegistryConstructionStillCompletes) {
  TKwSkinManagers* program = SkinManagers;
  SkinManagers = nullptr;
  auto* button = new TOLVEXImageButton(nullptr);
  EXPECT_NE(button->Buffer(), nullptr);  // made before the failing step
  delete button;
  SkinManagers = program;
}
