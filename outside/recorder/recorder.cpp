// A stand-in for the outside programs that Brovia starts: the updater "Update.exe", the
// browser installer "IE8-WindowsXP-x86-CHS.exe" and the system's default web browser. One
// program serves for all three: copied under each name (or registered as the handler of
// "http" addresses), it appends one line to "record.txt" in its own folder and ends:
//
//   <program file name without folder>|<the whole command line>
//
// The command line is written as the system hands it over, as ANSI text, the program's own
// name and every quote included, so that a test can check exactly how it was started. No
// window is shown.
#include <windows.h>

#include <string>

namespace {

std::string ProgramPath() {
  char name[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, name, MAX_PATH);
  return std::string(name, n);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  std::string path = ProgramPath();
  size_t slash = path.find_last_of("\\/:");
  std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string line = name + "|" + GetCommandLineA() + "\n";

  // Several stand-ins may start at once: append under an exclusive open, retried briefly.
  std::string record = folder + "record.txt";
  for (int attempt = 0; attempt < 100; ++attempt) {
    HANDLE file = CreateFileA(record.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
      CloseHandle(file);
      return 0;
    }
    Sleep(20);
  }
  return 1;
}
