#include "platform/input/mnemonic.h"

#include <array>
#include <optional>

#include "platform/forms/form.h"
#include "platform/base/utf8.h"

namespace vark {
namespace {

// The Russian layout's letters А to Я (lower case, in alphabetical order) by their keys.
// clang-format off
constexpr std::array<SDL_Scancode, 32> kCyrillicKeys = {
    SDL_SCANCODE_F, SDL_SCANCODE_COMMA,       SDL_SCANCODE_D,            SDL_SCANCODE_U,          // а б в г
    SDL_SCANCODE_L, SDL_SCANCODE_T,           SDL_SCANCODE_SEMICOLON,    SDL_SCANCODE_P,          // д е ж з
    SDL_SCANCODE_B, SDL_SCANCODE_Q,           SDL_SCANCODE_R,            SDL_SCANCODE_K,          // и й к л
    SDL_SCANCODE_V, SDL_SCANCODE_Y,           SDL_SCANCODE_J,            SDL_SCANCODE_G,          // м н о п
    SDL_SCANCODE_H, SDL_SCANCODE_C,           SDL_SCANCODE_N,            SDL_SCANCODE_E,          // р с т у
    SDL_SCANCODE_A, SDL_SCANCODE_LEFTBRACKET, SDL_SCANCODE_W,            SDL_SCANCODE_X,          // ф х ц ч
    SDL_SCANCODE_I, SDL_SCANCODE_O,           SDL_SCANCODE_RIGHTBRACKET, SDL_SCANCODE_S,          // ш щ ъ ы
    SDL_SCANCODE_M, SDL_SCANCODE_APOSTROPHE,  SDL_SCANCODE_PERIOD,       SDL_SCANCODE_Z,          // ь э ю я
};
// clang-format on

constexpr char32_t kCyrillicA = 0x0430, kCyrillicYa = 0x044F, kCyrillicYo = 0x0451;

bool ReachableFromKeyboard(const Control& c) {
  for (const Control* k = &c; k; k = k->Parent())
    if (!k->Enabled()) return false;
  return c.IsShown();
}

}  // namespace

SDL_Scancode LetterKey(std::string_view letter) {
  size_t at = 0;
  std::optional<char32_t> first = letter.empty() ? std::nullopt : NextCodePoint(letter, at);
  if (!first || at != letter.size()) return SDL_SCANCODE_UNKNOWN;  // exactly one letter
  char32_t c = LowerCaseLetter(*first);
  if (c >= 'a' && c <= 'z') return static_cast<SDL_Scancode>(SDL_SCANCODE_A + (c - 'a'));
  if (c >= kCyrillicA && c <= kCyrillicYa) return kCyrillicKeys[c - kCyrillicA];
  if (c == kCyrillicYo) return SDL_SCANCODE_GRAVE;
  return SDL_SCANCODE_UNKNOWN;
}

bool PressMnemonic(Form& form, SDL_Scancode key) {
  if (key == SDL_SCANCODE_UNKNOWN) return false;
  for (const auto& c : form.AllControls()) {
    std::string letter = c->KeyboardLetter();  // empty unless the control can be clicked
    if (letter.empty() || !ReachableFromKeyboard(*c) || !form.InputReaches(*c)) continue;
    if (LetterKey(letter) != key) continue;
    c->OnClick();
    return true;
  }
  return false;
}

}  // namespace vark
