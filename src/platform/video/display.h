// The display as the game sees it: the modes it offers and a switch between them. The
// desktop's real mode is never changed: the game shows its 640 x 480 screen full screen,
// scaled, and "switching" to the desktop's own size leaves full screen.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>
#include <vector>

namespace vark {

struct DisplayMode {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  friend bool operator==(const DisplayMode&, const DisplayMode&) = default;
};

class DisplayService {
 public:
  virtual ~DisplayService() = default;
  // Every mode offered, in the order the system lists them.
  virtual std::vector<DisplayMode> Modes() = 0;
  // The desktop's mode now.
  virtual DisplayMode Current() = 0;
  virtual void Change(const DisplayMode& mode) = 0;
  // How often the display the game's window is on (without a window, the first display)
  // shows a new picture, in Hz; 0 when unknown.
  virtual int RefreshRate() = 0;
};

// Animations that follow the display make a pass for each new picture it shows, up to
// this many a second.
constexpr int kMostPassesPerSecond = 60;
// Passes a second at this refresh rate: the rate up to kMostPassesPerSecond, which also
// stands for an unknown rate (0).
int PassesPerSecond(int refreshHz);

DisplayService& Display();
// The desktop's mode as found when the program first asked, which it does before its
// window opens; the desktop's real mode is never changed.
DisplayMode DesktopMode();
void SetDisplayService(std::unique_ptr<DisplayService> service);

// The real one: SDL's modes of the first display plus the 640 x 480 modes that the scaled
// screen always offers; a 640 x 480 mode means full screen, any other means a window.
std::unique_ptr<DisplayService> MakeScaledDisplay();

}  // namespace vark
