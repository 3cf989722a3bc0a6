// Intora's side of the protocol with the messenger "mupa.exe": finding its windows, asking
// their numbers, offering to start it, and handing it commands.
#pragma once
#include <string>
#include <vector>

// The messenger windows (top-level windows whose property ClientGUID is exactly 1), topmost
// first, each as the decimal text of its handle.
std::vector<std::string> FindClientWindows();

// True when the messenger runs (its mutex exists) or the user just agreed to start it.
bool CheckClientRunning();

// Sends one open-chat record for FriendName to the window with the given handle.
void SendOpenTalkForm(const std::u16string& FriendName, unsigned window);

// Sends the open-chat record to the first messenger window that answers the given number.
void SendOpenTalkFormToNumber(const std::u16string& FriendName, const std::string& Number);

// The open-chat command of a link: sends to the one logged-in messenger, or lets the user
// choose when there are several.
void CallOpenTalkForm(const std::u16string& FriendName);

// The login command of a link: sends the login to every messenger window.
void CallLogin(const std::u16string& LoginName, const std::u16string& Password);
