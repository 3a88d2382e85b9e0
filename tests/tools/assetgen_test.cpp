// The generated data folder: every file the game names exists, loads through
// SDL_image or SDL_mixer with the size and format the screens expect, the quiz
// file parses, and the generator writes the same bytes on every run.
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include "support/driver.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "platform/text.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGameDir = VARK_GAME_DIR;

struct PictureSpec {
  std::string name;
  int width, height;  // 0 = at least the given minimum, checked separately
};

fs::path PathOf(const std::string& name) { return kGameDir / fs::path(std::u8string(name.begin(), name.end())); }

SDL_Surface* Load(const std::string& name) { return IMG_Load(PathOf(name).string().c_str()); }

void ExpectPicture(const std::string& name, int width, int height) {
  SDL_Surface* s = Load(name);
  ASSERT_NE(s, nullptr) << name << ": " << IMG_GetError();
  EXPECT_EQ(s->w, width) << name;
  EXPECT_EQ(s->h, height) << name;
  SDL_FreeSurface(s);
}

const std::vector<std::string> kMonsters = {"Imp", "Demon", "Skelet", "Pain", "Vile", "Cyber"};

TEST(GeneratedData, PicturesHaveTheSizesTheScreensUse) {
  std::vector<PictureSpec> fixed = {
      {"mount.jpg", 640, 480},      {"Enterin.jpg", 640, 480},   {"Gfx/Blank.dat", 81, 105},
      {"Gfx/ios.dat", 551, 249},    {"Gfx/End2.dat", 665, 481},  {"Gfx/Win2.dat", 665, 481},
      {"Res/Arrow.png", 32, 32},    {"Res/Arrow2.png", 32, 32},  {"Res/Invisible.png", 32, 32},
      {"Res/Caco.png", 48, 48},     {"Res/CacoFire.png", 48, 48}, {"Res/CacoDie1.png", 48, 48},
      {"Res/CacoDie2.png", 48, 48}, {"Res/CacoDie3.png", 48, 48}, {"Res/Cannon.png", 48, 48},
      {"Res/Shot.png", 18, 18},     {"Res/Bullet.png", 16, 16},  {"Res/Panel1.png", 48, 48},
      {"Res/Panel2.png", 48, 48},   {"Res/Panel3.png", 48, 48},  {"Res/Passed.png", 32, 32},
      {"Res/Current.png", 32, 32},
  };
  for (int n = 1; n <= 9; ++n) fixed.push_back({"Gfx/Tel" + std::to_string(n) + ".jpg", 81, 105});
  for (const std::string& m : kMonsters) {
    fixed.push_back({"Gfx/" + m + ".dat", 112, 136});
    fixed.push_back({"Gfx/" + m + "f.dat", 112, 136});
  }
  for (const PictureSpec& p : fixed) ExpectPicture(p.name, p.width, p.height);

  struct Minimum { std::string name; int width, height; };
  for (const Minimum& m : std::vector<Minimum>{{"Texture0.jpg", 657, 457}, {"Texture1.jpg", 665, 513}, {"stone.jpg", 64, 64}}) {
    SDL_Surface* s = Load(m.name);
    ASSERT_NE(s, nullptr) << m.name;
    EXPECT_GE(s->w, m.width) << m.name;
    EXPECT_GE(s->h, m.height) << m.name;
    SDL_FreeSurface(s);
  }
}

TEST(GeneratedData, DeathFramesLoadAndOnlyTheChosenOnesAreMissing) {
  int missing = 0;
  for (const std::string& m : kMonsters) {
    for (int n = 1; n <= 10; ++n) {
      std::string name = "Gfx/" + m + "d" + std::to_string(n) + ".dat";
      if (!fs::exists(PathOf(name))) {
        ++missing;
        continue;
      }
      ExpectPicture(name, 112, 136);
    }
  }
  // One monster lacks a frame or two so the game's skipping of missing frames is exercised.
  EXPECT_GE(missing, 1);
  EXPECT_LE(missing, 2);
}

TEST(GeneratedData, PointerHotSpotIsTheArrowTipAndInvisiblePointerIsClear) {
  SDL_Surface* arrow = SDL_ConvertSurfaceFormat(Load("Res/Arrow.png"), SDL_PIXELFORMAT_RGBA32, 0);
  ASSERT_NE(arrow, nullptr);
  Uint8 alpha = static_cast<Uint8*>(arrow->pixels)[3];
  EXPECT_GT(alpha, 128) << "the arrow's tip must cover pixel (0, 0)";
  SDL_FreeSurface(arrow);

  SDL_Surface* invisible = SDL_ConvertSurfaceFormat(Load("Res/Invisible.png"), SDL_PIXELFORMAT_RGBA32, 0);
  ASSERT_NE(invisible, nullptr);
  const Uint8* px = static_cast<const Uint8*>(invisible->pixels);
  for (int y = 0; y < invisible->h; ++y)
    for (int x = 0; x < invisible->w; ++x) ASSERT_EQ(px[y * invisible->pitch + x * 4 + 3], 0);
  SDL_FreeSurface(invisible);
}

TEST(GeneratedData, AtLeastTwentyDistinctFaces) {
  int faces = 0;
  std::set<std::uintmax_t> sizes;
  for (const fs::directory_entry& e : fs::directory_iterator(kGameDir / "VarKers")) {
    if (e.path().extension() != ".dat") continue;
    SDL_Surface* s = IMG_Load(e.path().string().c_str());
    ASSERT_NE(s, nullptr) << e.path();
    EXPECT_GE(s->w, 128);
    EXPECT_GE(s->h, 128);
    SDL_FreeSurface(s);
    sizes.insert(e.file_size());
    ++faces;
  }
  EXPECT_GE(faces, 20);
  EXPECT_EQ(sizes.size(), static_cast<size_t>(faces)) << "two faces have identical files";
}

TEST(GeneratedData, VoxelMapsArePalettisedAndShareTheTitlePalette) {
  SDL_Surface* title = Load("Gfx/title.gif");
  SDL_Surface* height = Load("Gfx/height.gif");
  SDL_Surface* texture = Load("Gfx/texture.gif");
  ASSERT_TRUE(title && height && texture);
  for (SDL_Surface* s : {title, height, texture}) EXPECT_EQ(s->format->format, SDL_PIXELFORMAT_INDEX8);
  EXPECT_EQ(title->w, 320);
  EXPECT_EQ(title->h, 240);
  for (SDL_Surface* s : {height, texture}) {
    EXPECT_EQ(s->w, 512);
    EXPECT_EQ(s->h, 512);
  }
  int colors = title->format->palette->ncolors;
  int highest = 0, peak = 0;
  for (int y = 0; y < 512; ++y) {
    const Uint8* t = static_cast<const Uint8*>(texture->pixels) + y * texture->pitch;
    const Uint8* h = static_cast<const Uint8*>(height->pixels) + y * height->pitch;
    for (int x = 0; x < 512; ++x) {
      highest = std::max(highest, int(t[x]));
      peak = std::max(peak, int(h[x]));
    }
  }
  EXPECT_LT(highest, colors);
  EXPECT_GE(peak, 240) << "the height map should have peaks near the top of the range";
  for (SDL_Surface* s : {title, height, texture}) SDL_FreeSurface(s);
}

TEST(GeneratedData, HeightMapTilesWithoutSeams) {
  SDL_Surface* height = Load("Gfx/height.gif");
  ASSERT_NE(height, nullptr);
  auto at = [&](int x, int y) { return int(static_cast<const Uint8*>(height->pixels)[y * height->pitch + x]); };
  int worst_edge = 0, worst_inside = 0;
  for (int i = 0; i < 512; ++i) {
    worst_edge = std::max({worst_edge, std::abs(at(511, i) - at(0, i)), std::abs(at(i, 511) - at(i, 0))});
    worst_inside = std::max({worst_inside, std::abs(at(255, i) - at(256, i)), std::abs(at(i, 255) - at(i, 256))});
  }
  EXPECT_LE(worst_edge, worst_inside + 2);
  SDL_FreeSurface(height);
}

class GeneratedSounds : public ::testing::Test {
 protected:
  void SetUp() override {
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024), 0) << Mix_GetError();
  }
  void TearDown() override {
    Mix_CloseAudio();
    SDL_Quit();
  }
};

TEST_F(GeneratedSounds, EffectsLoad) {
  for (const char* name : {"Click.wav", "Open.wav", "caco_alert.wav", "explosion3.wav", "Shoot.wav", "Arrgh.wav"}) {
    Mix_Chunk* chunk = Mix_LoadWAV(PathOf(std::string("Sfx/") + name).string().c_str());
    ASSERT_NE(chunk, nullptr) << name << ": " << Mix_GetError();
    EXPECT_GT(chunk->alen, 1000u) << name;
    Mix_FreeChunk(chunk);
  }
}

TEST_F(GeneratedSounds, TunesLoad) {
  Mix_SetSoundFonts("/usr/share/sounds/sf2/TimGM6mb.sf2");
  Mix_Init(MIX_INIT_MID | MIX_INIT_MP3);
  for (const char* name : {"Track1.mid", "Track2.mid", "Track3.mid", "Track4.mid", "Intro.mp3"}) {
    Mix_Music* music = Mix_LoadMUS(PathOf(std::string("Sfx/") + name).string().c_str());
    ASSERT_NE(music, nullptr) << name << ": " << Mix_GetError();
    Mix_FreeMusic(music);
  }
}

TEST(GeneratedData, QuizFileHoldsEnoughWellFormedRecords) {
  std::optional<std::vector<std::string>> lines = vark::ReadTextLines(kGameDir / "Quest.dat");
  ASSERT_TRUE(lines.has_value());
  size_t i = 0;
  std::set<std::string> questions;
  int position_count[5] = {};
  while (i < lines->size() && (*lines)[i] != "[END]") {
    ASSERT_LE(i + 6, lines->size()) << "record cut short at line " << i;
    EXPECT_TRUE(questions.insert((*lines)[i]).second) << "repeated question: " << (*lines)[i];
    long long right = vark::LeadingNumber((*lines)[i + 5]);
    ASSERT_GE(right, 1);
    ASSERT_LE(right, 4);
    ++position_count[right];
    i += 6;
  }
  ASSERT_LT(i, lines->size()) << "no [END] line";
  EXPECT_GE(questions.size(), 80u);
  EXPECT_LE(questions.size(), 101u);
  for (int p = 1; p <= 4; ++p) EXPECT_GE(position_count[p], int(questions.size()) / 4 - 2) << "position " << p;
}

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(Assetgen, TwoRunsWriteIdenticalFiles) {
  vark::TempFolder folder;  // a private folder: other test runs may generate at the same time
  fs::path base = folder.Path();
  for (const char* run : {"a", "b"}) {
    std::string command = std::string("\"") + VARK_ASSETGEN + "\" \"" + (base / run / "game").string() + "\" \"" +
                          (base / run / "sheet.png").string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }
  int files = 0;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(base / "a" / "game")) {
    if (!e.is_regular_file()) continue;
    fs::path twin = base / "b" / "game" / fs::relative(e.path(), base / "a" / "game");
    ASSERT_TRUE(fs::exists(twin)) << twin;
    EXPECT_EQ(Slurp(e.path()), Slurp(twin)) << e.path();
    ++files;
  }
  EXPECT_GT(files, 130);
}

}  // namespace
