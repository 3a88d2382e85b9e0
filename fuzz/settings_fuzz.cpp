// The settings writer against any file text: whatever it saves reads back as it was given,
// and other sections read as before. The input is the file text, the section, then keys
// and values, separated by 0x01 bytes.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/settings.h"

namespace {

std::vector<std::string> Fields(std::string_view input) {
  std::vector<std::string> fields;
  for (size_t at; (at = input.find('\x01')) != std::string_view::npos; input.remove_prefix(at + 1))
    fields.emplace_back(input.substr(0, at));
  fields.emplace_back(input);
  return fields;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> fields = Fields(std::string_view(reinterpret_cast<const char*>(data), size));
  if (fields.size() < 2) return 0;
  const std::string& text = fields[0];
  const std::string& section = fields[1];
  std::map<std::string, std::string> values;
  for (size_t i = 2; i + 1 < fields.size(); i += 2) values[fields[i]] = fields[i + 1];
  auto written = vark::WriteSettings(text, section, values);
  if (!written) return 0;
  const std::string other = section + "x";
  for (const auto& [key, value] : values) {
    if (vark::ReadSetting(*written, section, key) != value) std::abort();
    if (vark::ReadSetting(*written, other, key) != vark::ReadSetting(text, other, key)) std::abort();
  }
  return 0;
}
