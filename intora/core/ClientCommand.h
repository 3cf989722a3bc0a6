// The record Intora hands the messenger by WM_COPYDATA.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

constexpr int32_t CMD_LOGIN = 11021;           // 0x2B0D
constexpr int32_t CMD_OPEN_TALK_FORM = 11022;  // 0x2B0E

// Each text field: at most this many bytes of text, then the terminating zero.
constexpr size_t ClientTextField = 50;

#pragma pack(push, 1)
struct TClientCommand {
  int32_t Command;
  char LoginName[ClientTextField];
  char Password[ClientTextField];
  char FriendName[ClientTextField];
};
#pragma pack(pop)

static_assert(sizeof(TClientCommand) == 154, "TClientCommand is 154 bytes");
static_assert(offsetof(TClientCommand, Command) == 0, "Command at 0");
static_assert(offsetof(TClientCommand, LoginName) == 4, "LoginName at 4");
static_assert(offsetof(TClientCommand, Password) == 54, "Password at 54");
static_assert(offsetof(TClientCommand, FriendName) == 104, "FriendName at 104");

// Copies ANSI text (code page 936) into a field, cut to at most ClientTextField - 1 bytes
// without splitting a double-byte character; the rest of the field is zeroed.
void SetClientText(char (&field)[ClientTextField], const std::string& text);

// Zeroed records for the two commands, their texts narrowed to the ANSI code page.
TClientCommand MakeOpenTalkFormCommand(const std::u16string& friendName);
TClientCommand MakeLoginCommand(const std::u16string& loginName, const std::u16string& password);
