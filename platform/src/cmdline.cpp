#include "platform/cmdline.h"

namespace plat {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Reads one item starting at pos into item; false when only blanks are left. pos ends behind
// the item.
bool NextItem(const std::string& line, std::size_t& pos, std::string& item) {
  for (;;) {
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos + 1 < line.size() && line[pos] == '"' && line[pos + 1] == '"')
      pos += 2;
    else
      break;
  }
  if (pos >= line.size()) return false;
  item.clear();
  bool quoted = false;
  for (; pos < line.size(); ++pos) {
    const char c = line[pos];
    if (c == '"')
      quoted = !quoted;
    else if (!quoted && IsBlank(c))
      break;
    else
      item += c;
  }
  return true;
}

}  // namespace

std::vector<std::string> ParamList(const std::string& commandLine) {
  std::vector<std::string> params;
  std::size_t pos = 0;
  std::string item;
  if (!NextItem(commandLine, pos, item)) return params;  // the program's own name
  // Arguments count up to the first empty one: with empty "" pairs skipped, only a quote left
  // open at the end of the line makes one, and it is no argument.
  while (NextItem(commandLine, pos, item) && !item.empty()) params.push_back(item);
  return params;
}

}  // namespace plat
