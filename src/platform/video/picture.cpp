#include "platform/video/picture.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <iostream>
#include <list>
#include <optional>
#include <unordered_map>

#include "platform/base/owned.h"
#include "platform/base/report_once.h"
#include "platform/base/run_state.h"
#include "platform/base/utf8.h"
#include "platform/files/paths.h"
#include "platform/files/picture_decode.h"

namespace vark {
namespace {
std::atomic<uint64_t> gNextVersion{1};
}

struct Picture::Data {
  OwnedSurface surface;
  mutable OwnedSurface argb;  // a 32-bit colour copy, made when the picture is in another format
  mutable uint64_t argbVersion = 0;
  mutable uint64_t version = gNextVersion++;
};

namespace {

// Decoded files stay cached while they fit this many pixel bytes; the least recently used
// go first when a new one does not fit.
constexpr size_t kCacheBudgetBytes = size_t{64} << 20;
size_t PixelBytes(const Picture& p) { return p.Empty() ? 0 : static_cast<size_t>(p.Raw()->pitch) * p.Raw()->h; }

class PictureCache {
 public:
  std::optional<Picture> Find(const std::string& key) {
    auto it = entries_.find(key);
    if (it == entries_.end()) return std::nullopt;
    recent_.splice(recent_.begin(), recent_, it->second.place);
    return it->second.picture;
  }

  void Add(const std::string& key, const Picture& picture) {
    size_t bytes = PixelBytes(picture);
    if (bytes > kCacheBudgetBytes || entries_.contains(key)) return;
    while (used_ + bytes > kCacheBudgetBytes) Drop(recent_.back());
    recent_.push_front(key);
    entries_[key] = {picture, recent_.begin()};
    used_ += bytes;
  }

  void Clear() {
    entries_.clear();
    recent_.clear();
    used_ = 0;
  }

  ReportedOnce unreadable;  // files whose failure was said

 private:
  struct Entry {
    Picture picture;
    std::list<std::string>::iterator place;
  };

  void Drop(const std::string& key) {
    auto it = entries_.find(key);
    used_ -= PixelBytes(it->second.picture);
    recent_.erase(it->second.place);
    entries_.erase(it);
  }

  std::unordered_map<std::string, Entry> entries_;
  std::list<std::string> recent_;  // most recently used first
  size_t used_ = 0;
};

PictureCache& Cache() { return CurrentRun().Get<PictureCache>(); }

// One line per unreadable file for the whole run, quoting only a short printable part of
// the name and of the reason (both may come from the file).
void ReportOnce(const std::string& path, const std::string& problem) {
  if (!Cache().unreadable.First(path)) return;
  std::cerr << "vark: cannot load picture " << PrintablePrefix(path, 120) << ": " << PrintablePrefix(problem, 80)
            << "\n";
}

SDL_Surface* DecodeFile(std::string_view gameName) {
  std::string path = ResolvePath(gameName).string();
  std::string problem;
  auto bytes = ReadPictureFile(path, problem);
  SDL_Surface* surface = bytes ? DecodePicture(*bytes, problem) : nullptr;
  if (!surface) ReportOnce(path, problem);
  return surface;
}

}  // namespace

Picture Picture::FromSurface(SDL_Surface* surface) {
  Picture p;
  if (!surface) return p;
  p.data_ = std::make_shared<Data>();
  p.data_->surface.reset(surface);
  return p;
}

Picture Picture::Load(std::string_view gameName) {
  std::string key = ResolvePath(gameName).string();
  if (auto cached = Cache().Find(key)) return *cached;
  Picture p = FromSurface(DecodeFile(gameName));
  if (!p.Empty()) Cache().Add(key, p);
  return p;
}

Picture Picture::LoadRaw(std::string_view gameName) { return FromSurface(DecodeFile(gameName)); }

void Picture::ClearCache() { Cache().Clear(); }

int Picture::WidthPx() const { return data_ ? data_->surface->w : 0; }
int Picture::HeightPx() const { return data_ ? data_->surface->h : 0; }
SDL_Surface* Picture::Raw() const { return data_ ? data_->surface.get() : nullptr; }
uint64_t Picture::Version() const { return data_ ? data_->version : 0; }

void Picture::PixelsChanged() const {
  if (data_) data_->version = gNextVersion++;
}

SDL_Surface* Picture::Argb() const {
  if (!data_) return nullptr;
  SDL_Surface* s = data_->surface.get();
  if (s->format->format == SDL_PIXELFORMAT_ARGB8888) return s;
  if (data_->argb && data_->argbVersion == data_->version) return data_->argb.get();
  if (data_->argb && SDL_HasColorKey(s) == SDL_FALSE) {
    // Same size and format: convert in place of the old copy. A colour-keyed picture is
    // converted afresh instead: a blit passes over its key pixels, which would keep the
    // colour they had before rather than turn transparent.
    SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_NONE);
    SDL_BlitSurface(s, nullptr, data_->argb.get(), nullptr);
  } else {
    data_->argb.reset(SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0));
  }
  data_->argbVersion = data_->version;
  return data_->argb.get();
}

bool Picture::Opaque() const {
  if (!data_) return false;
  const SDL_Surface* s = data_->surface.get();
  const SDL_Palette* palette = s->format->palette;
  if (!palette || SDL_HasColorKey(data_->surface.get())) return false;
  return std::all_of(palette->colors, palette->colors + palette->ncolors,
                     [](const SDL_Color& c) { return c.a == SDL_ALPHA_OPAQUE; });
}

}  // namespace vark
