// The main menu. (Being built: only what other screens use exists yet.)
#pragma once

#include "platform/form.h"

namespace vark {

class Form1 : public Form {
 public:
  Form1() : Form("Form1") {}
  MediaPlayer& Mus = AddMedia("Mus");
  // Starts the menu music.
  void PlayMus() { Mus.Play(); }
};

}  // namespace vark
