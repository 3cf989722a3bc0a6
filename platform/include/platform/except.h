// The general exception class of the suite and its two special cases.
// Messages are ANSI text (code page 936), as the deliverables report them.
#pragma once
#include <exception>
#include <string>

namespace plat {

class Exception : public std::exception {
public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

private:
  std::string message_;
};

// A failed internal check: "Assertion failure (<source file>, line <n>)".
class EAssertionFailed : public Exception {
public:
  using Exception::Exception;
};

// An index outside a list: "List index out of bounds (<index>)".
class EListError : public Exception {
public:
  using Exception::Exception;
};

// printf-style formatting into a std::string.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

[[noreturn]] void RaiseAssertion(const char* sourceFile, int line);
[[noreturn]] void RaiseListIndexError(int index);

}  // namespace plat

// Checks a condition and raises EAssertionFailed naming the given source path and line.
#define PLAT_ASSERT_AT(cond, file, line) \
  do {                                   \
    if (!(cond)) ::plat::RaiseAssertion((file), (line)); \
  } while (0)
