// Reading the "mupa://" link that Intora is started with.
#pragma once
#include <string>

enum class TLinkKind { None, OpenTalkForm, Login };

// The command of a link and its parameter values, as ANSI bytes exactly as they stand in the
// link (no decoding, no trimming); values of a marker that is missing stay empty.
struct TLinkCommand {
  TLinkKind Kind = TLinkKind::None;
  std::string FriendName;
  std::string LoginName;
  std::string Password;
};

TLinkCommand ParseLink(const std::string& link);

// The first argument of an ANSI command line (the program's name being the zeroth), split as
// plat::ParamList does; empty when there is none.
std::string FirstArgument(const std::string& commandLine);
