# The 64-bit Windows test build (x86_64-w64-mingw32): the same programs under 64-bit Wine, on
# machines that cannot run 32-bit code. Its binaries are never delivered.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
