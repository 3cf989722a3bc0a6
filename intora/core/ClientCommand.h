// What Intora and the messenger "mupa.exe" exchange: the identifier that marks the
// messenger's window and mutex, the number query, and the record sent by WM_COPYDATA.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Name of the window property (value 1) on every messenger main window, and of the named
// mutex a running messenger holds.
constexpr const char* ClientGUID = "{3FC388DD-B40F-4F22-86A1-6F467F655A6C}";

// Sent with wParam 0 and lParam 0; the answer is the logged-in number, 0 when not logged in.
constexpr unsigned MSG_GET_NUMBER = 11020;  // 0x2B0C

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

// Copies ANSI text (the system's code page) into a field, cut to at most ClientTextField - 1 bytes
// without splitting a double-byte character; the rest of the field is zeroed.
void SetClientText(char (&field)[ClientTextField], const std::string& text);

// Zeroed records for the two commands, their texts narrowed to the ANSI code page.
TClientCommand MakeOpenTalkFormCommand(const std::u16string& friendName);
TClientCommand MakeLoginCommand(const std::u16string& loginName, const std::u16string& password);

// A window handle in a window list: its decimal text, taken as unsigned 32-bit.
std::string WindowHandleText(uint32_t handle);
// The handle a window-list text stands for; 0 when the text is no decimal number of 32 bits.
uint32_t WindowHandleFromText(const std::string& text);
// The window handle whose 32 bits these are: sign-extended, as a 64-bit system hands out
// window handles (the same value in a 32-bit program).
intptr_t WindowHandleValue(uint32_t handle);

// A messenger's answer to MSG_GET_NUMBER as signed decimal text ("-5", "10001").
std::string NumberText(int32_t number);
