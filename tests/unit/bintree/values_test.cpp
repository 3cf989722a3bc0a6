// Value kinds: widths, storage, SetValue/GetValue/ClearValue and the raw accessors.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "BinaryTreeDocument100.h"
#include "platform/clock.h"
#include "platform/except.h"

using namespace bintree;

namespace {

std::unique_ptr<TBinTreeNode100> Make(uint8_t kind) {
  TBinaryTreeDocument100 doc;
  return std::unique_ptr<TBinTreeNode100>(doc.CreateNode(kind, nullptr, u"v"));
}

std::vector<uint8_t> ValueOf(const TBinTreeNode100& node, size_t room = 32) {
  std::vector<uint8_t> out(room, 0xEE);
  node.GetValue(out.data());
  return out;
}

const uint32_t kWidths[24] = {0, 1, 2, 0, 0, 1, 2, 4, 8, 1, 2, 4, 4, 6, 8, 10, 8, 8, 8, 1, 2, 4, 16, 0};

}  // namespace

TEST(ValueKinds, EveryCodeHasItsWidthAndAccessors) {
  for (uint8_t code = 0; code <= 23; ++code) {
    SCOPED_TRACE(code);
    auto node = Make(code);
    EXPECT_EQ(code, node->Kind());
    EXPECT_EQ(kWidths[code], node->ValueSize());
    bool variable = code == kAnsiString || code == kWideString || code == kBinary;
    EXPECT_EQ(nullptr, node->GetData());
    if (code == kDirectory || variable) {
      EXPECT_EQ(nullptr, node->GetValuePtr());
    } else {
      ASSERT_NE(nullptr, node->GetValuePtr());
      std::vector<uint8_t> zero(kWidths[code], 0);
      EXPECT_EQ(0, std::memcmp(zero.data(), node->GetValuePtr(), zero.size()));
    }
    // Nothing beyond ValueSize is ever written.
    std::vector<uint8_t> out = ValueOf(*node);
    for (size_t i = kWidths[code]; i < out.size(); ++i) ASSERT_EQ(0xEE, out[i]);
  }
}

TEST(FixedWidth, WrongSizeRaisesTheAssertionAndKeepsTheValue) {
  TInt32Node100 node(nullptr, u"n");
  int32_t v = -7;
  node.SetValue(&v, 4);
  const char three[3] = {1, 2, 3};
  for (int32_t size : {3, 5, 0, -4}) {
    try {
      node.SetValue(three, size);
      FAIL() << size;
    } catch (const plat::EAssertionFailed& e) {
      EXPECT_EQ(0u, e.Message().find("Assertion failure (Common\\Binary Tree Document\\"
                                     "BinaryTreeDocument100, line "));
    }
  }
  int32_t back = 0;
  node.GetValue(&back);
  EXPECT_EQ(-7, back);
  EXPECT_EQ(4u, node.ValueSize());
}

TEST(FixedWidth, ValuesRoundTripAndPointInPlace) {
  const uint8_t ten[10] = {0, 1, 2, 3, 4, 5, 6, 7, 0xFF, 0x7F};
  TReal80Node100 real(nullptr, u"r");
  real.SetValue(ten, 10);
  std::vector<uint8_t> out = ValueOf(real);
  EXPECT_EQ(0, std::memcmp(ten, out.data(), 10));
  EXPECT_EQ(0xEE, out[10]);

  uint8_t g[16];
  for (int i = 0; i < 16; ++i) g[i] = static_cast<uint8_t>(0xA0 + i);
  TGUIDNode100 guid(nullptr, u"g");
  guid.SetValue(g, 16);
  EXPECT_EQ(0, std::memcmp(g, guid.GetValuePtr(), 16));
}

TEST(FixedWidth, ClearValueZeroesExceptTimeStampAndGuid) {
  const uint8_t bytes[16] = {9, 8, 7, 6, 5, 4, 3, 2, 1, 1, 1, 1, 1, 1, 1, 1};
  for (uint8_t code = 1; code <= 22; ++code) {
    if (code == kAnsiString || code == kWideString || code == kDateTime) continue;
    SCOPED_TRACE(code);
    auto node = Make(code);
    node->SetValue(bytes, static_cast<int32_t>(kWidths[code]));
    node->ClearValue();
    std::vector<uint8_t> out = ValueOf(*node);
    bool kept = code == kTimeStamp || code == kGUID;
    for (size_t i = 0; i < kWidths[code]; ++i) EXPECT_EQ(kept ? bytes[i] : 0, out[i]);
  }
}

// The clock that ClearValue reads while the date-time test runs.
plat::LocalTime g_now;
plat::LocalTime FixedNow() { return g_now; }

double ClearedAt(TDateTimeNode100& node, uint16_t year, uint16_t month, uint16_t day,
                 uint16_t hour = 0, uint16_t minute = 0, uint16_t second = 0, uint16_t ms = 0) {
  g_now = plat::LocalTime{year, month, 0, day, hour, minute, second, ms};
  node.ClearValue();
  double v = -1;
  node.GetValue(&v);
  return v;
}

TEST(DateTime, StartsAtZeroAndClearsToTheLocalClock) {
  TDateTimeNode100 node(nullptr, u"d");
  double v = -1;
  node.GetValue(&v);
  EXPECT_EQ(0.0, v);

  plat::ClockSource previous = plat::SetClockSource(FixedNow);
  EXPECT_DOUBLE_EQ(45351.0 + (13 * 3600000.0 + 30 * 60000.0 + 15250.0) / 86400000.0,
                   ClearedAt(node, 2024, 2, 29, 13, 30, 15, 250));
  EXPECT_EQ(0.0, ClearedAt(node, 1899, 12, 30));
  EXPECT_EQ(61.0, ClearedAt(node, 1900, 3, 1));
  EXPECT_EQ(-693593.0, ClearedAt(node, 1, 1, 1));
  plat::SetClockSource(previous);
}

TEST(VariableKinds, StringsCopyExactBytesAndIgnoreEmptyInput) {
  for (uint8_t code : {uint8_t(kAnsiString), uint8_t(kWideString)}) {
    SCOPED_TRACE(code);
    auto node = Make(code);
    EXPECT_EQ(0u, node->ValueSize());
    node->SetValue("hello", 5);
    EXPECT_EQ(5u, node->ValueSize());
    std::vector<uint8_t> out = ValueOf(*node, 6);
    EXPECT_EQ(0, std::memcmp("hello", out.data(), 5));
    EXPECT_EQ(0xEE, out[5]);
    ASSERT_NE(nullptr, node->GetData());
    EXPECT_EQ(0, std::memcmp("hello", node->GetData(), 5));

    node->SetValue("x", 0);
    node->SetValue("x", -1);
    EXPECT_EQ(5u, node->ValueSize());

    node->SetValue("ab", 2);
    EXPECT_EQ(2u, node->ValueSize());
    node->SetValue("longer text", 11);
    EXPECT_EQ(11u, node->ValueSize());
    EXPECT_EQ(0, std::memcmp("longer text", node->GetData(), 11));

    node->ClearValue();
    EXPECT_EQ(0u, node->ValueSize());
    EXPECT_EQ(nullptr, node->GetData());
    EXPECT_EQ(0xEE, ValueOf(*node)[0]);
  }
}

TEST(VariableKinds, BinaryIsEmptiedByEmptyInput) {
  for (int32_t size : {0, -1}) {
    TBinaryNode100 node(nullptr, u"b");
    node.SetValue("12345", 5);
    node.SetValue("zz", size);
    EXPECT_EQ(0u, node.ValueSize());
    EXPECT_EQ(nullptr, node.GetData());
  }
}

TEST(Directory, IgnoresValues) {
  TDirectoryNode100 dir(nullptr, u"d");
  dir.SetValue("12345678", 8);
  EXPECT_EQ(0u, dir.ValueSize());
  EXPECT_EQ(nullptr, dir.GetData());
  EXPECT_EQ(nullptr, dir.GetValuePtr());
  EXPECT_EQ(0xEE, ValueOf(dir)[0]);
}
