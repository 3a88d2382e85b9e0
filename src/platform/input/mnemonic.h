// Keyboard letters of captions: Alt with the key of a button's "&"-marked letter presses
// the button. Keys are matched by their place on the keyboard, so a Cyrillic letter is
// reached under the US layout too (the key that carries it in the Russian layout), and a
// Latin letter under the Russian layout.
#pragma once

#include <SDL.h>

#include <string_view>

namespace vark {

class Form;

// The key that types a letter (one UTF-8 character, either case) in the Russian ЙЦУКЕН
// layout or, for Latin letters, in the US layout. SDL_SCANCODE_UNKNOWN for anything else.
SDL_Scancode LetterKey(std::string_view letter);

// Clicks the first button of the form, in the form's order, that is on the screen, can be
// clicked and has its keyboard letter on `key`. True when a button was clicked.
bool PressMnemonic(Form& form, SDL_Scancode key);

}  // namespace vark
