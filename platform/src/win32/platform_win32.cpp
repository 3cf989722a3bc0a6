// Win32 implementation of the platform headers.
#include <windows.h>

#include <atomic>
#include <cstring>
#include <vector>

#include "platform/ansi.h"
#include "platform/clock.h"
#include "platform/datetext.h"
#include "platform/debugout.h"
#include "platform/module.h"

namespace plat {

// --- ANSI code page -------------------------------------------------------------------

unsigned AnsiCodePage() { return GetACP(); }

size_t AnsiCharSize(std::string_view text, size_t i) {
  if (i + 1 >= text.size() || !IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(text[i]))) return 1;
  // The lead byte takes the next one along when the two make a character of the code page.
  return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data() + i, 2, nullptr, 0) == 1
             ? 2
             : 1;
}

std::string WideToAnsi(std::u16string_view text) {
  if (text.empty()) return std::string();
  const wchar_t* src = reinterpret_cast<const wchar_t*>(text.data());
  // Without WC_NO_BEST_FIT_CHARS a character outside the code page may come back as a
  // look-alike (U+00C0 as U+00E0 in code page 936) instead of the default character. Code
  // pages that refuse the flag (UTF-8 and the like) have no best-fit mapping anyway.
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  int n = WideCharToMultiByte(CP_ACP, flags, src, static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  if (n == 0 && GetLastError() == ERROR_INVALID_FLAGS) {
    flags = 0;
    n = WideCharToMultiByte(CP_ACP, flags, src, static_cast<int>(text.size()), nullptr, 0, nullptr,
                            nullptr);
  }
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, flags, src, static_cast<int>(text.size()), &out[0], n, nullptr,
                      nullptr);
  return out;
}

std::u16string AnsiToWide(std::string_view text) {
  if (text.empty()) return std::u16string();
  int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::u16string out(static_cast<size_t>(n), u'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                      reinterpret_cast<wchar_t*>(&out[0]), n);
  return out;
}

// --- Clock ---------------------------------------------------------------------------

namespace {
std::atomic<ClockSource> g_clock{nullptr};
std::atomic<DebugSink> g_sink{nullptr};
}  // namespace

LocalTime GetLocalTime() {
  if (ClockSource source = g_clock.load()) return source();
  SYSTEMTIME st;
  ::GetLocalTime(&st);
  LocalTime t;
  static_assert(sizeof t == sizeof st, "SYSTEMTIME layout");
  memcpy(&t, &st, sizeof t);
  return t;
}

ClockSource SetClockSource(ClockSource source) { return g_clock.exchange(source); }

// --- Debugger output -----------------------------------------------------------------

void DebugOutput(const char* ansiText) {
  if (DebugSink sink = g_sink.load()) sink(ansiText);
  OutputDebugStringA(ansiText);
}

DebugSink SetDebugSink(DebugSink sink) { return g_sink.exchange(sink); }

// --- Modules -------------------------------------------------------------------------

ModuleHandle LoadModule(const std::u16string& fileName) {
  return LoadLibraryW(reinterpret_cast<LPCWSTR>(fileName.c_str()));
}

void* GetProcAddr(ModuleHandle module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void UnloadModule(ModuleHandle module) {
  if (module) FreeLibrary(static_cast<HMODULE>(module));
}

bool ProcessEnding() {
  using Query = BOOLEAN(WINAPI*)();
  static const Query query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlDllShutdownInProgress")));
  return query && query();
}

ModuleHandle ModuleFromAddress(const void* address) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<LPCSTR>(address), &module))
    return nullptr;
  return module;
}

std::string ModuleFileNameA(ModuleHandle module) {
  std::vector<char> buf(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameA(static_cast<HMODULE>(module), buf.data(),
                                 static_cast<DWORD>(buf.size()));
    if (n == 0) return std::string();
    if (n < buf.size()) return std::string(buf.data(), n);
    buf.resize(buf.size() * 2);
  }
}

// ---- regional date and time texts (platform/datetext.h)

namespace {

SYSTEMTIME ToSystemTime(const LocalTime& t) {
  SYSTEMTIME st;
  static_assert(sizeof st == sizeof t, "SYSTEMTIME layout");
  std::memcpy(&st, &t, sizeof st);
  return st;
}

}  // namespace

std::string ShortDateText(const LocalTime& t) {
  SYSTEMTIME st = ToSystemTime(t);
  char buf[128];
  int n = ::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buf, sizeof buf);
  return n > 0 ? std::string(buf, n - 1) : std::string();
}

std::string LongTimeText(const LocalTime& t) {
  SYSTEMTIME st = ToSystemTime(t);
  char buf[128];
  int n = ::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, buf, sizeof buf);
  return n > 0 ? std::string(buf, n - 1) : std::string();
}

}  // namespace plat
