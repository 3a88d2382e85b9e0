// A decoded picture, shared by handle: copying a Picture copies the reference, the way a
// control "takes the picture" of another. Decoded files are cached within a memory budget.
#pragma once

#include <memory>
#include <string>
#include <string_view>

struct SDL_Surface;

namespace vark {

class Picture {
 public:
  Picture() = default;

  // Loads a picture by its game name ("Gfx\Imp.dat"); the format is recognised by content.
  // Cached; the least recently used pictures leave the cache when it is full. A missing,
  // oversized or damaged file gives an empty picture and one line on stderr per file.
  static Picture Load(std::string_view gameName);

  // Loads a private, uncached copy in the file's own pixel format (an 8-bit picture stays
  // 8-bit with its palette), for code that works on the pixel bytes.
  static Picture LoadRaw(std::string_view gameName);

  // Takes ownership of a surface.
  static Picture FromSurface(SDL_Surface* surface);

  bool Empty() const { return !data_; }
  int WidthPx() const;
  int HeightPx() const;

  // The picture's own surface, in its own format. Code that changes its pixels calls
  // PixelsChanged() afterwards so that the drawing copy is refreshed.
  SDL_Surface* Raw() const;
  void PixelsChanged() const;

  // A 32-bit ARGB copy for drawing (the surface itself when it already is one).
  SDL_Surface* Argb() const;
  // True when every pixel is fully opaque, as for a palettised picture with neither a
  // transparent colour nor a see-through palette entry: it can be copied, not blended.
  bool Opaque() const;

  // A number that changes whenever the pixels change; drawing caches key on it.
  uint64_t Version() const;

  friend bool operator==(const Picture& a, const Picture& b) { return a.data_ == b.data_; }

  // Drops the file cache (tests write new pictures under old names).
  static void ClearCache();

 private:
  struct Data;
  std::shared_ptr<Data> data_;
};

}  // namespace vark
