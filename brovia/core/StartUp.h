// What Brovia's start-up decides without a window: the updater's parameters and the
// check of the installed browser version.
#pragma once
#include <string>

namespace brovia {

// Files beside the program.
inline constexpr const char* UpdaterFile = "Update.exe";
inline constexpr const char* BrowserInstallerFile = "IE8-WindowsXP-x86-CHS.exe";
inline constexpr const char* WelcomePictureFile = "Welcome.jpg";
inline constexpr const char* LoadingPictureFile = "imgLoging.gif";

// Where the installed browser tells its version (under the local machine).
inline constexpr const char* BrowserVersionKey = "\\software\\microsoft\\internet explorer\\version Vector";
inline constexpr const char* BrowserVersionValue = "IE";

// The parameters the updater is started with: the program's full path in double quotes,
// a blank and "/Auto".
std::string UpdaterParameters(const std::string& programPath);

// True exactly when the browser version value is "6.0000" (whole text, case-sensitive).
bool IsIE6Version(const std::string& value);

}  // namespace brovia
