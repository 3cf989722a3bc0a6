// What the Netrik tests share: the library loaded as the DLL entry would, and a watch on
// the debugger output.
#pragma once
#include <mutex>
#include <string>
#include <vector>

namespace netrik_test {

// Collects every line written to the debugger output while it exists.
class DebugCapture {
public:
  DebugCapture();
  ~DebugCapture();
  std::vector<std::string> Lines() const;
  void Clear();

private:
  static void Sink(const char* text);
};

// The report line that LogException writes for Netrik, as code page 936 bytes.
std::string ReportLine(const std::string& message, const std::string& unit,
                       const std::string& method);

}  // namespace netrik_test
