// Test helper: reports one exception the way Intora's controls do, so that a test can look
// at the log file it leaves beside this program.
//   intora_log_writer MESSAGE METHOD
#include <cstdio>

#include "uException.h"

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  try {
    throw plat::Exception(argv[1]);
  } catch (const plat::Exception& e) {
    LogException(e, "UIControls", "OLVEXImageButton", argv[2], "");
  }
  std::printf("%s\n", GetAppPath().c_str());
  return 0;
}
