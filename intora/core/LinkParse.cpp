#include "LinkParse.h"

namespace {

const std::string OpenTalkFormPrefix = "mupa://OpenTalkForm/";
const std::string LoginPrefix = "mupa://Login/";
const std::string FriendNameMarker = "&FriendName=";
const std::string LoginNameMarker = "&LoginName=";
const std::string PasswordMarker = "&Password=";

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

// Reads one argument starting at pos; returns the position behind it.
size_t ReadArgument(const std::string& line, size_t pos, std::string* arg) {
  // Blanks and empty "" pairs before an argument are skipped.
  for (;;) {
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos + 1 < line.size() && line[pos] == '"' && line[pos + 1] == '"') {
      pos += 2;
    } else {
      break;
    }
  }
  arg->clear();
  bool quoted = false;
  for (; pos < line.size(); ++pos) {
    char c = line[pos];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && IsBlank(c)) {
      break;
    } else {
      arg->push_back(c);
    }
  }
  return pos;
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
  std::string program, first;
  size_t pos = ReadArgument(commandLine, 0, &program);
  ReadArgument(commandLine, pos, &first);
  return first;
}
