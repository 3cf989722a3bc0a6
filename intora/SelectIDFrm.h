#pragma once
#include <string>
#include <vector>
// Numbers (signed decimal texts) of the logged-in messenger instances, in window order;
// created empty at program start, filled by CallOpenTalkForm.
extern std::vector<std::string> NumberList;
// Creates the number-selection dialog as the application's main window and hands it the
// friend name (ANSI); the message loop shows it.
void CreateSelectIDForm(const std::string& friendName);
