// A small program that shows the web build's libraries and page at work before the game
// itself moves there: it draws text (freetype through SDL_ttf) and pictures that went
// through PNG, JPEG and GIF coders, plays an MP3 decoded by mpg123 through SDL_mixer
// after the first click, shows the last key and the typed text, and keeps the typed text
// in the browser's storage (IDBFS) when Enter is pressed, so a reload reads it back.
// What it sees is published as `window.proof` for the browser test to read.
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>
#include <emscripten.h>
#include <gif_lib.h>
#include <mpg123.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
const char* const kSavedFile = "/save/proof.txt";

struct Proof {
  SDL_Window* window = nullptr;
  TTF_Font* font = nullptr;
  Mix_Chunk* tune = nullptr;
  std::vector<int16_t> tuneSamples;
  std::string lastKey;
  std::string typed;
  std::string stored;  // what the storage held at start
  std::string sound = "off";
  std::string pictures;
  std::string click;  // where the last click landed, in the program's pixels
  bool storageReady = false;
  bool clicked = false;
  bool dirty = true;
};

Proof proof;

// JSON string contents: the typed text may hold quotes and backslashes.
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (static_cast<unsigned char>(c) >= 0x20) out += c;
  }
  return out + "\"";
}

void Publish() {
  std::ostringstream json;
  json << "{\"key\":" << Quoted(proof.lastKey) << ",\"typed\":" << Quoted(proof.typed)
       << ",\"stored\":" << Quoted(proof.stored) << ",\"sound\":" << Quoted(proof.sound)
       << ",\"pictures\":" << Quoted(proof.pictures) << ",\"storageReady\":" << (proof.storageReady ? "true" : "false")
       << ",\"clicked\":" << (proof.clicked ? "true" : "false") << ",\"click\":" << Quoted(proof.click) << "}";
  EM_ASM({ window.proof = JSON.parse(UTF8ToString($0)); }, json.str().c_str());
}

// A 2 x 1 GIF: one red and one blue pixel.
const unsigned char kGif[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x02, 0x00, 0x01, 0x00, 0x80, 0x00,
                              0x00, 0xff, 0x00, 0x00, 0x00, 0x00, 0xff, 0x2c, 0x00, 0x00, 0x00, 0x00,
                              0x02, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x0a, 0x00, 0x3b};

struct GifBytes {
  const unsigned char* at;
  size_t left;
};

int ReadGif(GifFileType* gif, GifByteType* into, int count) {
  auto* bytes = static_cast<GifBytes*>(gif->UserData);
  size_t n = std::min<size_t>(static_cast<size_t>(count), bytes->left);
  std::copy(bytes->at, bytes->at + n, into);
  bytes->at += n;
  bytes->left -= n;
  return static_cast<int>(n);
}

// The GIF's second pixel as "r,g,b", or the reason it could not be read.
std::string GifSecondPixel() {
  GifBytes bytes{kGif, sizeof kGif};
  int error = 0;
  GifFileType* gif = DGifOpen(&bytes, ReadGif, &error);
  if (gif == nullptr) return GifErrorString(error);
  std::string result = "gif failed";
  if (DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0) {
    GifColorType colour = gif->SColorMap->Colors[gif->SavedImages[0].RasterBits[1]];
    result = std::to_string(colour.Red) + "," + std::to_string(colour.Green) + "," + std::to_string(colour.Blue);
  }
  DGifCloseFile(gif, &error);
  return result;
}

SDL_Surface* Pattern() {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 64, 64, 32, SDL_PIXELFORMAT_RGB888);
  SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 40, 160, 60));
  SDL_Rect inner{16, 16, 32, 32};
  SDL_FillRect(s, &inner, SDL_MapRGB(s->format, 230, 200, 40));
  return s;
}

// The pattern written as PNG or JPEG into memory and read back by SDL_image.
SDL_Surface* ThroughCoder(bool jpeg) {
  SDL_Surface* pattern = Pattern();
  std::vector<char> buffer(1 << 20);
  SDL_RWops* out = SDL_RWFromMem(buffer.data(), static_cast<int>(buffer.size()));
  int saved = jpeg ? IMG_SaveJPG_RW(pattern, out, 0, 90) : IMG_SavePNG_RW(pattern, out, 0);
  Sint64 size = SDL_RWtell(out);
  SDL_RWclose(out);
  SDL_FreeSurface(pattern);
  if (saved != 0 || size <= 0) return nullptr;
  return IMG_Load_RW(SDL_RWFromConstMem(buffer.data(), static_cast<int>(size)), 1);
}

void DrawText(SDL_Surface* screen, const std::string& text, int x, int y) {
  if (proof.font == nullptr || text.empty()) return;
  SDL_Surface* rendered = TTF_RenderUTF8_Blended(proof.font, text.c_str(), SDL_Color{232, 192, 64, 255});
  if (rendered == nullptr) return;
  SDL_Rect at{x, y, 0, 0};
  SDL_BlitSurface(rendered, nullptr, screen, &at);
  SDL_FreeSurface(rendered);
}

void Fill(SDL_Surface* screen, SDL_Rect rect, Uint8 r, Uint8 g, Uint8 b) {
  SDL_FillRect(screen, &rect, SDL_MapRGB(screen->format, r, g, b));
}

void Draw() {
  SDL_Surface* screen = SDL_GetWindowSurface(proof.window);
  Fill(screen, {0, 0, kWidth, kHeight}, 16, 16, 24);
  // Marks the test reads back: red always, green after a click, blue after a key.
  Fill(screen, {20, 20, 40, 40}, 220, 40, 40);
  if (proof.clicked) Fill(screen, {80, 20, 40, 40}, 40, 200, 60);
  if (!proof.lastKey.empty()) Fill(screen, {140, 20, 40, 40}, 40, 80, 220);
  for (bool jpeg : {false, true}) {
    SDL_Surface* picture = ThroughCoder(jpeg);
    SDL_Rect at{jpeg ? 300 : 220, 20, 0, 0};
    if (picture != nullptr) SDL_BlitSurface(picture, nullptr, screen, &at);
    SDL_FreeSurface(picture);
  }
  DrawText(screen, "Проверка: " + proof.typed, 20, 120);
  DrawText(screen, "Клавиша: " + proof.lastKey, 20, 160);
  DrawText(screen, "Сохранено: " + proof.stored, 20, 200);
  DrawText(screen, "Звук: " + proof.sound, 20, 240);
  SDL_UpdateWindowSurface(proof.window);
}

std::string ReadWholeFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The tune's MP3 bytes decoded by mpg123 to 44.1 kHz stereo samples.
std::vector<int16_t> DecodeMp3(const std::string& bytes) {
  mpg123_handle* decoder = mpg123_new(nullptr, nullptr);
  if (decoder == nullptr) throw std::runtime_error("mpg123_new failed");
  mpg123_format_none(decoder);
  mpg123_format(decoder, 44100, MPG123_STEREO, MPG123_ENC_SIGNED_16);
  mpg123_open_feed(decoder);
  std::vector<int16_t> samples;
  std::vector<unsigned char> block(16384);
  size_t done = 0;
  int status = mpg123_decode(decoder, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), block.data(),
                             block.size(), &done);
  while (true) {
    const auto* at = reinterpret_cast<const int16_t*>(block.data());
    samples.insert(samples.end(), at, at + done / 2);
    if (status != MPG123_OK && status != MPG123_NEW_FORMAT) break;
    status = mpg123_decode(decoder, nullptr, 0, block.data(), block.size(), &done);
  }
  mpg123_delete(decoder);
  if (samples.empty()) throw std::runtime_error("the tune decoded to nothing");
  return samples;
}

// Browsers allow sound only after the player's first click or key.
void StartSound() {
  if (proof.sound != "off") return;
  try {
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) throw std::runtime_error(Mix_GetError());
    proof.tuneSamples = DecodeMp3(ReadWholeFile("/data/tone.mp3"));
    proof.tune = Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(proof.tuneSamples.data()),
                                   static_cast<Uint32>(proof.tuneSamples.size() * 2));
    if (proof.tune == nullptr || Mix_PlayChannel(-1, proof.tune, 0) < 0) throw std::runtime_error(Mix_GetError());
    proof.sound = "playing " + std::to_string(proof.tuneSamples.size() / 2) + " frames";
  } catch (const std::exception& e) {
    proof.sound = std::string("failed: ") + e.what();
  }
}

void SaveTyped() {
  std::ofstream(kSavedFile, std::ios::binary | std::ios::trunc) << proof.typed;
  EM_ASM({
    FS.syncfs(
        false, function(error) {
          if (error) console.error("proof: saving to IndexedDB failed: " + error);
          else window.proofSaved = (window.proofSaved || 0) + 1;
        });
  });
}

void Handle(const SDL_Event& event) {
  switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
      proof.clicked = true;
      proof.click = std::to_string(event.button.x) + "," + std::to_string(event.button.y);
      StartSound();
      break;
    case SDL_KEYDOWN:
      proof.lastKey = SDL_GetKeyName(event.key.keysym.sym);
      StartSound();
      if (event.key.keysym.sym == SDLK_RETURN) SaveTyped();
      if (event.key.keysym.sym == SDLK_BACKSPACE && !proof.typed.empty()) {
        while (!proof.typed.empty() && (static_cast<unsigned char>(proof.typed.back()) & 0xC0) == 0x80)
          proof.typed.pop_back();
        if (!proof.typed.empty()) proof.typed.pop_back();
      }
      break;
    case SDL_TEXTINPUT: proof.typed += event.text.text; break;
    default: return;
  }
  proof.dirty = true;
}

void Frame() {
  SDL_Event event;
  while (SDL_PollEvent(&event)) Handle(event);
  if (!proof.dirty) return;
  proof.dirty = false;
  Draw();
  Publish();
}

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void ProofStorageReady() {
  proof.storageReady = true;
  proof.stored = ReadWholeFile(kSavedFile);
  proof.dirty = true;
}

int main(int argc, char** argv) {
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) != 0 || TTF_Init() != 0) {
    std::fprintf(stderr, "proof: %s\n", SDL_GetError());
    return 1;
  }
  IMG_Init(IMG_INIT_JPG | IMG_INIT_PNG);
  proof.window =
      SDL_CreateWindow("Project: VARK", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, kWidth, kHeight, 0);
  proof.font = TTF_OpenFont("/data/DejaVuSans.ttf", 22);
  if (proof.font == nullptr) std::fprintf(stderr, "proof: %s\n", TTF_GetError());
  proof.pictures = "gif " + GifSecondPixel();
  for (int i = 1; i < argc; ++i) proof.pictures += std::string(" arg ") + argv[i];
  SDL_StartTextInput();
  EM_ASM({
    FS.mkdir("/save");
    FS.mount(IDBFS, {}, "/save");
    FS.syncfs(
        true, function(error) {
          if (error) console.warn("proof: the browser's storage cannot be read: " + error);
          Module.ccall("ProofStorageReady", null, [], []);
        });
  });
  emscripten_set_main_loop(Frame, 0, 1);
  return 0;
}
