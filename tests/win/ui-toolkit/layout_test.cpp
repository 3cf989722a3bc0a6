// Alignment, anchors, panels that size themselves, re-parenting, stacking order and shapes.
#include <gtest/gtest.h>
#include <windows.h>

#include "toolkit_fixture.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"

namespace {

using uitest::FormTest;

RECT WindowBoundsInParent(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The moves of one window, counted by a procedure put in front of its own.
int moves = 0;
WNDPROC panelProc = nullptr;
LRESULT CALLBACK CountMoves(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_WINDOWPOSCHANGED) ++moves;
  return CallWindowProcA(panelProc, w, message, wParam, lParam);
}

}  // namespace

TEST_F(FormTest, BottomControlsStackUpAndTheClientControlTakesTheRest) {
  auto* client = new ui::TPanel(form);
  client->SetAlign(ui::TAlign::alClient);
  client->SetParent(form);
  auto* status = new ui::TStatusBar(form);
  status->SetParent(form);
  auto* strip = new ui::TPanel(form);
  strip->SetBounds(0, 0, 10, 30);
  strip->SetAlign(ui::TAlign::alBottom);
  strip->SetParent(form);

  EXPECT_EQ(status->Top(), 300 - 19);
  EXPECT_EQ(status->Width(), 400);
  EXPECT_EQ(strip->Top(), 300 - 19 - 30);
  EXPECT_EQ(strip->Width(), 400);
  EXPECT_EQ(client->Height(), 300 - 19 - 30);
  RECT r = WindowBoundsInParent(status->Handle());
  EXPECT_EQ(r.top, 281);
  EXPECT_EQ(r.bottom - r.top, 19);

  // A hidden bottom control gives its room back, and takes it again when shown.
  status->SetVisible(false);
  EXPECT_EQ(strip->Top(), 270);
  EXPECT_EQ(client->Height(), 270);
  status->SetVisible(true);
  EXPECT_EQ(client->Height(), 251);

  // The window grows: everything follows.
  form->SetBounds(20, 20, 500, 400);
  EXPECT_EQ(status->Top(), 381);
  EXPECT_EQ(status->Width(), 500);
  EXPECT_EQ(client->Width(), 500);
  EXPECT_EQ(client->Height(), 351);

  // Bounds set on an aligned control directly give way to the layout, window included.
  client->SetBounds(-2, -2, 504, 404);
  strip->SetTop(0);
  EXPECT_EQ(strip->Top(), 351);
  r = WindowBoundsInParent(client->Handle());
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 500);
  EXPECT_EQ(r.bottom, 351);
}

// The window of an aligned control moves once per change of its place: bounds set on it
// directly (as a resize handler may set them) don't take it elsewhere and back.
TEST_F(FormTest, AnAlignedWindowMovesOncePerResize) {
  auto* client = new ui::TPanel(form);
  client->SetAlign(ui::TAlign::alClient);
  client->SetParent(form);
  moves = 0;
  panelProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      client->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountMoves)));
  form->OnResize = [&](ui::TObject*) {
    client->SetTop(-2);
    client->SetLeft(-2);
    client->SetBounds(-2, -2, form->Width() + 4, client->Height());
    client->SetBounds(-2, -2, client->Width(), form->Height() + 4);
  };
  form->SetBounds(20, 20, 500, 400);
  form->OnResize = nullptr;
  SetWindowLongPtrA(client->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(panelProc));
  EXPECT_EQ(moves, 1);
  RECT r = WindowBoundsInParent(client->Handle());
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 500);
  EXPECT_EQ(r.bottom, 400);
}

TEST_F(FormTest, AnchoredControlsKeepTheirDistancesWhenTheParentIsResized) {
  auto* right = new ui::TPanel(form);  // akTop | akRight: moves with the right edge
  right->SetBounds(300, 10, 50, 20);
  right->SetParent(form);
  right->SetAnchors(ui::akTop | ui::akRight);
  auto* corner = new ui::TPanel(form);  // akRight | akBottom
  corner->SetBounds(320, 270, 60, 12);
  corner->SetParent(form);
  corner->SetAnchors(ui::akRight | ui::akBottom);
  auto* stretch = new ui::TPanel(form);  // akLeft | akRight: grows with the parent
  stretch->SetBounds(10, 100, 380, 20);
  stretch->SetParent(form);
  stretch->SetAnchors(ui::akLeft | ui::akTop | ui::akRight);
  auto* still = new ui::TPanel(form);  // the default: stays where it is
  still->SetBounds(5, 5, 10, 10);
  still->SetParent(form);

  form->SetBounds(0, 0, 600, 500);
  EXPECT_EQ(right->Left(), 500);
  EXPECT_EQ(right->Top(), 10);
  EXPECT_EQ(corner->Left(), 520);
  EXPECT_EQ(corner->Top(), 470);
  EXPECT_EQ(stretch->Left(), 10);
  EXPECT_EQ(stretch->Width(), 580);
  EXPECT_EQ(still->Left(), 5);
  EXPECT_EQ(still->Top(), 5);
  RECT r = WindowBoundsInParent(corner->Handle());
  EXPECT_EQ(r.left, 520);
  EXPECT_EQ(r.top, 470);

  // A control placed by hand keeps the distances of its new place.
  right->SetLeft(100);
  form->SetBounds(0, 0, 400, 300);
  EXPECT_EQ(right->Left(), -100);
  EXPECT_EQ(corner->Left(), 320);
  EXPECT_EQ(corner->Top(), 270);
}

TEST_F(FormTest, AutoSizedPanelFitsItsVisibleChildren) {
  auto* panel = new ui::TPanel(form);
  panel->SetBevelOuter(ui::TBevelCut::bvNone);
  panel->SetBounds(10, 10, 100, 100);
  panel->SetParent(form);
  auto* image = new ui::TImage(form);
  image->SetParent(panel);
  image->AutoSize = true;
  image->Picture().Bitmap().SetSize(243, 19);
  panel->SetAutoSize(true);
  EXPECT_EQ(panel->Width(), 243);
  EXPECT_EQ(panel->Height(), 19);

  auto* outer = new ui::TPanel(form);
  outer->SetBounds(200, 5, 60, 30);
  outer->SetParent(panel);
  EXPECT_EQ(panel->Width(), 260);
  EXPECT_EQ(panel->Height(), 35);
  outer->SetVisible(false);
  EXPECT_EQ(panel->Width(), 243);
  EXPECT_EQ(panel->Height(), 19);
  RECT r = WindowBoundsInParent(panel->Handle());
  EXPECT_EQ(r.right - r.left, 243);
  EXPECT_EQ(r.bottom - r.top, 19);
}

TEST_F(FormTest, PanelIsFilledWithItsColourAndDrawsItsBevel) {
  auto* panel = new ui::TPanel(form);
  panel->SetBounds(10, 10, 60, 30);
  panel->SetColor(ui::clWhite);
  panel->SetParent(form);
  panel->Repaint();
  HDC dc = GetDC(panel->Handle());
  EXPECT_EQ(GetPixel(dc, 30, 15), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 59, 29), GetSysColor(COLOR_BTNSHADOW)) << "the raised edge";
  panel->SetBevelOuter(ui::TBevelCut::bvNone);
  panel->Repaint();
  EXPECT_EQ(GetPixel(dc, 59, 29), RGB(255, 255, 255));
  ReleaseDC(panel->Handle(), dc);
}

TEST_F(FormTest, WindowedControlMovesToAnotherParentAtRunTime) {
  auto* welcome = new ui::TPanel(form);
  welcome->SetBounds(0, 0, 400, 300);
  welcome->SetParent(form);
  auto* tab = new ui::TPanel(form);
  tab->SetBounds(50, 0, 243, 19);
  tab->SetParent(form);
  auto* inner = new ui::TPanel(form);
  inner->SetBounds(5, 2, 10, 10);
  inner->SetParent(tab);
  tab->SetWindowRegion(CreateRectRgn(0, 0, 100, 10));
  HWND tabWindow = tab->Handle();
  HWND innerWindow = inner->Handle();

  // Into the welcome panel, as its child and so above it.
  tab->SetParent(welcome);
  EXPECT_EQ(tab->Parent(), welcome);
  EXPECT_EQ(GetParent(tab->Handle()), welcome->Handle());
  EXPECT_EQ(GetWindow(welcome->Handle(), GW_CHILD), tab->Handle()) << "on top of its siblings";
  EXPECT_EQ(tab->Handle(), tabWindow);
  EXPECT_EQ(GetParent(inner->Handle()), tab->Handle());
  EXPECT_EQ(inner->Handle(), innerWindow);
  RECT r = WindowBoundsInParent(tab->Handle());
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.right - r.left, 243);
  EXPECT_TRUE(IsWindowVisible(tab->Handle()));
  EXPECT_EQ(welcome->Controls().size(), 1u);

  // And back onto the form, still with its shape.
  tab->SetParent(form);
  EXPECT_EQ(GetParent(tab->Handle()), form->Handle());
  EXPECT_TRUE(welcome->Controls().empty());
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(tab->Handle(), probe), SIMPLEREGION);
  RECT box;
  GetRgnBox(probe, &box);
  EXPECT_EQ(box.right, 100);
  EXPECT_EQ(box.bottom, 10);
  DeleteObject(probe);
}

TEST_F(FormTest, WindowRegionIsOwnedAndSurvivesANewWindow) {
  auto* panel = new ui::TPanel(form);
  panel->SetBounds(0, 0, 243, 19);
  POINT points[4] = {{-1, 0}, {243, 0}, {19, 213}, {19, 19}};
  HRGN first = CreatePolygonRgn(points, 4, WINDING);
  panel->SetWindowRegion(first);  // before the window exists
  panel->SetParent(form);
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(panel->Handle(), probe), ERROR);
  EXPECT_TRUE(PtInRegion(probe, 100, 0));
  EXPECT_FALSE(PtInRegion(probe, 1, 18)) << "the slanted left side";

  // A new region replaces and frees the old one; null takes the shape away.
  HRGN second = CreateRectRgn(0, 0, 50, 5);
  panel->SetWindowRegion(second);
  EXPECT_EQ(GetObjectType(first), 0u) << "the replaced region is freed";
  ASSERT_NE(GetWindowRgn(panel->Handle(), probe), ERROR);
  EXPECT_FALSE(PtInRegion(probe, 100, 0));

  // The window goes away with its parent's and comes back with the shape.
  panel->SetParent(nullptr);
  EXPECT_FALSE(panel->HandleAllocated());
  panel->SetParent(form);
  ASSERT_NE(GetWindowRgn(panel->Handle(), probe), ERROR);
  EXPECT_TRUE(PtInRegion(probe, 10, 2));
  EXPECT_FALSE(PtInRegion(probe, 100, 0));

  panel->SetWindowRegion(nullptr);
  EXPECT_EQ(GetObjectType(second), 0u);
  EXPECT_EQ(GetWindowRgn(panel->Handle(), probe), ERROR);
  DeleteObject(probe);
}

TEST_F(FormTest, BringToFrontRaisesWindowedAndWindowlessControls) {
  auto* a = new ui::TPanel(form);
  a->SetParent(form);
  auto* b = new ui::TPanel(form);
  b->SetParent(form);
  EXPECT_EQ(GetWindow(form->Handle(), GW_CHILD), b->Handle());
  a->BringToFront();
  EXPECT_EQ(GetWindow(form->Handle(), GW_CHILD), a->Handle());
  EXPECT_EQ(form->Controls().back(), a);

  auto* image1 = new ui::TImage(form);
  image1->SetParent(a);
  auto* image2 = new ui::TImage(form);
  image2->SetParent(a);
  image1->BringToFront();
  EXPECT_EQ(a->Controls().back(), image1);
}
