// Load and lookup speed of the binary tree document over generated images:
//   skin      about 10,000 nodes with a few MB of bitmaps
//   bitmaps   a few hundred large bitmaps (the copy dominates)
//   siblings  100,000 values under one directory
//   small     one million small values (1,000 directories of 1,000)
//   deep      a chain of one million nested directories
// For each (best of several runs, a fresh document each time):
//   load      LoadFromBuffer of the image in memory, in ms, MB/s and nodes/s
//   copy      a memcpy of the same bytes into a block allocated and written beforehand: the
//             copy alone, without allocation or first touch of its pages
//   ratio     load / copy
//   file      the way Skinelle loads a file: open, read into a stream, LoadFromStream (the
//             file lies in the system's cache after the first run)
//   destroy   the destruction of the loaded tree
//   lookups   FindNode per second over paths of existing nodes
// Usage: bench_bintree [runs]   (default 5)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "BinaryTreeDocument100.h"
#include "testsupport/BinTreeWriter.h"
#include "testsupport/TempFolder.h"
#include "uDocumentLookup.h"

using namespace bintree;
using testsupport::AppendInt32;
using testsupport::AppendRecord;
using Clock = std::chrono::steady_clock;

namespace {

struct Image {
  explicit Image(const char* n) : name(n) { AppendInt32(bytes, 100); }  // the version
  const char* name;
  std::vector<uint8_t> bytes;
  size_t nodes = 0;
  std::vector<std::u16string> paths;  // lookups to time
};

std::u16string Num(const char16_t* prefix, int n) {
  std::u16string s(prefix);
  std::string digits = std::to_string(n);
  s.append(digits.begin(), digits.end());
  return s;
}

void Dir(Image& im, const std::u16string& name, int children) {
  AppendRecord(im.bytes, kDirectory, name, nullptr, 0, children);
  ++im.nodes;
}

void Int32(Image& im, const std::u16string& name, int32_t v) {
  AppendRecord(im.bytes, kInt32, name, &v, 4, 0);
  ++im.nodes;
}

void Blob(Image& im, const std::u16string& name, uint32_t size) {
  std::vector<uint8_t> data(size);
  for (uint32_t i = 0; i < size; ++i) data[i] = static_cast<uint8_t>(i * 31 + size);
  AppendRecord(im.bytes, kBinary, name, data.data(), size, 0);
  ++im.nodes;
}

Image Skin() {
  // 100 windows, each with 8 bitmaps (~4 KB) and 90 small values: ~10,000 nodes, ~3.3 MB.
  Image im("skin");
  Dir(im, u"Skin", 100);
  for (int w = 0; w < 100; ++w) {
    std::u16string win = Num(u"Window", w);
    Dir(im, win, 98);
    for (int b = 0; b < 8; ++b) {
      Blob(im, Num(u"Bitmap", b), 4096 + 64 * b);
      if (w % 10 == 0) im.paths.push_back(win + u"\\" + Num(u"Bitmap", b));
    }
    for (int v = 0; v < 90; ++v) {
      std::u16string name = Num(u"Value", v);
      if (v % 3 == 0) {
        std::string text = "文字" + std::to_string(v);
        AppendRecord(im.bytes, kAnsiString, name, text.data(), static_cast<uint32_t>(text.size()), 0);
        ++im.nodes;
      } else {
        Int32(im, name, v);
      }
      if (v % 9 == 0) im.paths.push_back(win + u"\\" + name);
    }
  }
  return im;
}

Image Bitmaps() {
  Image im("bitmaps");
  Dir(im, u"Res", 200);
  for (int b = 0; b < 200; ++b) {
    Blob(im, Num(u"Bitmap", b), 32768);
    im.paths.push_back(Num(u"Bitmap", b));
  }
  return im;
}

Image Siblings() {
  Image im("siblings");
  Dir(im, u"Flat", 100000);
  for (int i = 0; i < 100000; ++i) Int32(im, Num(u"v", i), i);
  for (int i = 0; i < 100000; i += 10007) im.paths.push_back(Num(u"v", i));
  return im;
}

Image Small() {
  Image im("small");
  Dir(im, u"Root", 1000);
  for (int d = 0; d < 1000; ++d) {
    Dir(im, Num(u"d", d), 999);
    for (int v = 0; v < 999; ++v) Int32(im, Num(u"v", v), v);
    if (d % 50 == 0) im.paths.push_back(Num(u"d", d) + u"\\" + Num(u"v", (d * 7) % 999));
  }
  return im;
}

Image Deep() {
  Image im("deep");
  std::u16string path;
  for (int i = 0; i < 1000000; ++i) {
    Dir(im, u"n", 1);
    if (i > 0) path += u"n\\";
  }
  Int32(im, u"leaf", 1);
  im.paths.push_back(path + u"leaf");
  return im;
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

void Run(Image& im, int runs, const std::filesystem::path& dir) {
  const size_t size = im.bytes.size();
  const std::filesystem::path file = dir / im.name;
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(im.bytes.data()), static_cast<std::streamsize>(size));
  const std::u16string fileName = file.u16string();

  std::unique_ptr<uint8_t[]> copy(new uint8_t[size]);
  std::memset(copy.get(), 0, size);  // every page touched before the copy is timed
  double bestLoad = 1e9, bestCopy = 1e9, bestFile = 1e9, bestDestroy = 1e9;
  for (int r = 0; r < runs; ++r) {
    auto doc = std::make_unique<TBinaryTreeDocument100>();
    auto t0 = Clock::now();
    doc->LoadFromBuffer(im.bytes.data(), static_cast<int32_t>(size));
    auto t1 = Clock::now();
    doc.reset();
    auto t2 = Clock::now();
    bestLoad = std::min(bestLoad, Seconds(t1 - t0));
    bestDestroy = std::min(bestDestroy, Seconds(t2 - t1));

    auto c0 = Clock::now();
    std::memcpy(copy.get(), im.bytes.data(), size);
    auto c1 = Clock::now();
    volatile uint8_t sink = copy[size / 2];
    (void)sink;
    bestCopy = std::min(bestCopy, Seconds(c1 - c0));

    doc = std::make_unique<TBinaryTreeDocument100>();
    auto f0 = Clock::now();
    int32_t loaded = skinelle::LoadDocumentFile(doc.get(), fileName.c_str());
    auto f1 = Clock::now();
    if (loaded != skinelle::kTrue) std::printf("  !! the file did not load\n");
    bestFile = std::min(bestFile, Seconds(f1 - f0));
  }
  std::filesystem::remove(file);

  TBinaryTreeDocument100 doc;
  doc.LoadFromBuffer(im.bytes.data(), static_cast<int32_t>(size));
  size_t found = 0, lookups = 0;
  auto l0 = Clock::now();
  while (Seconds(Clock::now() - l0) < 0.2 || lookups == 0) {
    for (const std::u16string& p : im.paths) found += doc.FindNode(p) != nullptr;
    lookups += im.paths.size();
  }
  double lookupTime = Seconds(Clock::now() - l0);
  if (found != lookups) std::printf("  !! %zu of %zu lookups failed\n", lookups - found, lookups);

  std::printf("%-9s %7.2f MB %8zu nodes  load %8.2f ms %7.1f MB/s %6.2f Mnodes/s  "
              "copy %7.3f ms  ratio %5.1fx  file %8.2f ms  destroy %7.2f ms  "
              "lookups %9.0f /s\n",
              im.name, size / 1e6, im.nodes, bestLoad * 1e3, size / 1e6 / bestLoad,
              im.nodes / 1e6 / bestLoad, bestCopy * 1e3, bestLoad / bestCopy, bestFile * 1e3,
              bestDestroy * 1e3, lookups / lookupTime);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  testsupport::TempFolder dir("bench_bintree");
  Image images[] = {Skin(), Bitmaps(), Siblings(), Small(), Deep()};
  for (Image& im : images) Run(im, runs, dir.path());
  return 0;
}
