// Fonts by family name, found through fontconfig (which substitutes an installed font
// with Cyrillic glyphs for families such as "Arial Black" or "MS Sans Serif").
#pragma once

#include <string>

typedef struct _TTF_Font TTF_Font;

namespace vark {

struct FontSpec {
  std::string family = "Arial";
  double sizePt = 8.25;
  bool bold = false;
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// An open font at the screen's 96 dots per inch, cached for the run; nullptr (and a line
// on stderr) when no font can be found.
TTF_Font* OpenFont(const FontSpec& wanted);

// The font, made smaller step by step until `text` fits in `maxWidth` pixels (or it
// reaches a readable minimum).
FontSpec FitFont(FontSpec font, const std::string& text, int maxWidth);

}  // namespace vark
