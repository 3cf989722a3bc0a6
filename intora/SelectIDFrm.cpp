#include "SelectIDFrm.h"

#include "CallOLVEXClient.h"
#include "platform/ansi.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

std::vector<std::string> NumberList;
int DownX = 0;
int DownY = 0;
TSelectIDform* SelectIDform = nullptr;

namespace {

HINSTANCE Program() { return GetModuleHandleA(nullptr); }

}  // namespace

TSelectIDform::TSelectIDform() {
  using namespace ui;
  SetCaption("请选择号码");
  BorderStyle = TFormBorderStyle::bsNone;
  BorderIcons = biSystemMenu | biMinimize;
  SetClientSize(300, 196);
  SetColor(clBtnFace);
  TransparentColor = true;
  TransparentColorValue = clFuchsia;
  Position = TPosition::poDesktopCenter;
  Icon().LoadFromResourceName(Program(), "MAINICON");

  image1 = new TImage(this);
  image1->SetBounds(0, 0, 300, 196);
  image1->SetParent(this);
  image1->SetAlign(TAlign::alClient);
  image1->Picture().Bitmap().LoadFromResourceName(Program(), "SELECTIDBACKGROUND");
  image1->Stretch = true;
  image1->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    image1MouseDown(s, b, sh, x, y);
  };
  image1->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) {
    image1MouseMove(s, sh, x, y);
  };

  Label1 = new TLabel(this);
  Label1->AutoSize = false;
  Label1->SetBounds(8, 34, 60, 13);
  Label1->Transparent = true;
  Label1->SetCaption("请选择号码");
  Label1->SetParent(this);

  SpeedButton1 = new TSpeedButton(this);
  SpeedButton1->SetBounds(255, -1, 37, 19);
  SpeedButton1->Flat = true;
  SpeedButton1->Glyph().LoadFromResourceName(Program(), "SELECTIDCLOSE");
  SpeedButton1->SetParent(this);
  SpeedButton1->OnClick = [this](TObject* s) { SpeedButton1Click(s); };

  Image2 = new TImage(this);
  Image2->AutoSize = true;
  Image2->SetBounds(8, 5, 16, 16);
  Image2->Picture().Icon().LoadFromResourceName(Program(), "SELECTIDICON", 16);
  Image2->SetParent(this);

  lbcaption = new TLabel(this);
  lbcaption->SetBounds(30, 7, 0, 0);
  lbcaption->Transparent = true;
  lbcaption->Font().SetBold(true);
  lbcaption->Font().SetColor(clWindow);
  lbcaption->SetCaption("lbcaption");
  lbcaption->SetParent(this);

  imgZoneSelected = new TImage(this);
  imgZoneSelected->AutoSize = true;
  imgZoneSelected->SetBounds(39, 164, 159, 20);
  imgZoneSelected->SetVisible(false);
  imgZoneSelected->Picture().Bitmap().LoadFromResourceName(Program(), "SELECTIDZONE");
  imgZoneSelected->SetParent(this);

  ListBox1 = new TListBox(this);
  ListBox1->SetBounds(8, 53, 284, 109);
  ListBox1->Style = TListBoxStyle::lbOwnerDrawVariable;
  ListBox1->Font().SetHeight(-12);
  ListBox1->SetParent(this);
  ListBox1->OnDrawItem = [this](TWinControl* c, int i, const RECT& r, TOwnerDrawState s) {
    ListBox1DrawItem(c, i, r, s);
  };
  ListBox1->OnDblClick = [this](TObject* s) { ListBox1DblClick(s); };

  btok = new TOLVEXImageButton(this);
  btok->SetBounds(216, 167, 75, 21);
  btok->SetCaption("确定");
  btok->SetTransparent(true);
  btok->DisabledColor = clBlack;
  btok->SetParent(this);
  btok->OnClick = [this](TObject* s) { btokClick(s); };

  OnCreate = [this](TObject* s) { FormCreate(s); };
  DoCreate();
}

void TSelectIDform::FormCreate(ui::TObject* Sender) {
  ListBox1->SetItemHeight(imgZoneSelected->Picture().Height());
  lbcaption->SetCaption(Caption());
  for (const std::string& number : NumberList) ListBox1->AddItem(number);
}

void TSelectIDform::ListBox1DrawItem(ui::TWinControl* Control, int Index, const RECT& Rect,
                                     ui::TOwnerDrawState State) {
  ui::TCanvas& canvas = ListBox1->Canvas();
  canvas.FillRect(Rect);
  if ((State & ui::odSelected) && imgZoneSelected->Picture().Graphic())
    canvas.StretchDraw(Rect, *imgZoneSelected->Picture().Graphic());
  canvas.Brush().Style = ui::TBrushStyle::bsClear;
  canvas.TextOut(Rect.left + 5, Rect.top + 2, ListBox1->Items()[Index]);
  if (State & ui::odFocused) canvas.DrawFocusRect(Rect);
}

void TSelectIDform::btokClick(ui::TObject* Sender) {
  int index = ListBox1->ItemIndex();
  if (index < 0) {
    ui::ShowMessage("请选择号码");
    return;
  }
  SendOpenTalkFormToNumber(plat::AnsiToWide(FFriendName), ListBox1->Items()[index]);
  Close();
}

void TSelectIDform::ListBox1DblClick(ui::TObject* Sender) { btokClick(Sender); }

void TSelectIDform::SpeedButton1Click(ui::TObject* Sender) { Close(); }

void TSelectIDform::image1MouseDown(ui::TObject* Sender, ui::TMouseButton Button,
                                    ui::TShiftState Shift, int X, int Y) {
  DownX = X;
  DownY = Y;
}

void TSelectIDform::image1MouseMove(ui::TObject* Sender, ui::TShiftState Shift, int X, int Y) {
  if (Shift & ui::ssLeft) SetBounds(Left() + X - DownX, Top() + Y - DownY, Width(), Height());
}

void CreateSelectIDForm(const std::string& friendName) {
  ui::Application().CreateForm(SelectIDform);
  SelectIDform->SetFriendName(friendName);
}
