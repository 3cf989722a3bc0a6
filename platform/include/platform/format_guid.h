// Portable GUID text helpers shared by both implementations of guid.h.
#pragma once
#include <string>
#include <string_view>

#include "platform/guid.h"

namespace plat {
std::string FormatGuidText(const Guid& guid);
bool ParseGuidText(std::string_view text, Guid& out);
}  // namespace plat
