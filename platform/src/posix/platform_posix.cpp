// POSIX implementation of the platform headers, for the native test build.
#include <dlfcn.h>
#include <link.h>
#include <fcntl.h>
#include <iconv.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/ansi.h"
#include "platform/clock.h"
#include "platform/debugout.h"
#include "platform/format_guid.h"
#include "platform/guid.h"
#include "platform/module.h"

namespace plat {

// --- ANSI code page (always 936 here) --------------------------------------------------

unsigned AnsiCodePage() { return 936; }

namespace {

// One converter per direction and thread; iconv handles are not shareable.
class Converter {
public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  iconv_t get() const { return cd_; }

private:
  iconv_t cd_;
};

bool IsAscii(const char16_t* p, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (p[i] >= 0x80) return false;
  return true;
}

bool IsAscii(const char* p, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (static_cast<unsigned char>(p[i]) >= 0x80) return false;
  return true;
}

}  // namespace

size_t AnsiCharSize(std::string_view text, size_t i) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const bool lead = byte(i) >= 0x81 && byte(i) <= 0xFE;
  return lead && i + 1 < text.size() && byte(i + 1) >= 0x40 && byte(i + 1) <= 0xFE &&
                 byte(i + 1) != 0x7F
             ? 2
             : 1;
}

std::string WideToAnsi(std::u16string_view text) {
  if (IsAscii(text.data(), text.size())) return std::string(text.begin(), text.end());
  thread_local Converter conv("GBK", "UTF-16LE");
  if (conv.get() == reinterpret_cast<iconv_t>(-1)) std::abort();
  iconv(conv.get(), nullptr, nullptr, nullptr, nullptr);
  std::string out;
  out.resize(text.size() * 2 + 4);
  char* in = reinterpret_cast<char*>(const_cast<char16_t*>(text.data()));
  size_t inLeft = text.size() * 2;
  char* dst = &out[0];
  size_t outLeft = out.size();
  while (inLeft > 0) {
    if (iconv(conv.get(), &in, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1)) {
      if (errno == E2BIG) break;  // cannot happen: two bytes out per unit in at most
      // Not representable (or a lone surrogate): the default character, one per unit.
      *dst++ = '?';
      --outLeft;
      in += 2;
      inLeft -= inLeft >= 2 ? 2 : inLeft;
    }
  }
  out.resize(out.size() - outLeft);
  return out;
}

std::u16string AnsiToWide(std::string_view text) {
  if (IsAscii(text.data(), text.size())) return std::u16string(text.begin(), text.end());
  thread_local Converter conv("UTF-16LE", "GBK");
  if (conv.get() == reinterpret_cast<iconv_t>(-1)) std::abort();
  iconv(conv.get(), nullptr, nullptr, nullptr, nullptr);
  std::u16string out;
  out.resize(text.size() + 2);
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char* dst = reinterpret_cast<char*>(&out[0]);
  size_t outLeft = out.size() * 2;
  while (inLeft > 0) {
    if (iconv(conv.get(), &in, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1)) {
      if (errno == E2BIG) break;
      // An invalid or incomplete sequence: the default character for its first byte.
      *reinterpret_cast<char16_t*>(dst) = u'?';
      dst += 2;
      outLeft -= 2;
      ++in;
      --inLeft;
    }
  }
  out.resize(out.size() - outLeft / 2);
  return out;
}

// --- Clock ---------------------------------------------------------------------------

namespace {
std::atomic<ClockSource> g_clock{nullptr};
std::atomic<DebugSink> g_sink{nullptr};
}  // namespace

LocalTime GetLocalTime() {
  if (ClockSource source = g_clock.load()) return source();
  struct timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  struct tm tm;
  time_t secs = ts.tv_sec;
  localtime_r(&secs, &tm);
  LocalTime t;
  t.Year = static_cast<uint16_t>(tm.tm_year + 1900);
  t.Month = static_cast<uint16_t>(tm.tm_mon + 1);
  t.DayOfWeek = static_cast<uint16_t>(tm.tm_wday);
  t.Day = static_cast<uint16_t>(tm.tm_mday);
  t.Hour = static_cast<uint16_t>(tm.tm_hour);
  t.Minute = static_cast<uint16_t>(tm.tm_min);
  t.Second = static_cast<uint16_t>(tm.tm_sec);
  t.Milliseconds = static_cast<uint16_t>(ts.tv_nsec / 1000000);
  return t;
}

ClockSource SetClockSource(ClockSource source) { return g_clock.exchange(source); }

// --- Debugger output -----------------------------------------------------------------

void DebugOutput(const char* ansiText) {
  if (DebugSink sink = g_sink.load()) {
    sink(ansiText);
    return;
  }
  if (std::getenv("SUITE_DEBUG_STDERR")) std::fprintf(stderr, "%s\n", ansiText);
}

DebugSink SetDebugSink(DebugSink sink) { return g_sink.exchange(sink); }

// --- GUIDs ---------------------------------------------------------------------------

bool CreateGuid(Guid& out) {
  Guid g{};
  int fd = open("/dev/urandom", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  ssize_t got = read(fd, &g, sizeof g);
  close(fd);
  if (got != static_cast<ssize_t>(sizeof g)) return false;
  g.Data3 = static_cast<uint16_t>((g.Data3 & 0x0FFF) | 0x4000);  // version 4
  g.Data4[0] = static_cast<uint8_t>((g.Data4[0] & 0x3F) | 0x80);  // variant
  out = g;
  return true;
}

std::string GuidToString(const Guid& guid) { return FormatGuidText(guid); }

bool StringToGuid(std::string_view text, Guid& out) { return ParseGuidText(text, out); }

// --- Modules -------------------------------------------------------------------------

ModuleHandle LoadModule(const std::u16string& fileName) {
  return dlopen(WideToUtf8(fileName).c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* GetProcAddr(ModuleHandle module, const char* name) {
  return module ? dlsym(module, name) : nullptr;
}

void UnloadModule(ModuleHandle module) {
  if (module) dlclose(module);
}

bool ProcessEnding() { return false; }

ModuleHandle ModuleFromAddress(const void* address) {
  Dl_info info;
  if (!dladdr(address, &info) || !info.dli_fname) return nullptr;
  // Re-open without loading anything new, to get a handle; the module holds the address
  // asked about, so it stays loaded after the extra reference is dropped again.
  void* handle = dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
  if (handle) dlclose(handle);
  return handle;
}

std::string ModuleFileNameA(ModuleHandle module) {
  if (!module) {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
  }
  struct link_map* map = nullptr;
  if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name) return std::string();
  if (map->l_name[0] == '\0') return ModuleFileNameA(nullptr);  // the program itself
  return map->l_name;
}

}  // namespace plat

// ---- regional date and time texts (platform/datetext.h)
#include "platform/datetext.h"
#include "platform/except.h"

namespace plat {

std::string ShortDateText(const LocalTime& t) {
  return Format("%u/%u/%u", t.Year, t.Month, t.Day);
}

std::string LongTimeText(const LocalTime& t) {
  return Format("%u:%02u:%02u", t.Hour, t.Minute, t.Second);
}

}  // namespace plat
