// Small quiz files for the quiz tests.
#pragma once

#include <string>
#include <vector>

#include "platform/files/codepage.h"
#include "support/driver.h"

namespace vark::quiztest {

// One record: the question "Вопрос <n>", answers "Ответ <n>.<p>", and its right-answer field.
inline std::vector<std::string> Record(int n, const std::string& rightField) {
  std::string id = std::to_string(n);
  return {"Вопрос " + id,       "Ответ " + id + ".1", "Ответ " + id + ".2",
          "Ответ " + id + ".3", "Ответ " + id + ".4", rightField};
}

// Records 0 .. count-1; record n's right answer is at position n % 4.
inline std::vector<std::string> Records(int count) {
  std::vector<std::string> lines;
  for (int n = 0; n < count; ++n) {
    auto record = Record(n, std::to_string(n % 4 + 1));
    lines.insert(lines.end(), record.begin(), record.end());
  }
  return lines;
}

inline std::vector<std::string> WithEnd(std::vector<std::string> lines) {
  lines.push_back("[END]");
  return lines;
}

// The lines as the file's Windows-1251 bytes, each ended by `lineEnd`.
inline std::string FileBytes(const std::vector<std::string>& lines, const std::string& lineEnd = "\r\n") {
  std::string text;
  for (const auto& line : lines) text += line + lineEnd;
  return *Utf8ToCp1251(text);
}

}  // namespace vark::quiztest
