#include "profiles/panel_picture.h"

#include <SDL.h>

#include <algorithm>

namespace vark {

Picture PanelPicture(const Picture& picture, const Control& panel) {
  SDL_Surface* src = picture.Argb();
  if (!src) return picture;
  SDL_Rect box = panel.ScreenBox();
  SDL_Surface* part = SDL_CreateRGBSurfaceWithFormat(0, std::min(src->w, box.w), std::min(src->h, box.h), 32,
                                                     SDL_PIXELFORMAT_ARGB8888);
  if (!part) return picture;
  SDL_BlendMode mode;
  SDL_GetSurfaceBlendMode(src, &mode);
  SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_NONE);
  SDL_BlitSurface(src, nullptr, part, nullptr);
  SDL_SetSurfaceBlendMode(src, mode);
  return Picture::FromSurface(part);
}

}  // namespace vark
