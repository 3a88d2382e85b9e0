// Shows the composed 640 x 480 picture in the game's window, scaled to fill it with the
// aspect ratio kept (black bars where the shapes differ), and maps window points back to
// picture pixels. Only the changed part of the picture is scaled and sent to the display.
#pragma once

#include <SDL.h>

#include <memory>

namespace vark {

class Presenter {
 public:
  // The cheaper way for this machine: a graphics card's renderer when there is a real
  // one, else the window's own pixels, scaled here (a software renderer would redo the
  // whole window on every showing). VARK_PRESENT=surface or =renderer forces one.
  static std::unique_ptr<Presenter> Make(SDL_Window* window);
  virtual ~Presenter() = default;

  // Shows `changed` (picture pixels) of the picture; everything after the window changed.
  virtual void Show(const SDL_Surface& picture, const SDL_Rect& changed) = 0;
  virtual const char* Name() const = 0;
  // The window changed size: the next showing fills it afresh.
  void WindowChanged() { fresh_ = false; }
  // A window point in picture pixels (outside 0..639, 0..479 over the black bars).
  SDL_Point ToPicture(int x, int y) const;

 protected:
  explicit Presenter(SDL_Window* window) : window_(window) {}
  // Places the picture in an output of this size; true when the placement is new.
  bool Fit(int outputW, int outputH);
  SDL_Window* window_;
  SDL_Rect view_{0, 0, 0, 0};
  bool fresh_ = false;
};

// Where a picture of `picW` x `picH` goes, as large as fits, centred in `outW` x `outH`.
SDL_Rect FitInto(int picW, int picH, int outW, int outH);

// Nearest-pixel scaling of the picture into a box of the target, redrawing only the
// target pixels that the `changed` part of the picture covers. Returns that area of the
// target. Scaling part by part gives exactly the pixels scaling the whole would.
class PixelScaler {
 public:
  void Layout(int picW, int picH, const SDL_Rect& box);
  SDL_Rect Scale(const SDL_Surface& picture, SDL_Surface& target, const SDL_Rect& changed) const;

 private:
  struct Axis {
    std::unique_ptr<int[]> source;  // the picture pixel each target pixel shows
    std::unique_ptr<int[]> first;   // the first target pixel showing each picture pixel
    void Build(int picLength, int boxLength);
  };
  Axis x_, y_;
  SDL_Rect box_{0, 0, 0, 0};
};

}  // namespace vark
