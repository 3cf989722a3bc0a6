// The plain message dialog.
#pragma once
#include <string>

namespace ui {

// Shows text with a single OK button, captioned with the application's title, modal to the
// active window; returns when the user has closed it.
void ShowMessage(const std::string& text);

}  // namespace ui
