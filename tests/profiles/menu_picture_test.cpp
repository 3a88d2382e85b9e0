// The menu, the face choice, the name entry and the episode screen as pictures.
#include <cstdlib>

#include "episodes/form3.h"
#include "profiles/menu_fixture.h"

namespace vark {
namespace {

using MenuPictures = MenuTest;

// Saves the screen into the working folder, or into VARK_SHOTS when that is set.
void Save(Driver& d, const std::string& name) {
  const char* shots = std::getenv("VARK_SHOTS");
  EXPECT_TRUE(d.SaveScreen((shots ? std::string(shots) + "/" : std::string()) + name));
}

uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) { return (r << 16) | (g << 8) | b; }

TEST_F(MenuPictures, ScreensShowTheChosenFaceAndButtonsOnlyWhenReady) {
  dir.WritePicture("Texture0.jpg", 64, 48, 0, 0, 90);
  dir.WritePicture("Texture1.jpg", 64, 48, 0, 70, 0);
  WriteFaces(6);
  Form1& m = Forms::Show<Form1>();
  d.Advance(50);
  const int btnX = 7320 / 15 + 20, btnY = 2280 / 15 + 28;
  EXPECT_EQ(d.Pixel(btnX, btnY), 0u);  // still covered
  d.Advance(70);
  Save(d, "menu.png");
  EXPECT_EQ(d.Pixel(10, 10), Rgb(0, 0, 90));
  EXPECT_NE(d.Pixel(btnX, btnY), 0u);

  d.Click(m.Btn1);
  d.MouseDown(*m.Varker[4]);
  Save(d, "faces.png");
  SDL_Point face = Driver::Middle(*m.Varker[4]);
  EXPECT_EQ(d.Pixel(face.x, face.y), Rgb(FaceRed(5), 40, 200));

  d.Click(m.BtnAccept);
  Save(d, "name.png");
  SDL_Point chosen = Driver::Middle(m.Image2);
  EXPECT_EQ(d.Pixel(chosen.x, chosen.y), Rgb(FaceRed(5), 40, 200));

  d.Click(m.BtnEnh2);
  Save(d, "episodes.png");
  SDL_Point shown = Driver::Middle(Forms::Get<Form3>().Image1);
  EXPECT_EQ(d.Pixel(shown.x, shown.y), Rgb(FaceRed(5), 40, 200));
  EXPECT_EQ(d.Pixel(2, 2), Rgb(0, 70, 0));
}

}  // namespace
}  // namespace vark
