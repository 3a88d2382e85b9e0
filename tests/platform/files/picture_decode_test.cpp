// Picture files a player may swap: damaged, truncated and oversized files of every format
// give an empty picture with one short line on stderr; sound files decode as before.
#include <SDL.h>
#include <SDL_image.h>
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>

#include <array>
#include <functional>
#include <vector>

#include "platform/video/picture.h"
#include "platform/files/picture_decode.h"
#include "support/driver.h"

namespace vark {
namespace {

struct Decoded {
  SDL_Surface* surface = nullptr;
  std::string problem;
  explicit Decoded(std::string_view bytes) { surface = DecodePicture(bytes, problem); }
  ~Decoded() { SDL_FreeSurface(surface); }
  uint8_t Byte(int x, int y) const { return static_cast<uint8_t*>(surface->pixels)[y * surface->pitch + x]; }
};

void AppendPngBytes(png_structp png, png_bytep data, size_t size) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), size);
}

// A w x h PNG with the ancillary chunks that come before the image data in ordinary files:
// gAMA, cHRM, bKGD, tIME and, for palettised pictures, tRNS. Pixel (x, y) is x + y.
std::string MakePng(int w, int h, bool palettised) {
  std::string bytes;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &bytes, AppendPngBytes, nullptr);
  int type = palettised ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB_ALPHA;
  png_set_IHDR(png, info, w, h, 8, type, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_gAMA(png, info, 0.45455);
  png_set_cHRM(png, info, 0.3127, 0.329, 0.64, 0.33, 0.3, 0.6, 0.15, 0.06);
  png_color_16 background{};
  png_set_bKGD(png, info, &background);
  png_time stamp{2026, 12, 7, 11, 0, 0};
  png_set_tIME(png, info, &stamp);
  std::array<png_color, 256> colours{};
  std::array<png_byte, 1> alpha{0};
  for (int i = 0; i < 256; ++i) colours[i] = {static_cast<png_byte>(i), 100, static_cast<png_byte>(255 - i)};
  if (palettised) {
    png_set_PLTE(png, info, colours.data(), 256);
    png_set_tRNS(png, info, alpha.data(), 1, nullptr);
  }
  png_write_info(png, info);
  std::vector<png_byte> row(static_cast<size_t>(w) * 4);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (palettised) {
        row[x] = static_cast<png_byte>(x + y);
      } else {
        for (int c = 0; c < 4; ++c) row[x * 4 + c] = static_cast<png_byte>(x + y + c * 10);
      }
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return bytes;
}

int AppendGifBytes(GifFileType* gif, const GifByteType* data, int size) {
  static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), size);
  return size;
}

// A w x h GIF with 16 colours and colour 3 transparent; pixel (x, y) is (x + y) % 16.
// An interlaced one stores its rows in four passes: every 8th from 0, every 8th from 4,
// every 4th from 2, every 2nd from 1.
std::string MakeGif(int w, int h, bool interlaced = false) {
  std::string bytes;
  int error = 0;
  GifFileType* gif = EGifOpen(&bytes, AppendGifBytes, &error);
  std::array<GifColorType, 16> colours{};
  for (int i = 0; i < 16; ++i) colours[i] = {static_cast<GifByteType>(i * 16), 50, 60};
  ColorMapObject* map = GifMakeMapObject(16, colours.data());
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, w, h, 4, 0, map);
  const GifByteType control[4] = {1, 0, 0, 3};
  EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
  EGifPutImageDesc(gif, 0, 0, w, h, interlaced, nullptr);
  std::vector<int> order;
  auto pass = [&](int start, int step) {
    for (int y = start; y < h; y += step) order.push_back(y);
  };
  if (interlaced) {
    pass(0, 8), pass(4, 8), pass(2, 4), pass(1, 2);
  } else {
    pass(0, 1);
  }
  std::vector<GifPixelType> row(w);
  for (int y : order) {
    for (int x = 0; x < w; ++x) row[x] = static_cast<GifPixelType>((x + y) % 16);
    EGifPutLine(gif, row.data(), w);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return bytes;
}

std::string Utf16LittleEndian(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }

// A sound GIF whose screen (at offset 6) or first image (past the ',' that starts its
// descriptor) declares w x h.
std::string GifDeclaring(unsigned w, unsigned h, bool image) {
  std::string b = MakeGif(8, 8);
  size_t at = image ? b.find(',') + 5 : 6;
  b.replace(at, 4, Utf16LittleEndian(w) + Utf16LittleEndian(h));
  return b;
}

void SetBigEndian32(std::string& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (24 - 8 * i));
}

std::string SaveWithSdl(bool jpeg) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 24, 16, 32, SDL_PIXELFORMAT_ARGB8888);
  SDL_FillRect(s, nullptr, 0xFF336699);
  std::vector<char> buffer(64 * 1024);
  SDL_RWops* rw = SDL_RWFromMem(buffer.data(), static_cast<int>(buffer.size()));
  if (jpeg) IMG_SaveJPG_RW(s, rw, 0, 90);
  else SDL_SaveBMP_RW(s, rw, 0);
  auto size = static_cast<size_t>(SDL_RWtell(rw));
  SDL_RWclose(rw);
  SDL_FreeSurface(s);
  return std::string(buffer.data(), size);
}

TEST(PictureDecode, SoundPicturesOfEveryFormatDecodeInTheirOwnLayout) {
  Decoded palettePng(MakePng(20, 10, true));
  ASSERT_NE(palettePng.surface, nullptr) << palettePng.problem;
  EXPECT_EQ(palettePng.surface->format->BitsPerPixel, 8);
  EXPECT_EQ(palettePng.Byte(7, 5), 12);
  SDL_Color c = palettePng.surface->format->palette->colors[12];
  EXPECT_EQ(c.r, 12);
  EXPECT_EQ(c.b, 243);
  EXPECT_EQ(palettePng.surface->format->palette->colors[0].a, 0);  // from tRNS

  Decoded rgbaPng(MakePng(20, 10, false));
  ASSERT_NE(rgbaPng.surface, nullptr) << rgbaPng.problem;
  Uint8 r, g, b, a;
  SDL_GetRGBA(static_cast<Uint32*>(rgbaPng.surface->pixels)[0], rgbaPng.surface->format, &r, &g, &b, &a);
  EXPECT_EQ((std::array<int, 4>{r, g, b, a}), (std::array<int, 4>{0, 10, 20, 30}));

  Decoded gif(MakeGif(21, 11));
  ASSERT_NE(gif.surface, nullptr) << gif.problem;
  EXPECT_EQ(gif.surface->w, 21);
  EXPECT_EQ(gif.Byte(20, 10), 14);
  EXPECT_EQ(gif.surface->format->palette->colors[14].r, 224);
  Uint32 key = 0;
  EXPECT_EQ(SDL_GetColorKey(gif.surface, &key), 0);
  EXPECT_EQ(key, 3u);
  Decoded interlaced(MakeGif(5, 13, true));
  ASSERT_NE(interlaced.surface, nullptr) << interlaced.problem;
  for (int y = 0; y < 13; ++y) EXPECT_EQ(interlaced.Byte(2, y), (2 + y) % 16) << y;

  for (bool jpeg : {true, false}) {
    Decoded sdl(SaveWithSdl(jpeg));
    ASSERT_NE(sdl.surface, nullptr) << sdl.problem;
    EXPECT_EQ(sdl.surface->w, 24);
    EXPECT_EQ(sdl.surface->h, 16);
  }
}

TEST(PictureDecode, TruncatedOrCrcDamagedPngStopsAtOnce) {
  std::string png = MakePng(16, 16, true);
  const size_t imageDataEnd = png.size() - 12;  // only the end chunk may be missing
  for (size_t length = 0; length < imageDataEnd; ++length) {
    Decoded cut(std::string_view(png).substr(0, length));
    EXPECT_EQ(cut.surface, nullptr) << length;
  }
  std::string damaged = png;
  size_t gamma = damaged.find("gAMA");
  ASSERT_NE(gamma, std::string::npos);
  damaged[gamma + 4] ^= 1;  // the chunk's data no longer matches its CRC
  Decoded crc(damaged);
  EXPECT_EQ(crc.surface, nullptr);
  EXPECT_NE(crc.problem.find("CRC"), std::string::npos) << crc.problem;
}

TEST(PictureDecode, OversizedDeclarationsAreRefusedBeforeDecoding) {
  std::string png = MakePng(4, 4, false);
  for (auto [w, h] : {std::pair{100000u, 4u}, {4097u, 1u}, {4096u, 2048u}, {0u, 4u}}) {
    std::string big = png;
    SetBigEndian32(big, 16, w);
    SetBigEndian32(big, 20, h);
    Decoded d(big);
    EXPECT_EQ(d.surface, nullptr) << w << "x" << h;
    if (w > 0) {
      EXPECT_NE(d.problem.find("too large"), std::string::npos) << d.problem;
    }
  }
  for (bool image : {false, true}) {
    Decoded huge(GifDeclaring(65535, 32767, image));
    EXPECT_EQ(huge.surface, nullptr);
    EXPECT_NE(huge.problem.find("65535 x 32767"), std::string::npos) << huge.problem;
  }
  Decoded sameSize(GifDeclaring(8, 8, true));
  EXPECT_NE(sameSize.surface, nullptr) << sameSize.problem;

  std::string bmp = SaveWithSdl(false);
  bmp[22] = bmp[23] = bmp[24] = '\x7f';  // height about 8 million rows
  EXPECT_EQ(Decoded(bmp).surface, nullptr);
}

TEST(PictureDecode, BrokenGifDataAndUnknownBytesGiveNoPicture) {
  std::string gif = MakeGif(32, 32);
  size_t data = gif.find(',') + 10 + 2;  // image descriptor, code size, first block length
  std::string broken = gif;
  for (size_t i = data; i < broken.size() - 2; ++i) broken[i] = '\xff';
  Decoded lzw(broken);
  EXPECT_EQ(lzw.surface, nullptr);
  for (size_t length = 0; length < data + 20; ++length)
    EXPECT_EQ(Decoded(std::string_view(gif).substr(0, length)).surface, nullptr) << length;
  EXPECT_EQ(Decoded("RIFF\0\0\0\0WEBP").surface, nullptr);
  EXPECT_EQ(Decoded("").surface, nullptr);
  std::string jpeg = SaveWithSdl(true);
  EXPECT_EQ(Decoded(std::string_view(jpeg).substr(0, 4)).surface, nullptr);
  // A cut JPEG gives no picture and says why, or (libjpeg fills in missing rows) a picture
  // of the size its frame declares, never anything else.
  for (size_t length = 5; length < jpeg.size(); length += 7) {
    Decoded cut(std::string_view(jpeg).substr(0, length));
    if (cut.surface) {
      EXPECT_EQ(cut.surface->w, 24) << length;
      EXPECT_EQ(cut.surface->h, 16) << length;
    } else {
      EXPECT_NE(cut.problem, "") << length;
    }
  }
}

TEST(PictureDecode, OnlyPlainFilesUpToTheCapAreRead) {
  TempFolder dir;
  std::string problem;
  dir.Write("big.dat", std::string(kMaxPictureFileBytes + 1, 'x'));
  EXPECT_FALSE(ReadPictureFile(dir.Path() / "big.dat", problem));
  EXPECT_NE(problem.find("too large"), std::string::npos);
  ASSERT_EQ(::mkfifo((dir.Path() / "pipe.dat").c_str(), 0600), 0);  // opening it would block
  EXPECT_FALSE(ReadPictureFile(dir.Path() / "pipe.dat", problem));
  std::filesystem::create_directory(dir.Path() / "folder.dat");
  EXPECT_FALSE(ReadPictureFile(dir.Path() / "folder.dat", problem));
  dir.Write("ok.dat", "abc");
  EXPECT_EQ(ReadPictureFile(dir.Path() / "ok.dat", problem), "abc");
}

TEST(PictureDecode, AnUnreadableFileIsReportedOnceInOneShortPrintableLine) {
  TempFolder dir;
  Picture::ClearCache();
  std::string name = "bad\x1b[2J" + std::string(300, 'n') + ".dat";
  dir.Write(name, MakePng(16, 16, true).substr(0, 60));
  testing::internal::CaptureStderr();
  EXPECT_TRUE(Picture::Load(name).Empty());
  EXPECT_TRUE(Picture::Load(name).Empty());
  EXPECT_TRUE(Picture::LoadRaw(name).Empty());
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_EQ(err.find('\x1b'), std::string::npos);
  EXPECT_LT(err.size(), 300u);
  dir.Write("good.dat", MakeGif(8, 8));
  EXPECT_FALSE(Picture::Load("good.dat").Empty());
  EXPECT_EQ(Picture::Load("good.dat"), Picture::Load("good.dat"));  // cached
}

TEST(PictureDecode, TheCacheKeepsTheRecentPicturesWithinItsBudget) {
  TempFolder dir;
  Picture::ClearCache();
  const std::string big = MakePng(2048, 2048, false);  // 16 MB of pixels once decoded
  for (int i = 0; i < 5; ++i) dir.Write("big" + std::to_string(i) + ".dat", big);
  Picture first = Picture::Load("big0.dat");
  EXPECT_EQ(first, Picture::Load("big0.dat"));
  for (int i = 1; i < 5; ++i) Picture::Load("big" + std::to_string(i) + ".dat");
  // 80 MB were loaded: the oldest left the cache and is decoded afresh; the newest stays.
  EXPECT_FALSE(first == Picture::Load("big0.dat"));
  EXPECT_EQ(Picture::Load("big4.dat"), Picture::Load("big4.dat"));
  Picture::ClearCache();
}

// The drawing copy of a colour-keyed 8-bit picture, refreshed after its pixels changed,
// equals a fresh conversion: pixels that became the key turn transparent.
TEST(PictureRefresh, ColourKeyedPictureRefreshesLikeAFreshConversion) {
  SDL_Surface* raw = SDL_CreateRGBSurfaceWithFormat(0, 4, 2, 8, SDL_PIXELFORMAT_INDEX8);
  ASSERT_NE(raw, nullptr);
  SDL_Color colours[3] = {{255, 0, 255, 255}, {10, 200, 30, 255}, {0, 0, 250, 255}};
  SDL_SetPaletteColors(raw->format->palette, colours, 0, 3);
  SDL_SetColorKey(raw, SDL_TRUE, 0);
  auto* pixels = static_cast<Uint8*>(raw->pixels);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) pixels[y * raw->pitch + x] = static_cast<Uint8>(1 + (x + y) % 2);
  Picture picture = Picture::FromSurface(raw);
  ASSERT_NE(picture.Argb(), nullptr);  // the first copy
  pixels[0] = 0;                       // becomes the key
  pixels[raw->pitch + 3] = 2;
  picture.PixelsChanged();
  SDL_Surface* refreshed = picture.Argb();
  SDL_Surface* fresh = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_ARGB8888, 0);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) {
      auto at = [&](SDL_Surface* s) { return static_cast<Uint32*>(s->pixels)[y * s->pitch / 4 + x]; };
      EXPECT_EQ(at(refreshed), at(fresh)) << x << "," << y;
    }
  EXPECT_EQ(static_cast<Uint32*>(refreshed->pixels)[0] >> 24, 0u) << "the new key pixel is transparent";
  SDL_FreeSurface(fresh);
}

}  // namespace
}  // namespace vark
