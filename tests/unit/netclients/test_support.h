// Helpers shared by the component tests.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/debugout.h"

namespace testing_support {

// Collects the lines written to the debugger output while it lives.
class DebugLines {
public:
  DebugLines() {
    Clear();
    previous_ = plat::SetDebugSink(&Sink);
  }
  ~DebugLines() { plat::SetDebugSink(previous_); }
  std::vector<std::string> Lines() {
    std::lock_guard<std::mutex> hold(Mutex());
    return Store();
  }

private:
  static std::mutex& Mutex() {
    static std::mutex m;
    return m;
  }
  static std::vector<std::string>& Store() {
    static std::vector<std::string> lines;
    return lines;
  }
  static void Sink(const char* text) {
    std::lock_guard<std::mutex> hold(Mutex());
    Store().push_back(text);
  }
  plat::DebugSink previous_;

public:
  void Clear() {
    std::lock_guard<std::mutex> hold(Mutex());
    Store().clear();
  }
};

// Fills a record with bytes that differ from one offset to the next (never 0).
template <class Record>
void FillPattern(Record& record, int32_t stateValue, size_t stateOffset) {
  auto* bytes = reinterpret_cast<uint8_t*>(&record);
  for (size_t i = 0; i < sizeof record; ++i) bytes[i] = static_cast<uint8_t>(0x11 + i * 7);
  std::memcpy(bytes + stateOffset, &stateValue, 4);
}

// Byte offsets where two records differ.
template <class Record>
std::vector<size_t> Differences(const Record& a, const Record& b) {
  std::vector<size_t> out;
  auto* x = reinterpret_cast<const uint8_t*>(&a);
  auto* y = reinterpret_cast<const uint8_t*>(&b);
  for (size_t i = 0; i < sizeof a; ++i)
    if (x[i] != y[i]) out.push_back(i);
  return out;
}

inline std::vector<size_t> Range(size_t offset, size_t size) {
  std::vector<size_t> out;
  for (size_t i = 0; i < size; ++i) out.push_back(offset + i);
  return out;
}

// One setter of the setter pattern: how to call it and which bytes of the record it owns.
template <class Client>
struct SetterCase {
  const char* name;
  size_t offset;
  size_t size;
  std::function<void(Client&)> set;
};

}  // namespace testing_support
