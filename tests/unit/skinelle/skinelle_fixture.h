// Shared set-up of the Skinelle tests: the library's objects created and destroyed around each
// test (as library load and unload do), the debugger output and the window messages recorded,
// and skin files written into a folder of the test's own.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Skinelle.h"
#include "platform/winmsg.h"
#include "testsupport/BinTreeWriter.h"
#include "testsupport/TempFolder.h"

namespace skinelle_test {

struct SentMessage {
  plat::WindowHandle Window;
  uint32_t Message;
  uintptr_t WParam;
  intptr_t LParam;
  bool operator==(const SentMessage& o) const {
    return Window == o.Window && Message == o.Message && WParam == o.WParam && LParam == o.LParam;
  }
};
void PrintTo(const SentMessage& m, std::ostream* os);

// A fake window handle: listeners are keys only, the message sink answers for the windows.
inline void* Window(uintptr_t n) { return reinterpret_cast<void*>(n); }

class SkinelleTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Writes the image to a file in the test's folder and returns its UTF-16 name.
  std::u16string WriteFile(const std::filesystem::path& name, const std::vector<uint8_t>& image);
  std::u16string WriteTree(const std::filesystem::path& name, const testsupport::TreeNodeSpec& root,
                           int32_t version = 100);
  std::u16string Missing() const;
  static const SkinelleChar* C(const std::u16string& s) {
    return reinterpret_cast<const SkinelleChar*>(s.c_str());
  }

  std::unique_ptr<testsupport::TempFolder> folder_;
  std::filesystem::path dir_;

public:
  // What the test saw; reset for each test.
  static std::vector<SentMessage> sent;
  static std::vector<std::string> debugLines;
  // Runs inside each send, after it is recorded (for listeners that act on their message).
  static std::function<void(const SentMessage&)> onMessage;
};

// A document holding one node of every kind, under the directory "All".
testsupport::TreeNodeSpec EveryKind();

}  // namespace skinelle_test
