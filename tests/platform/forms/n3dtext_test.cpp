// The 3-D title keeps drawings of its letters between frames: whatever it drew before, a
// frame shows what a title drawn afresh with the same caption, colours and value shows.
#include <gtest/gtest.h>

#include "platform/forms/form.h"
#include "platform/forms/n3dtext.h"
#include "support/driver.h"

namespace vark {
namespace {

class Titles : public Form {
 public:
  Titles() : Form("Titles") {}
  N3dText& Animated = Add<N3dText>("Animated", {0, 0, 9615, 1335});
  N3dText& Fresh = Add<N3dText>("Fresh", {0, 3000, 9615, 1335});
};

void Colour(N3dText& title, Color top, Color bottom, Color depth) {
  title.SetColor(0, top);
  title.SetColor(1, bottom);
  title.SetColor(2, depth);
  title.SetColor(3, RGB(0, 0, 0));
  title.SetColor(5, RGB(255, 255, 255));
  title.SetSwitch(0, true);
}

// How many pixels of the two titles' boxes differ (the boxes lie 200 pixels apart).
int Differences(Driver& d) {
  int count = 0;
  for (int y = 0; y < 89; ++y)
    for (int x = 0; x < 641; ++x) count += d.Pixel(x, y) != d.Pixel(x, y + 200);
  return count;
}

// A sum of the animated title's pixels, to tell its frames apart.
uint32_t Sum(Driver& d) {
  uint32_t sum = 0;
  for (int y = 0; y < 89; ++y)
    for (int x = 0; x < 641; ++x) sum = sum * 31 + d.Pixel(x, y);
  return sum;
}

TEST(Title, AFrameShowsWhatAFreshTitleWouldWhateverCameBefore) {
  Driver d;
  auto& f = Forms::Show<Titles>();
  f.Animated.SetCaption("Project: VarK");
  Colour(f.Animated, RGB(255, 255, 0), RGB(255, 0, 0), RGB(0, 0, 128));
  for (int value = 0; value < 400; value += 4) {
    f.Animated.SetValue(value);
    d.Pixel(0, 0);  // composes the frame
  }
  f.Animated.SetCaption("TO BE CONTINUED :)");
  Colour(f.Animated, RGB(0, 255, 255), RGB(0, 0, 255), RGB(128, 0, 0));
  f.Fresh.SetCaption("TO BE CONTINUED :)");
  Colour(f.Fresh, RGB(0, 255, 255), RGB(0, 0, 255), RGB(128, 0, 0));
  uint32_t before = 0;
  for (int value : {0, 120, 240, 360}) {
    f.Animated.SetValue(value);
    f.Fresh.SetValue(value);
    EXPECT_EQ(Differences(d), 0) << value;
    EXPECT_NE(Sum(d), before) << value;  // the glint has moved on
    before = Sum(d);
  }
}

}  // namespace
}  // namespace vark
