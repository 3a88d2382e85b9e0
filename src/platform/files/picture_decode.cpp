#include "platform/files/picture_decode.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gif_lib.h>
#include <png.h>

#include <array>
#include <cstring>
#include <memory>

#include "platform/base/byte_order.h"
#include "platform/base/owned.h"
#include "platform/files/plain_file.h"

namespace vark {
namespace {

enum class Format { Unknown, Png, Gif, Jpeg, Bmp };

unsigned Byte(std::string_view b, size_t i) { return static_cast<unsigned char>(b[i]); }
// A BMP's sizes are signed (a negative height means rows from the top).
long SignedLittleEndian32(std::string_view b, size_t i) { return static_cast<int32_t>(ReadLittleEndian(b, i, 4)); }

Format Sniff(std::string_view b) {
  if (b.starts_with("\x89PNG\r\n\x1a\n")) return Format::Png;
  if (b.starts_with("GIF87a") || b.starts_with("GIF89a")) return Format::Gif;
  if (b.starts_with("\xff\xd8\xff")) return Format::Jpeg;
  if (b.starts_with("BM")) return Format::Bmp;
  return Format::Unknown;
}

struct Size {
  long long w = 0, h = 0;
};

bool SizeAllowed(Size s, std::string& problem) {
  if (s.w <= 0 || s.h <= 0) {
    problem = "the picture declares no size";
    return false;
  }
  if (s.w > kMaxPictureSide || s.h > kMaxPictureSide || s.w * s.h > kMaxPicturePixels) {
    problem = "the picture declares " + std::to_string(s.w) + " x " + std::to_string(s.h) + " pixels, too large";
    return false;
  }
  return true;
}

// The frame size of a JPEG, from its first start-of-frame marker.
std::optional<Size> JpegSize(std::string_view b) {
  size_t i = 2;
  while (i + 4 <= b.size()) {
    if (Byte(b, i) != 0xFF) return std::nullopt;
    unsigned marker = Byte(b, i + 1);
    if (marker == 0xFF) {  // fill byte
      ++i;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
      i += 2;
      continue;
    }
    if (marker == 0xDA || marker == 0xD9) return std::nullopt;  // image data before any frame
    size_t length = ReadBigEndian(b, i + 2, 2);
    bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) {
      if (length < 7 || i + 9 > b.size()) return std::nullopt;
      return Size{ReadBigEndian(b, i + 7, 2), ReadBigEndian(b, i + 5, 2)};
    }
    if (length < 2) return std::nullopt;
    i += 2 + length;
  }
  return std::nullopt;
}

// The size a picture's header declares, read without decoding anything.
std::optional<Size> DeclaredSize(Format format, std::string_view b) {
  switch (format) {
    case Format::Png:
      if (b.size() < 24 || b.substr(12, 4) != "IHDR") return std::nullopt;
      return Size{static_cast<long long>(ReadBigEndian(b, 16, 4)), static_cast<long long>(ReadBigEndian(b, 20, 4))};
    case Format::Gif:
      if (b.size() < 10) return std::nullopt;
      return Size{ReadLittleEndian(b, 6, 2), ReadLittleEndian(b, 8, 2)};
    case Format::Jpeg: return JpegSize(b);
    case Format::Bmp: {
      if (b.size() < 26) return std::nullopt;
      if (SignedLittleEndian32(b, 14) == 12) return Size{ReadLittleEndian(b, 18, 2), ReadLittleEndian(b, 20, 2)};
      long long h = SignedLittleEndian32(b, 22);
      return Size{SignedLittleEndian32(b, 18), h < 0 ? -h : h};
    }
    case Format::Unknown: break;
  }
  return std::nullopt;
}

// ---- PNG through libpng, with its errors turned into a clean stop ----

struct PngReader {
  std::string_view bytes;
  size_t position = 0;
  std::array<char, 96> error{};
  png_structp png = nullptr;
  png_infop info = nullptr;
  OwnedSurface surface;

  ~PngReader() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
  auto* reader = static_cast<PngReader*>(png_get_error_ptr(png));
  std::strncpy(reader->error.data(), message, reader->error.size() - 1);
  png_longjmp(png, 1);
}

void IgnorePngWarning(png_structp, png_const_charp) {}

void ReadPngBytes(png_structp png, png_bytep out, size_t count) {
  auto* reader = static_cast<PngReader*>(png_get_io_ptr(png));
  if (reader->bytes.size() - reader->position < count) png_error(png, "the file ends early");
  std::memcpy(out, reader->bytes.data() + reader->position, count);
  reader->position += count;
}

// Sets up libpng's output: palettised pictures as 8-bit indices with their palette, all
// others as 32-bit pixels with alpha. Returns the surface to decode into.
OwnedSurface PreparePngOutput(png_structp png, png_infop info) {
  int w = static_cast<int>(png_get_image_width(png, info));
  int h = static_cast<int>(png_get_image_height(png, info));
  png_set_interlace_handling(png);
  if (png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE) {
    png_set_packing(png);
    png_read_update_info(png, info);
    OwnedSurface s(SDL_CreateRGBSurfaceWithFormat(0, w, h, 8, SDL_PIXELFORMAT_INDEX8));
    if (!s) return s;
    png_colorp colours = nullptr;
    int colourCount = 0;
    png_get_PLTE(png, info, &colours, &colourCount);
    png_bytep alpha = nullptr;
    int alphaCount = 0;
    png_get_tRNS(png, info, &alpha, &alphaCount, nullptr);
    std::array<SDL_Color, 256> palette{};
    for (int i = 0; i < colourCount && i < 256; ++i) {
      Uint8 a = i < alphaCount ? alpha[i] : 255;
      palette[i] = {colours[i].red, colours[i].green, colours[i].blue, a};
    }
    SDL_SetPaletteColors(s->format->palette, palette.data(), 0, 256);
    return s;
  }
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_bgr(png);
  png_read_update_info(png, info);
  return OwnedSurface(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_BGRA32));
}

// Kept free of objects with destructors: a libpng error jumps straight back to setjmp here.
bool RunPngDecode(PngReader& r) {
  if (setjmp(png_jmpbuf(r.png))) return false;
  png_set_read_fn(r.png, &r, ReadPngBytes);
  png_set_user_limits(r.png, kMaxPictureSide, kMaxPictureSide);
  png_set_chunk_malloc_max(r.png, kMaxPictureFileBytes);
  png_set_crc_action(r.png, PNG_CRC_ERROR_QUIT, PNG_CRC_ERROR_QUIT);
  png_read_info(r.png, r.info);
  r.surface = PreparePngOutput(r.png, r.info);
  if (!r.surface) png_error(r.png, "out of memory");
  SDL_Surface* s = r.surface.get();
  int passes = png_get_interlace_type(r.png, r.info) == PNG_INTERLACE_ADAM7 ? 7 : 1;
  for (int pass = 0; pass < passes; ++pass)
    for (int y = 0; y < s->h; ++y) png_read_row(r.png, static_cast<png_bytep>(s->pixels) + y * s->pitch, nullptr);
  return true;
}

OwnedSurface DecodePng(std::string_view bytes, std::string& problem) {
  PngReader r;
  r.bytes = bytes;
  r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &r, OnPngError, IgnorePngWarning);
  if (r.png) r.info = png_create_info_struct(r.png);
  if (!r.info) {
    problem = "out of memory";
    return nullptr;
  }
  if (!RunPngDecode(r)) {
    problem = std::string("damaged PNG: ") + r.error.data();
    return nullptr;
  }
  return std::move(r.surface);
}

// ---- GIF through giflib: the first image, as 8-bit indices with its palette ----

struct GifSource {
  std::string_view bytes;
  size_t position = 0;
};

int ReadGifBytes(GifFileType* gif, GifByteType* out, int count) {
  auto* source = static_cast<GifSource*>(gif->UserData);
  size_t take = std::min(static_cast<size_t>(count), source->bytes.size() - source->position);
  std::memcpy(out, source->bytes.data() + source->position, take);
  source->position += take;
  return static_cast<int>(take);
}

struct GifClose {
  void operator()(GifFileType* gif) const {
    int ignored = 0;
    DGifCloseFile(gif, &ignored);
  }
};
using GifPtr = std::unique_ptr<GifFileType, GifClose>;

// Reads the rows of the current image; interlaced GIFs store them in four passes.
bool ReadGifRows(GifFileType* gif, SDL_Surface* s) {
  auto row = [s](int y) { return static_cast<GifPixelType*>(s->pixels) + y * s->pitch; };
  if (!gif->Image.Interlace) {
    for (int y = 0; y < s->h; ++y)
      if (DGifGetLine(gif, row(y), s->w) == GIF_ERROR) return false;
    return true;
  }
  constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int y = kStart[pass]; y < s->h; y += kStep[pass])
      if (DGifGetLine(gif, row(y), s->w) == GIF_ERROR) return false;
  return true;
}

void SetGifPalette(const ColorMapObject* map, int transparent, SDL_Surface* s) {
  std::array<SDL_Color, 256> palette{};
  for (int i = 0; i < map->ColorCount && i < 256; ++i)
    palette[i] = {map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue, 255};
  SDL_SetPaletteColors(s->format->palette, palette.data(), 0, 256);
  if (transparent >= 0) SDL_SetColorKey(s, SDL_TRUE, static_cast<Uint32>(transparent));
}

OwnedSurface ReadGifImage(GifFileType* gif, int transparent, std::string& problem) {
  if (DGifGetImageDesc(gif) == GIF_ERROR) {
    problem = "damaged GIF image header";
    return nullptr;
  }
  const GifImageDesc& d = gif->Image;
  if (!SizeAllowed({d.Width, d.Height}, problem)) return nullptr;
  const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
  if (!map) {
    problem = "the GIF has no colour table";
    return nullptr;
  }
  OwnedSurface s(SDL_CreateRGBSurfaceWithFormat(0, d.Width, d.Height, 8, SDL_PIXELFORMAT_INDEX8));
  if (!s) {
    problem = "out of memory";
    return nullptr;
  }
  if (!ReadGifRows(gif, s.get())) {
    problem = "damaged GIF image data";
    return nullptr;
  }
  SetGifPalette(map, transparent, s.get());
  return s;
}

// Skips an extension block, noting the transparent colour of a graphic control block.
bool SkipGifExtension(GifFileType* gif, int& transparent) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
  if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) transparent = (block[1] & 1) ? block[4] : -1;
  while (block)
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
  return true;
}

OwnedSurface DecodeGif(std::string_view bytes, std::string& problem) {
  GifSource source{bytes};
  int error = 0;
  GifPtr gif(DGifOpen(&source, ReadGifBytes, &error));
  if (!gif) {
    problem = "damaged GIF header";
    return nullptr;
  }
  int transparent = -1;
  GifRecordType record = UNDEFINED_RECORD_TYPE;
  while (DGifGetRecordType(gif.get(), &record) != GIF_ERROR) {
    if (record == IMAGE_DESC_RECORD_TYPE) return ReadGifImage(gif.get(), transparent, problem);
    if (record == TERMINATE_RECORD_TYPE) break;
    if (record == EXTENSION_RECORD_TYPE && !SkipGifExtension(gif.get(), transparent)) break;
  }
  problem = "the GIF holds no readable image";
  return nullptr;
}

// ---- JPEG and BMP: SDL's own loaders stop cleanly on damaged data once the size is bounded ----

OwnedSurface DecodeWithSdl(Format format, std::string_view bytes, std::string& problem) {
  OwnedStream rw(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())));
  OwnedSurface s(format == Format::Jpeg ? IMG_LoadJPG_RW(rw.get()) : SDL_LoadBMP_RW(rw.get(), 0));
  if (!s) problem = std::string(format == Format::Jpeg ? "damaged JPEG: " : "damaged BMP: ") + SDL_GetError();
  return s;
}

}  // namespace

std::optional<std::string> ReadPictureFile(const std::filesystem::path& path, std::string& problem) {
  return ReadPlainFile(path, kMaxPictureFileBytes, problem);
}

SDL_Surface* DecodePicture(std::string_view bytes, std::string& problem) {
  Format format = Sniff(bytes);
  if (format == Format::Unknown) {
    problem = "not a picture this game reads";
    return nullptr;
  }
  auto size = DeclaredSize(format, bytes);
  if (!size) {
    problem = "the picture's header is damaged";
    return nullptr;
  }
  if (!SizeAllowed(*size, problem)) return nullptr;
  switch (format) {
    case Format::Png: return DecodePng(bytes, problem).release();
    case Format::Gif: return DecodeGif(bytes, problem).release();
    default: return DecodeWithSdl(format, bytes, problem).release();
  }
}

}  // namespace vark
