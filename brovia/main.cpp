// Brovia.exe: the web desktop in a window of its own, full screen under a floating title tab,
// with an icon in the notification area. OLE is set up by the main window's unit before this
// runs and taken down after it returns.
#include <windows.h>

#include "MainWindow.h"

#include "ui/Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ui::Application().Initialize();
  ui::Application().MainFormOnTaskBar = true;
  // A main window that can't be made (the system refused one of its windows) is reported,
  // and the program ends.
  try {
    ui::Application().CreateForm(frmMain);
    ui::Application().Run();
  } catch (...) {
    ui::Application().HandleException();
  }
  // The window and its icon go before OLE is taken down.
  ui::Application().DestroyForms();
  return 0;
}
