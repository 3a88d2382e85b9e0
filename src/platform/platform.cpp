#include "platform/platform.h"

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "platform/base/random.h"
#include "platform/base/run_state.h"
#include "platform/files/settings.h"
#include "platform/forms/form.h"
#include "platform/forms/screen.h"
#include "platform/input/gamepad.h"
#include "platform/input/input_router.h"
#include "platform/runtime/app.h"
#include "platform/sound/media.h"
#include "platform/sound/sdl_mixer_output.h"
#include "platform/video/display.h"
#include "platform/video/font.h"
#include "platform/video/window.h"
#include "platform/video/window_manager.h"
#include "platform/video/window_place.h"

namespace vark {
namespace {

// Where the window's place is kept between runs (no key: nowhere).
struct KeptPlaceSetting {
  WindowPlaceSetting setting;
};

WindowPlaceSetting& PlaceSetting() { return CurrentRun().Get<KeptPlaceSetting>().setting; }

std::string KeptPlace() {
  const WindowPlaceSetting& placeSetting = PlaceSetting();
  return GetSetting(placeSetting.application, placeSetting.section, placeSetting.key);
}

// The window opens where the player left it last time.
void PlaceWindowAsLastTime() {
  const WindowPlaceSetting& placeSetting = PlaceSetting();
  if (placeSetting.key.empty()) return;
  std::string text = KeptPlace();
  if (text.empty()) return;
  if (auto place = ParseWindowPlace(text)) GameWindow::Get().SetPlace(*place);
  else
    std::cerr << "vark: the setting " << placeSetting.key << "=" << text
              << " is not x,y,width,height; the window opens in its usual place\n";
}

void RememberWindowPlace() {
  const WindowPlaceSetting& placeSetting = PlaceSetting();
  if (placeSetting.key.empty() || !GameWindow::Get().Shown()) return;  // nothing to keep
  std::string text = WindowPlaceText(GameWindow::Get().FramePlace());
  if (text != KeptPlace()) SaveSettings(placeSetting.application, placeSetting.section, {{placeSetting.key, text}});
}

// What the event loop drives: input goes to the router, unloaded forms go after each
// event, and between events the sound system takes in decoded sounds, the window follows
// the front screen and the picture is shown when due.
class PlatformParts final : public LoopParts {
 public:
  void HandleEvent(const SDL_Event& e) override { InputRouter::Get().HandleEvent(e); }
  void AfterEvent() override { Forms::CollectGarbage(); }
  void BetweenEvents(uint64_t now) override {
    Audio().Pump();
    Screen::Get().FollowActivity();
    Screen::Get().PresentIfDue(now);
  }
  uint64_t NextDrawTime() const override { return Screen::Get().NextPresentTime(); }
};

}  // namespace

void ConnectPlatform() { App::Get().Connect(&CurrentRun().Get<PlatformParts>()); }

void FollowDesktopLocale() {
  std::setlocale(LC_ALL, "");
  std::setlocale(LC_NUMERIC, "C");
}

bool InitGamePlatform(const WindowPlaceSetting& windowPlace) {
  PlaceSetting() = windowPlace;
  ConnectPlatform();
  HearXErrorsFirst();
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
    std::cerr << "vark: cannot start video: " << SDL_GetError() << "\n";
    return false;
  }
  InitControllers();
  IMG_Init(IMG_INIT_JPG | IMG_INIT_PNG);
  if (TTF_Init() != 0) std::cerr << "vark: fonts unavailable: " << TTF_GetError() << "\n";
  OpenRealAudio();
  DesktopMode();  // read while the display is still the desktop's alone
  PlaceWindowAsLastTime();
  const char* windowed = std::getenv("VARK_WINDOWED");
  Screen::Get().Init(true, !(windowed && std::strcmp(windowed, "1") == 0));
  RandomizeFromClock();
  return true;
}

void ShutdownGamePlatform() {
  Forms::UnloadAll();
  RememberWindowPlace();
  ShutdownControllers();
  // The window goes first, so the player sees the game end at once even while the
  // sound system finishes a tune it was decoding.
  Screen::Get().Shutdown();
  SetAudioBackend(nullptr);
  Mix_CloseAudio();
  CloseFonts();
  TTF_Quit();
  IMG_Quit();
  SDL_Quit();
}

}  // namespace vark
