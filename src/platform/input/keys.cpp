#include "platform/input/keys.h"

namespace vark {
namespace {

constexpr int kLetterCount = 26;
constexpr int kDigitCount = 10;

bool IsLetterPosition(SDL_Scancode p) { return p >= SDL_SCANCODE_A && p <= SDL_SCANCODE_Z; }
bool IsDigitPosition(SDL_Scancode p) { return p >= SDL_SCANCODE_1 && p <= SDL_SCANCODE_0; }

// The row of digits runs 1 to 9 and then 0.
SDL_Keycode DigitAt(SDL_Scancode p) {
  return p == SDL_SCANCODE_0 ? SDLK_0 : static_cast<SDL_Keycode>(SDLK_1 + (p - SDL_SCANCODE_1));
}

bool IsFixedPosition(SDL_Scancode p) {
  switch (p) {
    case SDL_SCANCODE_ESCAPE:
    case SDL_SCANCODE_LEFT:
    case SDL_SCANCODE_RIGHT:
    case SDL_SCANCODE_UP:
    case SDL_SCANCODE_DOWN: return true;
    default: return false;
  }
}

SDL_Keycode FixedKeyAt(SDL_Scancode p) { return p == SDL_SCANCODE_ESCAPE ? SDLK_ESCAPE : SDL_SCANCODE_TO_KEYCODE(p); }

bool IsLatinLetter(SDL_Keycode key) { return key >= SDLK_a && key <= SDLK_z; }

// Keys of a layout that writes another script (Russian) carry codes beyond ASCII.
bool IsOtherScriptLetter(SDL_Keycode key) { return key > 0x7F && !(key & SDLK_SCANCODE_MASK); }

}  // namespace

SDL_Scancode PositionOf(SDL_Keycode usKey) {
  if (usKey >= SDLK_a && usKey < SDLK_a + kLetterCount)
    return static_cast<SDL_Scancode>(SDL_SCANCODE_A + (usKey - SDLK_a));
  if (usKey == SDLK_0) return SDL_SCANCODE_0;
  if (usKey >= SDLK_1 && usKey < SDLK_0 + kDigitCount)
    return static_cast<SDL_Scancode>(SDL_SCANCODE_1 + (usKey - SDLK_1));
  if (usKey == SDLK_ESCAPE) return SDL_SCANCODE_ESCAPE;
  // Keys that type nothing carry their position inside their code.
  auto p = static_cast<SDL_Scancode>(usKey & ~SDLK_SCANCODE_MASK);
  return (usKey & SDLK_SCANCODE_MASK) && IsFixedPosition(p) ? p : SDL_SCANCODE_UNKNOWN;
}

SDL_Keycode PositionalKey(SDL_Scancode position, SDL_Keycode layoutKey) {
  // A Latin layout's letter is the one printed on the key (M is M on AZERTY); another
  // script's letter commands by its place (the Russian layout's Ь key is M).
  if (IsLatinLetter(layoutKey)) return layoutKey;
  if (IsLetterPosition(position) && (IsOtherScriptLetter(layoutKey) || layoutKey == SDLK_UNKNOWN))
    return static_cast<SDL_Keycode>(SDLK_a + (position - SDL_SCANCODE_A));
  if (IsDigitPosition(position)) return DigitAt(position);
  if (IsFixedPosition(position)) return FixedKeyAt(position);
  // A layout that puts a digit somewhere else does not move the command.
  return PositionOf(layoutKey) == SDL_SCANCODE_UNKNOWN ? layoutKey : SDLK_UNKNOWN;
}

}  // namespace vark
