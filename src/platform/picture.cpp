#include "platform/picture.h"

#include <SDL.h>
#include <SDL_image.h>

#include <atomic>
#include <iostream>
#include <map>

#include "platform/paths.h"

namespace vark {
namespace {
std::atomic<uint64_t> gNextVersion{1};
}

struct Picture::Data {
  SDL_Surface* surface = nullptr;
  mutable SDL_Surface* argb = nullptr;
  mutable uint64_t argbVersion = 0;
  mutable uint64_t version = gNextVersion++;

  ~Data() {
    if (argb && argb != surface) SDL_FreeSurface(argb);
    SDL_FreeSurface(surface);
  }
};

namespace {

std::map<std::string, Picture>& Cache() {
  static std::map<std::string, Picture> cache;
  return cache;
}

SDL_Surface* DecodeFile(std::string_view gameName) {
  auto path = ResolvePath(gameName);
  SDL_Surface* surface = IMG_Load(path.string().c_str());
  if (!surface) std::cerr << "vark: cannot load picture " << path.string() << ": " << IMG_GetError() << "\n";
  return surface;
}

}  // namespace

Picture Picture::FromSurface(SDL_Surface* surface) {
  Picture p;
  if (!surface) return p;
  p.data_ = std::make_shared<Data>();
  p.data_->surface = surface;
  return p;
}

Picture Picture::Load(std::string_view gameName) {
  std::string key = ResolvePath(gameName).string();
  auto& cache = Cache();
  if (auto it = cache.find(key); it != cache.end()) return it->second;
  Picture p = FromSurface(DecodeFile(gameName));
  if (!p.Empty()) cache[key] = p;
  return p;
}

Picture Picture::LoadRaw(std::string_view gameName) { return FromSurface(DecodeFile(gameName)); }

void Picture::ClearCache() { Cache().clear(); }

int Picture::WidthPx() const { return data_ ? data_->surface->w : 0; }
int Picture::HeightPx() const { return data_ ? data_->surface->h : 0; }
SDL_Surface* Picture::Raw() const { return data_ ? data_->surface : nullptr; }
uint64_t Picture::Version() const { return data_ ? data_->version : 0; }

void Picture::PixelsChanged() const {
  if (data_) data_->version = gNextVersion++;
}

SDL_Surface* Picture::Argb() const {
  if (!data_) return nullptr;
  SDL_Surface* s = data_->surface;
  if (s->format->format == SDL_PIXELFORMAT_ARGB8888) return s;
  if (data_->argb && data_->argbVersion == data_->version) return data_->argb;
  if (data_->argb) {
    // Same size and format: convert in place of the old copy.
    SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_NONE);
    SDL_BlitSurface(s, nullptr, data_->argb, nullptr);
  } else {
    data_->argb = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0);
  }
  data_->argbVersion = data_->version;
  return data_->argb;
}

}  // namespace vark
