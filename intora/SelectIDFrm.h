// The number-selection dialog: lists the numbers of the logged-in messenger instances and
// opens the chat from the one the user picks.
#pragma once
#include <string>
#include <vector>

#include "OLVEXImageButton.h"
#include "ui/Buttons.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"

// Numbers (signed decimal texts) of the logged-in messenger instances, in window order;
// created empty at program start, filled by CallOpenTalkForm.
extern std::vector<std::string> NumberList;
// Where the last press on the dialog's background began (background coordinates).
extern int DownX;
extern int DownY;

class TSelectIDform : public ui::TForm {
public:
  TSelectIDform();

  ui::TLabel* Label1;
  ui::TListBox* ListBox1;
  ui::TImage* image1;
  ui::TSpeedButton* SpeedButton1;
  TOLVEXImageButton* btok;
  ui::TImage* Image2;
  ui::TLabel* lbcaption;
  ui::TImage* imgZoneSelected;

  const std::string& FriendName() const { return FFriendName; }
  void SetFriendName(const std::string& name) { FFriendName = name; }

  void FormCreate(ui::TObject* Sender);
  void ListBox1DrawItem(ui::TWinControl* Control, int Index, const RECT& Rect,
                        ui::TOwnerDrawState State);
  void ListBox1DblClick(ui::TObject* Sender);
  void btokClick(ui::TObject* Sender);
  void SpeedButton1Click(ui::TObject* Sender);
  void image1MouseDown(ui::TObject* Sender, ui::TMouseButton Button, ui::TShiftState Shift,
                       int X, int Y);
  void image1MouseMove(ui::TObject* Sender, ui::TShiftState Shift, int X, int Y);

private:
  std::string FFriendName;  // ANSI
};

extern TSelectIDform* SelectIDform;

// Creates the number-selection dialog as the application's main window and hands it the
// friend name (ANSI); the message loop shows it.
void CreateSelectIDForm(const std::string& friendName);
