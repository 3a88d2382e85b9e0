// Owning handles for the C libraries' resources (SDL surfaces, textures, windows, cursors,
// streams, fonts): each frees its resource when it goes out of scope or is reset,
// so no code path can forget it or free it twice.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <memory>

namespace vark {

// Calls the library's own release function; an empty handle releases nothing.
template <auto Release>
struct ReleaseWith {
  template <class T>
  void operator()(T* resource) const {
    if (resource) Release(resource);
  }
};

using OwnedSurface = std::unique_ptr<SDL_Surface, ReleaseWith<SDL_FreeSurface>>;
using OwnedTexture = std::unique_ptr<SDL_Texture, ReleaseWith<SDL_DestroyTexture>>;
using OwnedRenderer = std::unique_ptr<SDL_Renderer, ReleaseWith<SDL_DestroyRenderer>>;
using OwnedWindow = std::unique_ptr<SDL_Window, ReleaseWith<SDL_DestroyWindow>>;
using OwnedCursor = std::unique_ptr<SDL_Cursor, ReleaseWith<SDL_FreeCursor>>;
using OwnedController = std::unique_ptr<SDL_GameController, ReleaseWith<SDL_GameControllerClose>>;
using OwnedStream = std::unique_ptr<SDL_RWops, ReleaseWith<SDL_RWclose>>;
using OwnedAudioStream = std::unique_ptr<SDL_AudioStream, ReleaseWith<SDL_FreeAudioStream>>;
using OwnedFont = std::unique_ptr<TTF_Font, ReleaseWith<TTF_CloseFont>>;

}  // namespace vark
