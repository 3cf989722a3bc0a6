// Intora.exe: started with one "mupa://" link, hands its command to the messenger and ends;
// only the number-selection dialog keeps it running until the user closes it.
#include <windows.h>

#include <string>

#include "CallOLVEXClient.h"
#include "LinkParse.h"
#include "platform/ansi.h"
#include "ui/Application.h"

// The link and its parameter values, ANSI text as it stands in the link.
std::string Link;
std::string FriendName;
std::string LoginName;
std::string Password;

namespace {

// Parses the link, acts on it and runs the dialog when there is one.
void Run() {
  Link = FirstArgument(GetCommandLineA());
  TLinkCommand command = ParseLink(Link);
  FriendName = command.FriendName;
  LoginName = command.LoginName;
  Password = command.Password;

  switch (command.Kind) {
    case TLinkKind::OpenTalkForm:
      CallOpenTalkForm(plat::AnsiToWide(FriendName));
      break;
    case TLinkKind::Login:
      CallLogin(plat::AnsiToWide(LoginName), plat::AnsiToWide(Password));
      break;
    case TLinkKind::None:
      break;
  }

  ui::Application().Run();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ui::Application().Initialize();
  // An error here (the dialog's window cannot be made, for one) is reported, and the program
  // ends.
  try {
    Run();
  } catch (...) {
    ui::Application().HandleException();
  }
  return 0;
}
