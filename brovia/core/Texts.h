// Brovia's user-visible texts (code page 936).
#pragma once

namespace brovia {

inline constexpr const char* MainCaption = "Pelora浏览器";
inline constexpr const char* ProductCaption = "PeloraZuvi";
inline constexpr const char* TrayHint = "Pelora端";
inline constexpr const char* AutoHideHint = "自动隐藏";

inline constexpr const char* PromptCaption = "提示";
inline constexpr const char* UpgradePrompt = "您机器上的IE6版本过低，是否升级成IE8新版本?";
inline constexpr const char* DownloadPrompt = "您机器上的IE6版本过低，是否下载包含IE8的完整版Pelora端?";

// Entries of the tray icon's menu, top to bottom.
inline constexpr const char* MenuAbout = "了解Pelora";  // N4
inline constexpr const char* MenuShow = "显示";         // N2
inline constexpr const char* MenuHide = "隐藏";         // N3
inline constexpr const char* MenuExit = "退出";         // N1

}  // namespace brovia
