# Project-wide settings and the helpers that every component's CMakeLists uses.

set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_POSITION_INDEPENDENT_CODE OFF)

option(SUITE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(SUITE_TSAN "Build with ThreadSanitizer (not together with SUITE_SANITIZE)" OFF)
if(SUITE_SANITIZE AND SUITE_TSAN)
  message(FATAL_ERROR "SUITE_SANITIZE and SUITE_TSAN exclude each other")
endif()

# Source files are UTF-8; narrow literals become code page 936 bytes, as on the target systems.
add_compile_options(-finput-charset=UTF-8 -fexec-charset=GBK)

if(WIN32)
  set(SUITE_WINDOWS ON)
  # Static runtime: the deliverables need nothing beside them but the system DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
else()
  set(SUITE_WINDOWS OFF)
  if(SUITE_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
  endif()
  if(SUITE_TSAN)
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
  endif()
endif()

# Where the kernel runs no 32-bit programs, tools/test runs the native -m32 tests through a
# user-mode emulator: SUITE_TEST_LAUNCHER=qemu-i386-static.
set(SUITE_TEST_LAUNCHER "" CACHE STRING "Command that runs the native test programs")

# GoogleTest from the Debian sources, built with the same compiler and flags as our code.
set(SUITE_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
if(EXISTS ${SUITE_GTEST_SOURCE}/CMakeLists.txt)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  add_subdirectory(${SUITE_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL)
endif()

add_compile_options(-Wall -Wextra -Wno-unused-parameter)
enable_testing()

# Where every test can find its data and helper programs.
set(SUITE_TOOLS_DIR ${PROJECT_SOURCE_DIR}/tools)
set(SUITE_OUTPUT_DIR ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${SUITE_OUTPUT_DIR})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${SUITE_OUTPUT_DIR})
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)

# suite_gtest(<name> SOURCES <files...> [LIBS <targets...>] [LABELS <labels...>] [TIMEOUT s])
# A GoogleTest executable registered as one CTest test. In the win32 build it runs under
# Wine through CMAKE_CROSSCOMPILING_EMULATOR.
function(suite_gtest name)
  cmake_parse_arguments(A "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gmock GTest::gtest_main)
  if(SUITE_TEST_LAUNCHER AND NOT WIN32)
    add_test(NAME ${name} COMMAND ${SUITE_TEST_LAUNCHER} $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  set(labels ${A_LABELS})
  if(WIN32)
    list(APPEND labels wine)
  else()
    list(APPEND labels native)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT} LABELS "${labels}")
endfunction()

# suite_script_test(<name> COMMAND <argv...> [NO_WINE] [TIMEOUT s])
# A test driven by a script (bash) rather than a test executable, e.g. a host program run
# under Wine with its output checked. NO_WINE marks a script that runs no Windows program (an
# export table read with objdump): it does not carry the label "wine".
function(suite_script_test name)
  cmake_parse_arguments(A "NO_WINE" "TIMEOUT;WORKING_DIRECTORY" "COMMAND" ${ARGN})
  if(NOT A_WORKING_DIRECTORY)
    set(A_WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  add_test(NAME ${name} COMMAND ${A_COMMAND} WORKING_DIRECTORY ${A_WORKING_DIRECTORY})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  if(NOT A_NO_WINE)
    set_tests_properties(${name} PROPERTIES LABELS wine)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT}
    ENVIRONMENT "SUITE_BIN=${SUITE_OUTPUT_DIR};SUITE_TOOLS=${SUITE_TOOLS_DIR};SUITE_BUILD=${CMAKE_BINARY_DIR};SUITE_OBJDUMP=${CMAKE_OBJDUMP}")
endfunction()

# suite_stdcall_dll(<target> DEF <file.def> SOURCES <files...> [INSTALL])
# A Windows DLL whose stdcall exports carry their plain names (--kill-at) at the ordinals of
# the .def file, named <target>.dll. Its import library is made by dlltool from the same
# .def, so that hosts compiled against the stdcall prototypes (_Name@8) import the plain
# names; the linker's own import library would name the plain symbols only. x86-64 has one
# calling convention and no stdcall decoration: there the .def is used without its @n.
# INSTALL: a deliverable for hosts; `cmake --install` puts the DLL in bin/, its import library
# and the .def it was made from (for hosts whose toolchain makes its own) in lib/.
function(suite_stdcall_dll name)
  cmake_parse_arguments(A "INSTALL" "DEF" "SOURCES" ${ARGN})
  get_filename_component(def ${A_DEF} ABSOLUTE)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
    file(READ ${def} text)
    string(REGEX REPLACE "([A-Za-z0-9_])@[0-9]+" "\\1" text "${text}")
    get_filename_component(def_name ${def} NAME)
    set(def ${CMAKE_CURRENT_BINARY_DIR}/${def_name})
    file(WRITE ${def} "${text}")
  endif()
  add_library(${name} SHARED ${A_SOURCES} ${def})
  target_link_options(${name} PRIVATE -Wl,--kill-at)
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name})
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_DLLTOOL} --kill-at --dllname ${name}.dll --def ${def}
            --output-lib $<TARGET_LINKER_FILE:${name}>
    VERBATIM)
  if(A_INSTALL)
    install(TARGETS ${name} RUNTIME DESTINATION bin ARCHIVE DESTINATION lib)
    install(FILES ${def} DESTINATION lib)
  endif()
endfunction()

# suite_add_subdirs(<folder>): adds every sub-folder of <folder> that has a CMakeLists.txt,
# in name order, so that components and tests are picked up as soon as they exist.
function(suite_add_subdirs parent)
  file(GLOB children LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/${parent}/*)
  list(SORT children)
  foreach(child ${children})
    if(EXISTS ${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
