// The debugger output channel (OutputDebugStringA on Windows).
#pragma once
#include <string>

namespace plat {

// Writes one ANSI line to the debugger output, unchanged (no line break added).
void DebugOutput(const char* ansiText);
inline void DebugOutput(const std::string& ansiText) { DebugOutput(ansiText.c_str()); }

// A sink receives every line as well; tests use it to watch the channel. Returns the
// previous sink. On POSIX, with no sink installed, lines go to stderr when the environment
// variable SUITE_DEBUG_STDERR is set and are dropped otherwise.
using DebugSink = void (*)(const char* ansiText);
DebugSink SetDebugSink(DebugSink sink);

}  // namespace plat
