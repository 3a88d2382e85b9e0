#include "platform/base/number_text.h"

namespace vark {

std::string Str(long long value) {
  // The sign's place is put in front of the digits in place: GCC 12 warns wrongly
  // (-Wrestrict) about the copy in a literal + std::string when it inlines it.
  std::string text = std::to_string(value);
  if (value >= 0) text.insert(text.begin(), ' ');
  return text;
}

long long LeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  bool any = false;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    if (value < 1'000'000'000'000LL) value = value * 10 + (text[i] - '0');
    any = true;
    ++i;
  }
  if (!any) return 0;
  return negative ? -value : value;
}

}  // namespace vark
