#include "ClientCommand.h"

#include <cstring>

#include "platform/ansi.h"

namespace {

// Length of the longest prefix of text that is at most limit bytes and ends on a character
// boundary of the ANSI code page.
size_t CutWithoutSplitting(const std::string& text, size_t limit) {
  size_t i = 0;
  while (i < text.size()) {
    size_t width = plat::AnsiCharSize(text, i);
    if (i + width > limit) break;
    i += width;
  }
  return i;
}

}  // namespace

void SetClientText(char (&field)[ClientTextField], const std::string& text) {
  std::memset(field, 0, ClientTextField);
  size_t n = CutWithoutSplitting(text, ClientTextField - 1);
  std::memcpy(field, text.data(), n);
}

TClientCommand MakeOpenTalkFormCommand(const std::u16string& friendName) {
  TClientCommand cmd;
  std::memset(&cmd, 0, sizeof cmd);
  cmd.Command = CMD_OPEN_TALK_FORM;
  SetClientText(cmd.FriendName, plat::WideToAnsi(friendName));
  return cmd;
}

TClientCommand MakeLoginCommand(const std::u16string& loginName, const std::u16string& password) {
  TClientCommand cmd;
  std::memset(&cmd, 0, sizeof cmd);
  cmd.Command = CMD_LOGIN;
  SetClientText(cmd.LoginName, plat::WideToAnsi(loginName));
  SetClientText(cmd.Password, plat::WideToAnsi(password));
  return cmd;
}

std::string WindowHandleText(uint32_t handle) {
  return std::to_string(handle);
}

uint32_t WindowHandleFromText(const std::string& text) {
  // The texts are written unsigned, so handles at and above 0x80000000 convert back as well.
  if (text.empty() || text.size() > 10) return 0;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return value > 0xFFFFFFFFull ? 0 : static_cast<uint32_t>(value);
}

intptr_t WindowHandleValue(uint32_t handle) {
  return static_cast<intptr_t>(static_cast<int32_t>(handle));
}

std::string NumberText(int32_t number) {
  return std::to_string(number);
}
