// Numbers as the screens show and read them.
#pragma once

#include <string>
#include <string_view>

namespace vark {

// A number as a caption with its sign position: 30 -> " 30", 0 -> " 0", -5 -> "-5".
std::string Str(long long value);

// Reads a decimal number from the start of a text the way a lenient number reader does:
// leading blanks skipped, reading stops at the first character that cannot continue the
// number; nothing readable gives 0. "3", " 3" and "3." all read as 3.
long long LeadingNumber(std::string_view text);

}  // namespace vark
