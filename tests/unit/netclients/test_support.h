// Helpers shared by the component tests.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <vector>

#include "platform/debugout.h"
#include "platform/except.h"

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

// The message of the plat::Exception that work raises, or "(nothing)".
inline std::string RaisedBy(const std::function<void()>& work) {
  try {
    work();
  } catch (const plat::Exception& e) {
    return e.Message();
  }
  return "(nothing)";
}

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
  int32_t written = 0;  // the 32-bit value the setter must write (a Boolean as -1 or 0)
};

// The setters both client records have, with the offsets of the record type I.
template <class C, class I>
std::vector<SetterCase<C>> CommonSetterCases() {
  return {
      {"ServerHost", offsetof(I, ServerHost), 128, [](C& c) { c.SetServerHost("h"); }},
      {"ServerPort", offsetof(I, ServerPort), 4, [](C& c) { c.SetServerPort(81); }, 81},
      {"LocalPort", offsetof(I, LocalPort), 4, [](C& c) { c.SetLocalPort(82); }, 82},
      {"ReuseAddr", offsetof(I, ReuseAddr), 4, [](C& c) { c.SetReuseAddr(true); }, -1},
      {"RecvBufferEnabled", offsetof(I, RecvBufferEnabled), 4,
       [](C& c) { c.SetRecvBufferEnabled(false); }, 0},
      {"SendBufferEnabled", offsetof(I, SendBufferEnabled), 4,
       [](C& c) { c.SetSendBufferEnabled(true); }, -1},
      {"RecvBufferSize", offsetof(I, RecvBufferSize), 4, [](C& c) { c.SetRecvBufferSize(83); }, 83},
      {"SendBufferSize", offsetof(I, SendBufferSize), 4, [](C& c) { c.SetSendBufferSize(84); }, 84},
      {"SendTimeOutEnabled", offsetof(I, SendTimeOutEnabled), 4,
       [](C& c) { c.SetSendTimeOutEnabled(false); }, 0},
      {"SendTimeOut", offsetof(I, SendTimeOut), 4, [](C& c) { c.SetSendTimeOut(85); }, 85},
      {"AutoHeartbeat", offsetof(I, AutoHeartbeat), 4, [](C& c) { c.SetAutoHeartbeat(true); }, -1},
      {"HeartbeatInterval", offsetof(I, HeartbeatInterval), 4,
       [](C& c) { c.SetHeartbeatInterval(86); }, 86},
      {"TerminateWaitTime", offsetof(I, TerminateWaitTime), 4,
       [](C& c) { c.SetTerminateWaitTime(89); }, 89},
  };
}

// Runs each setter on a fresh client over the pattern record that reset() puts in place
// and returns, and checks that what was written differs from it only in the setter's own
// bytes, that the record was read back afterwards, and that the same value writes again.
template <class Client, class Info, class Reset, class Make>
void CheckSetterPattern(const std::vector<SetterCase<Client>>& cases, Reset reset, Make make,
                        std::vector<Info>& writes, std::vector<std::string>& calls,
                        const std::vector<std::string>& writeThenRead) {
  for (const auto& setter : cases) {
    SCOPED_TRACE(setter.name);
    Info reported = reset();
    auto client = make();
    writes.clear();
    setter.set(*client);
    ASSERT_EQ(1u, writes.size());
    auto changed = Differences(reported, writes[0]);
    EXPECT_FALSE(changed.empty());
    if (setter.size == 4) {
      int32_t written;
      std::memcpy(&written, reinterpret_cast<const uint8_t*>(&writes[0]) + setter.offset, 4);
      EXPECT_EQ(setter.written, written);
    }
    for (size_t offset : changed) {
      EXPECT_GE(offset, setter.offset);
      EXPECT_LT(offset, setter.offset + setter.size);
    }
    EXPECT_EQ(writeThenRead, calls);
    setter.set(*client);
    EXPECT_EQ(2u, writes.size());
  }
}

}  // namespace testing_support
