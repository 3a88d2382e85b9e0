#include "platform/video/paint.h"

namespace vark {

void FillRect(SDL_Surface* target, const SDL_Rect& r, Color c) {
  SDL_FillRect(target, &r, SDL_MapRGB(target->format, c.r, c.g, c.b));
}

void FrameRect(SDL_Surface* target, const SDL_Rect& r, Color c, int width) {
  for (int i = 0; i < width; ++i) {
    SDL_Rect edges[4] = {{r.x + i, r.y + i, r.w - 2 * i, 1},
                         {r.x + i, r.y + r.h - 1 - i, r.w - 2 * i, 1},
                         {r.x + i, r.y + i, 1, r.h - 2 * i},
                         {r.x + r.w - 1 - i, r.y + i, 1, r.h - 2 * i}};
    for (auto& e : edges)
      if (e.w > 0 && e.h > 0) FillRect(target, e, c);
  }
}

}  // namespace vark
