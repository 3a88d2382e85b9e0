// Input routing: mouse events go to the front-most visible, enabled control under the
// pointer (a press holds the control until the release), keys to the form first when it
// asks, then to the focused control, typed text to the focused control. The window
// system's news goes to the window, the loss of the sound device to the sound system.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>

#include "platform/forms/form.h"

namespace vark {

class InputRouter final : public FormWatcher {
 public:
  static InputRouter& Get();
  InputRouter();
  ~InputRouter();
  InputRouter(const InputRouter&) = delete;
  InputRouter& operator=(const InputRouter&) = delete;

  // One event from the window system.
  void HandleEvent(const SDL_Event& e);

  // Input, in screen pixels.
  void MouseMove(int x, int y);
  void MouseDown(int x, int y, int button);
  void MouseUp(int x, int y, int button);
  // A key pressed with the code its layout gives it; `scan` is its place on the keyboard
  // (unknown, it is taken from the code). Command letters follow a Latin layout's labels and
  // another script's places (keys.h).
  void KeyDown(SDL_Keycode layoutKey, uint16_t mod, SDL_Scancode scan = SDL_SCANCODE_UNKNOWN);
  void TextInput(const std::string& utf8);
  // The key being handled is the keyboard's repeat of a held key. The router's own
  // commands (Alt+Enter, Alt with a letter, Escape, Enter and Space on the focus ring)
  // take only the first press; arrows move the focus on while held. A screen's switch
  // (a sound key, a pause key) asks this to switch once however long the key is held.
  bool KeyRepeated() const { return keyRepeated_; }

  void FormGone(const Form& form) override;

 private:
  void WindowEvent(const SDL_WindowEvent& e);
  void WindowSystemEvent(const SDL_SysWMmsg& message);
  void SetHover(Control* c);
  // The button the left mouse button went down on looks pressed while the pointer is on it.
  void ShowPressed(bool on);
  void PointerAt(int x, int y);

  int mouseX_ = -1, mouseY_ = -1;
  Control* captured_ = nullptr;
  Form* capturedForm_ = nullptr;
  int capturedButton_ = 0;
  // Set by a key pressed with Alt: the text that key would type is a command, not typing.
  bool swallowText_ = false;
  bool keyRepeated_ = false;
  Control* hover_ = nullptr;
};

// Shift, Ctrl and Alt as the handlers see them: 1, 2 and 4.
int ShiftState(uint16_t mod);

}  // namespace vark
