#include "LinkParse.h"

#include "platform/cmdline.h"

namespace {

const std::string OpenTalkFormPrefix = "mupa://OpenTalkForm/";
const std::string LoginPrefix = "mupa://Login/";
const std::string FriendNameMarker = "&FriendName=";
const std::string LoginNameMarker = "&LoginName=";
const std::string PasswordMarker = "&Password=";

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

TLinkCommand ParseLink(const std::string& link) {
  TLinkCommand cmd;
  if (StartsWith(link, OpenTalkFormPrefix)) {
    cmd.Kind = TLinkKind::OpenTalkForm;
    size_t p = link.find(FriendNameMarker);
    if (p != std::string::npos) cmd.FriendName = link.substr(p + FriendNameMarker.size());
  } else if (StartsWith(link, LoginPrefix)) {
    cmd.Kind = TLinkKind::Login;
    size_t a = link.find(LoginNameMarker);
    size_t b = link.find(PasswordMarker);
    if (a != std::string::npos && b != std::string::npos) {
      size_t from = a + LoginNameMarker.size();
      if (b > from) cmd.LoginName = link.substr(from, b - from);
      cmd.Password = link.substr(b + PasswordMarker.size());
    }
  }
  return cmd;
}

std::string FirstArgument(const std::string& commandLine) {
  const std::vector<std::string> params = plat::ParamList(commandLine);
  return params.empty() ? std::string() : params.front();
}
