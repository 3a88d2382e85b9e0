// Fonts by family name: Debian's files of the common families by path, any other through
// fontconfig (which substitutes an installed font with Cyrillic glyphs for families it
// does not have), whose scan may take at most a few seconds. A program may name its own
// substitutes for the families its screens use.
#pragma once

#include <map>
#include <string>

typedef struct _TTF_Font TTF_Font;

namespace vark {

struct FontSpec {
  std::string family = "Arial";
  double sizePt = 8.25;
  bool bold = false;
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// An installed family that stands in for one the screens name, bold or as asked.
struct FontSubstitute {
  std::string family;
  bool bold = false;
};

// The program's substitutes, by the family the screens name; other families are looked
// up as they are. Set before the first font opens.
void SetFontSubstitutes(std::map<std::string, FontSubstitute> substitutes);

// An open font at the screen's 96 dots per inch, cached for the run; nullptr (and a line
// on stderr) when no font can be found. Each font file is read into memory once and every
// size opens from those bytes, so no file stays open.
TTF_Font* OpenFont(const FontSpec& wanted);

// Closes every open font; they open again when next asked for. Called before the font
// system shuts down, which would otherwise leave them behind.
void CloseFonts();

// The font, made smaller step by step until `text` fits in `maxWidth` pixels (or it
// reaches a readable minimum).
FontSpec FitFont(FontSpec font, const std::string& text, int maxWidth);

// Width in pixels of a one-line text in a font (0 when no font exists).
int TextWidth(const std::string& text, const FontSpec& font);

// A text as it is shown in a width-limited place, and the font it is shown in.
struct FittedText {
  std::string text;
  FontSpec font;
};

// Fits a one-line text into `maxWidth` pixels: the font shrinks step by step down to
// `smallestPt`; when the text is still too wide there, its middle gives way to "…" so
// both its start and its end stay readable (the end often tells two names apart, and a
// typing mark at the end stays visible).
FittedText FitText(const std::string& text, FontSpec font, int maxWidth, double smallestPt);

}  // namespace vark
