#include "CommandLine.h"

namespace {

// One item starting at pos (after the blanks before it); pos ends after the item.
bool NextItem(const std::string& line, std::size_t& pos, std::string& item) {
  while (pos < line.size() && static_cast<unsigned char>(line[pos]) <= ' ') ++pos;
  if (pos >= line.size()) return false;
  item.clear();
  bool quoted = false;
  while (pos < line.size()) {
    char c = line[pos];
    if (!quoted && static_cast<unsigned char>(c) <= ' ') break;
    if (c == '"')
      quoted = !quoted;
    else
      item += c;
    ++pos;
  }
  return true;
}

}  // namespace

std::vector<std::string> ParamList(const std::string& commandLine) {
  std::vector<std::string> params;
  std::size_t pos = 0;
  std::string item;
  if (!NextItem(commandLine, pos, item)) return params;  // the program's own name
  while (NextItem(commandLine, pos, item)) params.push_back(item);
  return params;
}
