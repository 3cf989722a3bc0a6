// The twenty typed lookups: the skin family and its resource twins run the same cases.
#include <cstring>

#include "skinelle_fixture.h"
#include "uResourceManage.h"
#include "uSkinManage.h"

namespace skinelle_test {
namespace {

namespace ts = testsupport;

using LoadFn = SkinelleBool(SKINELLE_CALL*)(const SkinelleChar*);
using HeapFn = SkinelleBool(SKINELLE_CALL*)(const SkinelleChar*, void**, int32_t*);
using StringFn = SkinelleBool(SKINELLE_CALL*)(const SkinelleChar*, void*, uint32_t);

struct Family {
  const char* Name;
  LoadFn Load;
  LoadFn LoadOther;
  HeapFn Bitmap, Stream, File;
  StringFn String;
  SkinelleBool(SKINELLE_CALL* Int32)(const SkinelleChar*, int32_t*);
  SkinelleBool(SKINELLE_CALL* UInt32)(const SkinelleChar*, uint32_t*);
  SkinelleBool(SKINELLE_CALL* Float)(const SkinelleChar*, float*);
  SkinelleBool(SKINELLE_CALL* Double)(const SkinelleChar*, double*);
  SkinelleBool(SKINELLE_CALL* Bool)(const SkinelleChar*, SkinelleBool*);
  SkinelleBool(SKINELLE_CALL* Guid)(const SkinelleChar*, void*);

  // The three pointer lookups and the four 4-byte lookups, which must behave alike.
  std::vector<HeapFn> Heaps() const { return {Bitmap, Stream, File}; }
  std::vector<SkinelleBool (*)(const Family&, const SkinelleChar*, uint32_t*)> Fours() const {
    return {[](const Family& f, const SkinelleChar* p, uint32_t* s) {
              return f.Int32(p, reinterpret_cast<int32_t*>(s));
            },
            [](const Family& f, const SkinelleChar* p, uint32_t* s) { return f.UInt32(p, s); },
            [](const Family& f, const SkinelleChar* p, uint32_t* s) {
              return f.Float(p, reinterpret_cast<float*>(s));
            },
            [](const Family& f, const SkinelleChar* p, uint32_t* s) {
              return f.Bool(p, reinterpret_cast<SkinelleBool*>(s));
            }};
  }
};

const Family kSkin{"Skin",
                   &LoadSkinFile,
                   &LoadResFile,
                   &GetSkinBitmapByName,
                   &GetSkinStreamByName,
                   &GetSkinFileByName,
                   &GetSkinStringByName,
                   &GetSkinInt32ByName,
                   &GetSkinUInt32ByName,
                   &GetSkinFloatByName,
                   &GetSkinDoubleByName,
                   &GetSkinBoolByName,
                   &GetSkinGUIDByName};
const Family kRes{"Res",
                  &LoadResFile,
                  &LoadSkinFile,
                  &GetResBitmapByName,
                  &GetResStreamByName,
                  &GetResFileByName,
                  &GetResStringByName,
                  &GetResInt32ByName,
                  &GetResUInt32ByName,
                  &GetResFloatByName,
                  &GetResDoubleByName,
                  &GetResBoolByName,
                  &GetResGUIDByName};

const SkinelleChar* P(const char16_t* s) { return reinterpret_cast<const SkinelleChar*>(s); }

template <class T>
std::vector<uint8_t> Bytes(const T& v) {
  std::vector<uint8_t> out(sizeof v);
  std::memcpy(out.data(), &v, sizeof v);
  return out;
}

class Lookups : public SkinelleTest, public ::testing::WithParamInterface<Family> {
protected:
  const Family& F() const { return GetParam(); }
  void LoadEveryKind() { ASSERT_EQ(-1, F().Load(C(WriteTree("every.skn", EveryKind())))); }

  // Every 4-byte lookup gives these bytes for path.
  void ExpectFour(const char16_t* path, const std::vector<uint8_t>& bytes) {
    for (auto four : F().Fours()) {
      uint32_t slot = 0xDEADBEEF;
      EXPECT_EQ(-1, four(F(), P(path), &slot)) << static_cast<const void*>(path);
      EXPECT_EQ(bytes, Bytes(slot));
    }
  }
  // Every 4-, 8- and 16-byte lookup refuses path and leaves its slot alone.
  void ExpectFixedRefused(const char16_t* path, bool four, bool eight, bool sixteen) {
    for (auto fn : F().Fours()) {
      uint32_t slot = 0xDEADBEEF;
      EXPECT_EQ(four ? 0 : -1, fn(F(), P(path), &slot) == 0 ? 0 : -1);
      if (four) {
        EXPECT_EQ(0xDEADBEEFu, slot);
      }
    }
    double d = 7.0;
    EXPECT_EQ(eight ? 0 : -1, F().Double(P(path), &d));
    if (eight) {
      EXPECT_EQ(7.0, d);
    }
    uint8_t guid[16];
    std::memset(guid, 0xAB, sizeof guid);
    EXPECT_EQ(sixteen ? 0 : -1, F().Guid(P(path), guid));
    if (sixteen) {
      for (uint8_t b : guid) EXPECT_EQ(0xAB, b);
    }
  }
};

TEST_P(Lookups, EveryLookupFailsBeforeAnyLoadAndTouchesNothing) {
  for (const char16_t* path : {u"ROOT", u"All", u"", u"\\"}) {
    void* data = &data;
    int32_t size = 77;
    for (HeapFn heap : F().Heaps()) {
      EXPECT_EQ(0, heap(P(path), &data, &size));
      EXPECT_EQ(&data, data);
      EXPECT_EQ(77, size);
    }
    char buf[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(0, F().String(P(path), buf, sizeof buf));
    EXPECT_EQ(0, std::memcmp(buf, "xxxx", 4));
    ExpectFixedRefused(path, true, true, true);
  }
}

TEST_P(Lookups, FourByteLookupsCopyTheBytesWhateverTheKind) {
  LoadEveryKind();
  ExpectFour(u"All\\Int32", Bytes(int32_t{-123456}));
  ExpectFour(u"All\\UInt32", Bytes(uint32_t{4294967295u}));
  ExpectFour(u"All\\Real32", Bytes(1.5f));
  ExpectFour(u"All\\Bool32", Bytes(int32_t{-1}));
  int32_t i = 0;
  ASSERT_EQ(-1, F().Int32(P(u"All\\UInt32"), &i));
  EXPECT_EQ(-1, i);
  ASSERT_EQ(-1, F().Int32(P(u"All\\Real32"), &i));
  EXPECT_EQ(0x3FC00000, i);
  float f = 0;
  ASSERT_EQ(-1, F().Float(P(u"All\\Real32"), &f));
  EXPECT_EQ(1.5f, f);
  // Longer values give their leading bytes.
  ExpectFour(u"All\\Int64", {8, 7, 6, 5});
  ExpectFour(u"All\\Ansi", {'a', 'b', 'c', 'd'});
  ExpectFour(u"All\\Binary", {9, 8, 7, 6});
  ExpectFour(u"All\\Guid", {0x10, 0x32, 0x54, 0x76});
}

TEST_P(Lookups, EightByteLookupServesEveryEightByteKind) {
  LoadEveryKind();
  double d = 0;
  ASSERT_EQ(-1, F().Double(P(u"All\\Real64"), &d));
  EXPECT_EQ(2.25, d);
  ASSERT_EQ(-1, F().Double(P(u"All\\DateTime"), &d));
  EXPECT_EQ(1.0, d);
  for (const char16_t* path : {u"All\\Int64", u"All\\Currency", u"All\\TimeStamp"}) {
    uint64_t raw = 0;
    ASSERT_EQ(-1, F().Double(P(path), reinterpret_cast<double*>(&raw)));
    int64_t expected = path[4] == u'I' ? 0x0102030405060708LL
                       : path[4] == u'C' ? 10000
                                         : 0x0000000200000001LL;
    EXPECT_EQ(static_cast<uint64_t>(expected), raw);
  }
}

TEST_P(Lookups, GuidLookupCopiesSixteenBytes) {
  LoadEveryKind();
  uint8_t guid[17];
  std::memset(guid, 0xAB, sizeof guid);
  ASSERT_EQ(-1, F().Guid(P(u"All\\Guid"), guid));
  const uint8_t expected[16] = {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE,
                                1,    2,    3,    4,    5,    6,    7,    8};
  EXPECT_EQ(0, std::memcmp(expected, guid, 16));
  EXPECT_EQ(0xAB, guid[16]);
}

TEST_P(Lookups, ValuesShorterThanTheSlotAreRefused) {
  LoadEveryKind();
  for (const char16_t* path : {u"All\\Dir", u"All\\AnsiChar", u"All\\WideChar", u"All\\Int8",
                               u"All\\Int16", u"All\\UInt8", u"All\\UInt16", u"All\\Bool8",
                               u"All\\Bool16", u"All\\EmptyBinary", u"All\\EmptyAnsi"})
    ExpectFixedRefused(path, true, true, true);
  // Four bytes but not eight; six ("Hi" and one more unit) or ten but not sixteen.
  for (const char16_t* path : {u"All\\Int32", u"All\\UInt32", u"All\\Real32", u"All\\Bool32"})
    ExpectFixedRefused(path, false, true, true);
  for (const char16_t* path : {u"All\\Real48", u"All\\Wide", u"All\\Ansi", u"All\\Binary"})
    ExpectFixedRefused(path, false, true, true);
  ExpectFixedRefused(u"All\\Real80", false, false, true);
}

TEST_P(Lookups, StringLookupCopiesExactlyTheValueBytes) {
  LoadEveryKind();
  char buf[8];
  std::memset(buf, 'x', sizeof buf);
  ASSERT_EQ(-1, F().String(P(u"All\\Ansi"), buf, 6));  // exactly the size: no terminator
  EXPECT_EQ(0, std::memcmp(buf, "abcd\xd6\xd0xx", 8));

  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(0, F().String(P(u"All\\Ansi"), buf, 5));  // one short: nothing copied
  EXPECT_EQ(0, std::memcmp(buf, "xxxxxxxx", 8));

  char16_t wide[4] = {u'x', u'x', u'x', u'x'};
  ASSERT_EQ(-1, F().String(P(u"All\\Wide"), wide, sizeof wide));
  EXPECT_EQ(std::u16string(u"Hi\u4e2dx"), std::u16string(wide, 4));

  // Fixed-width values copy their bytes; a directory copies nothing and succeeds.
  int32_t i = 0;
  ASSERT_EQ(-1, F().String(P(u"All\\Int32"), &i, 4));
  EXPECT_EQ(-123456, i);
  ASSERT_EQ(-1, F().String(P(u"All\\Dir"), buf, 0));
  ASSERT_EQ(-1, F().String(P(u"All\\Dir"), nullptr, 0));
  ASSERT_EQ(-1, F().String(P(u"All\\EmptyBinary"), nullptr, 0));
  // A buffer that is missing is never written.
  EXPECT_EQ(0, F().String(P(u"All\\Ansi"), nullptr, 100));
}

TEST_P(Lookups, PointerLookupsHandOutTheNodesOwnHeapValue) {
  LoadEveryKind();
  for (HeapFn heap : F().Heaps()) {
    void* data = nullptr;
    int32_t size = 0;
    ASSERT_EQ(-1, heap(P(u"All\\Binary"), &data, &size));
    ASSERT_EQ(5, size);
    EXPECT_EQ(0, std::memcmp(data, "\x09\x08\x07\x06\x05", 5));
    void* again = nullptr;
    ASSERT_EQ(-1, heap(P(u"All\\Binary"), &again, &size));
    EXPECT_EQ(data, again);  // no copy

    ASSERT_EQ(-1, heap(P(u"All\\Wide"), &data, &size));
    ASSERT_EQ(6, size);
    EXPECT_EQ(0, std::memcmp(data, u"Hi\u4e2d", 6));

    data = &data;
    size = 99;
    ASSERT_EQ(-1, heap(P(u"All\\EmptyBinary"), &data, &size));
    EXPECT_EQ(nullptr, data);
    EXPECT_EQ(0, size);

    // No heap value: refused, the slots untouched.
    for (const char16_t* path : {u"All\\Dir", u"All\\Int32", u"All\\Guid", u"All\\Real80"}) {
      data = &data;
      size = 99;
      EXPECT_EQ(0, heap(P(path), &data, &size));
      EXPECT_EQ(&data, data);
      EXPECT_EQ(99, size);
    }
    // Missing slots are never written.
    EXPECT_EQ(0, heap(P(u"All\\Binary"), nullptr, &size));
    EXPECT_EQ(0, heap(P(u"All\\Binary"), &data, nullptr));
  }
}

TEST_P(Lookups, PathsAreTrimmedNormalisedAndComparedExactly) {
  LoadEveryKind();
  int32_t i = 0;
  for (const char16_t* path : {u"All\\Int32", u"\\\\All\\Int32\\\\", u" \tAll\\Int32 \r\n",
                               u"  \\All\\Int32\\  "}) {
    i = 0;
    EXPECT_EQ(-1, F().Int32(P(path), &i));
    EXPECT_EQ(-123456, i);
  }
  EXPECT_EQ(-1, F().Int32(P(u"All\\Dir\\Inner"), &i));
  EXPECT_EQ(1, i);
  i = 5;
  for (const char16_t* path : {u"all\\Int32", u"All\\\\Int32", u"ROOT\\All\\Int32", u"Int32",
                               u"All\\ Int32", u"All\\Int32\\Below", u"", u"   ", u"\\\\"}) {
    EXPECT_EQ(0, F().Int32(P(path), &i));
  }
  EXPECT_EQ(0, F().Int32(nullptr, &i));
  EXPECT_EQ(0, F().Int32(P(u"All\\Int32"), nullptr));
  EXPECT_EQ(5, i);
}

TEST_P(Lookups, EachFamilyReadsOnlyItsOwnDocument) {
  ASSERT_EQ(-1, F().Load(C(WriteTree("mine.skn", ts::Dir(u"R", {ts::Int32(u"Mine", 1)})))));
  ASSERT_EQ(-1, F().LoadOther(C(WriteTree("other.skn", ts::Dir(u"R", {ts::Int32(u"Other", 2)})))));
  int32_t i = 0;
  EXPECT_EQ(-1, F().Int32(P(u"Mine"), &i));
  EXPECT_EQ(1, i);
  EXPECT_EQ(0, F().Int32(P(u"Other"), &i));
  EXPECT_EQ(1, i);
}

INSTANTIATE_TEST_SUITE_P(Twins, Lookups, ::testing::Values(kSkin, kRes),
                         [](const ::testing::TestParamInfo<Family>& info) {
                           return std::string(info.param.Name);
                         });

}  // namespace
}  // namespace skinelle_test
