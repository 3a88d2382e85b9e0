// A working folder with faces and profiles written by the test, and the main menu
// brought up to its ready state on the virtual clock.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "profiles/form1.h"
#include "profiles/stack.h"
#include "support/driver.h"

namespace vark {

class MenuTest : public testing::Test {
 protected:
  Driver d;
  TempFolder dir;

  // Faces "Face01.dat", "Face02.dat", ... each a solid picture of its own colour.
  void WriteFaces(int count) {
    for (int i = 1; i <= count; ++i) dir.WritePicture(FaceFile(i), 16, 16, FaceRed(i), 40, 200);
  }
  static std::string FaceName(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "Face%02d", i);
    return name;
  }
  static std::string FaceFile(int i) { return "VarKers/" + FaceName(i) + ".dat"; }
  static uint8_t FaceRed(int i) { return static_cast<uint8_t>(10 * i); }

  // A profile file with the given lines, CR LF ended.
  void WriteProfileFile(const std::string& name, const std::string& bytes) { dir.Write(name + ".pro", bytes); }
  std::string ReadBytes(const std::string& relative) {
    std::ifstream in(dir.Path() / relative, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  Form1& ReadyMenu() {
    Form1& menu = Forms::Show<Form1>();
    d.Advance(120);
    return menu;
  }
  Form1& OpenFaceChoice() {
    Form1& menu = ReadyMenu();
    d.Click(menu.Btn1);
    return menu;
  }
  // Chooses face slot `slot` and accepts it: the name entry opens.
  Form1& ChooseFace(int slot) {
    Form1& menu = OpenFaceChoice();
    d.MouseDown(*menu.Varker[slot]);
    d.Click(menu.BtnAccept);
    return menu;
  }
  // Clears the name box with Backspace and types a name.
  void TypeName(Form1& menu, const std::string& name) {
    while (!menu.Text1.Text().empty()) d.Press(SDLK_BACKSPACE);
    d.Type(name);
  }
};

}  // namespace vark
