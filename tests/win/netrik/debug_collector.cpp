// Runs a program as a debuggee and prints every string it sends to the debugger output,
// one per line, as "DBG:<bytes>". Ends with the debuggee's exit code; gives up (and ends
// the debuggee) after 120 seconds.
//   debug_collector <program> [args...]
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("usage: debug_collector <program> [args...]\n");
    return 2;
  }
  std::string cmd;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) cmd += ' ';
    cmd += '"';
    cmd += argv[i];
    cmd += '"';
  }
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::vector<char> line(cmd.begin(), cmd.end());
  line.push_back('\0');
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, DEBUG_ONLY_THIS_PROCESS,
                      nullptr, nullptr, &si, &pi)) {
    std::printf("cannot start %s (%lu)\n", argv[1], GetLastError());
    return 2;
  }
  DWORD deadline = GetTickCount() + 120000;
  DWORD exitCode = 3;
  bool done = false;
  while (!done) {
    if (static_cast<LONG>(GetTickCount() - deadline) > 0) {
      std::printf("debuggee did not end in time\n");
      TerminateProcess(pi.hProcess, 4);
      exitCode = 4;
      break;
    }
    DEBUG_EVENT ev;
    if (!WaitForDebugEvent(&ev, 500)) continue;
    DWORD status = DBG_CONTINUE;
    switch (ev.dwDebugEventCode) {
      case OUTPUT_DEBUG_STRING_EVENT: {
        const OUTPUT_DEBUG_STRING_INFO& s = ev.u.DebugString;
        std::vector<char> text(s.nDebugStringLength);
        SIZE_T got = 0;
        if (!s.fUnicode && !text.empty() &&
            ReadProcessMemory(pi.hProcess, s.lpDebugStringData, text.data(), text.size(), &got)) {
          std::string str(text.data(), got);
          if (!str.empty() && str.back() == '\0') str.pop_back();
          std::printf("DBG:%s\n", str.c_str());
          std::fflush(stdout);
        }
        break;
      }
      case CREATE_PROCESS_DEBUG_EVENT:
        if (ev.u.CreateProcessInfo.hFile) CloseHandle(ev.u.CreateProcessInfo.hFile);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (ev.u.LoadDll.hFile) CloseHandle(ev.u.LoadDll.hFile);
        break;
      case EXCEPTION_DEBUG_EVENT:
        if (ev.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
          status = DBG_EXCEPTION_NOT_HANDLED;
        break;
      case EXIT_PROCESS_DEBUG_EVENT:
        exitCode = ev.u.ExitProcess.dwExitCode;
        done = true;
        break;
      default:
        break;
    }
    ContinueDebugEvent(ev.dwProcessId, ev.dwThreadId, status);
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<int>(exitCode);
}
