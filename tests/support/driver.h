// The test driver: runs the real forms headless (SDL's offscreen video driver), on a
// virtual clock, with a recording sound system and a scripted display. Tests find
// controls by form, name and index, click, press, move, type and press keys, advance
// time, read properties and save the screen.
#pragma once

#include <SDL.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/run_state.h"
#include "platform/forms/btnenh.h"
#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/n3dtext.h"
#include "platform/runtime/app.h"
#include "platform/sound/media.h"
#include "platform/video/display.h"

namespace vark {

// A sound system that remembers what each channel was told.
class FakeAudio : public AudioBackend {
 public:
  struct Event {
    int channel;
    std::string action;  // "play" or "stop"
    std::string path;
  };
  int OpenChannel() override;
  void CloseChannel(int channel) override;
  void Play(int channel, const std::string& path) override;
  void Stop(int channel) override;
  bool IsPlaying(int channel) const override;

  // The sound on a channel ends by itself.
  void Finish(int channel);
  void FinishAll();
  const std::vector<Event>& Log() const { return log_; }
  void ClearLog() { log_.clear(); }
  // How many times a file whose path ends with `suffix` (case-insensitive) was started.
  int Plays(const std::string& suffix) const;
  bool IsOpen(int channel) const { return open_.count(channel) != 0; }

 private:
  std::map<int, bool> open_;
  std::map<int, bool> playing_;
  std::vector<Event> log_;
  int next_ = 0;
};

// A display with a scripted list of modes that records the changes asked of it.
class FakeDisplay : public DisplayService {
 public:
  std::vector<DisplayMode> modes{{1024, 768, 32}, {800, 600, 32}, {640, 480, 32}, {640, 480, 16}};
  DisplayMode current{1024, 768, 32};
  std::vector<DisplayMode> changes;
  int refreshRate = 0;  // unknown

  std::vector<DisplayMode> Modes() override { return modes; }
  DisplayMode Current() override { return current; }
  int RefreshRate() override { return refreshRate; }
  void Change(const DisplayMode& mode) override {
    changes.push_back(mode);
    current = mode;
  }
};

// A fresh temporary working folder for one test; the previous folder comes back after.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  const std::filesystem::path& Path() const { return path_; }
  // Makes every entry of a data folder (the game's generated one) visible here through
  // symbolic links, profiles excepted.
  void LinkGameData(const std::filesystem::path& gameDir);
  // Writes a file (bytes as given).
  void Write(const std::string& relative, const std::string& bytes);
  // Writes a small solid-colour picture (PNG).
  void WritePicture(const std::string& relative, int w, int h, uint8_t r, uint8_t g, uint8_t b);

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

// While alive, this thread obeys file permissions even when run as root: it sets aside the
// two capabilities that let root read and write past them. A folder made read-only or a
// file made unreadable then stops the game's code the way it stops a player's.
class PermissionsHonoured {
 public:
  PermissionsHonoured();
  ~PermissionsHonoured();
  PermissionsHonoured(const PermissionsHonoured&) = delete;
  PermissionsHonoured& operator=(const PermissionsHonoured&) = delete;
};

class Driver {
 public:
  // Settings read by the game come from a settings file inside a private folder.
  Driver();
  ~Driver();

  // Moves the virtual clock, firing every timer that falls due on the way.
  void Advance(int ms);
  uint64_t Now() const;
  // Runs an action `ms` from now as an event of its own (for checks inside long loops).
  void At(int ms, std::function<void()> action);

  // The loaded instance of a form (loading it when needed), and its controls.
  template <class F>
  F& Get() {
    return Forms::Get<F>();
  }
  template <class C = Control, class F>
  C& Find(F& form, const std::string& name, int index = -1) {
    return Cast<C>(form.FindControl(name, index), name, index);
  }

  // Input through the same routing as real events. Positions are screen pixels; a
  // control's default position is its middle.
  void Click(Control& c);
  void ClickAt(int x, int y);
  void MouseDown(Control& c, int button = kLeftButton);
  void MouseDownAt(int x, int y, int button = kLeftButton);
  void MouseUpAt(int x, int y, int button = kLeftButton);
  void MoveOver(Control& c);
  void MoveTo(int x, int y);
  void Type(const std::string& utf8);
  void Press(SDL_Keycode key, uint16_t mod = 0);
  // A key at its place on the keyboard, with the code a layout gives it there (under the
  // Russian layout the key "C" gives "с").
  void PressAt(SDL_Scancode scan, SDL_Keycode key, uint16_t mod = 0);
  // A key held down and let go, as the keyboard reports them (held arrows steer).
  void Hold(SDL_Keycode key);
  void Release(SDL_Keycode key);
  // A game controller's events, as SDL reports them; `pad` tells controllers apart.
  void PadButton(SDL_GameControllerButton button, bool down, int pad = 0);
  void PadTap(SDL_GameControllerButton button, int pad = 0);  // down, then up
  void PadAxis(SDL_GameControllerAxis axis, int value, int pad = 0);

  // What the window system says about the game's window, through the same handling as in
  // the game: SDL_WINDOWEVENT_FOCUS_LOST, _FOCUS_GAINED, _MINIMIZED, _RESTORED, ...
  void Window(SDL_WindowEventID event);
  // SDL's word that the sound output device is gone (the sound server stopped).
  void SoundDeviceRemoved();

  bool SaveScreen(const std::string& path);
  // The screen pixel as 0xRRGGBB.
  uint32_t Pixel(int x, int y);
  static SDL_Point Middle(const Control& c);

  FakeAudio& Sound() { return *audio_; }
  FakeDisplay& Screen() { return *display_; }
  // Writes one of the game's options, as the set-up program would.
  void SetSetting(const std::string& key, const std::string& value);
  bool Ended() const { return App::Get().Ended(); }

 private:
  template <class C>
  static C& Cast(Control* c, const std::string& name, int index) {
    auto* typed = dynamic_cast<C*>(c);
    if (!typed) Missing(name, index);
    return *typed;
  }
  [[noreturn]] static void Missing(const std::string& name, int index);
  void Event(const std::function<void()>& action);

  // Everything the platform and the game keep for a run is made afresh for each driver,
  // and goes with it; the rest is destroyed before it.
  RunState run_;
  FakeAudio* audio_;
  FakeDisplay* display_;
  std::filesystem::path configHome_;
  std::vector<std::unique_ptr<Timer>> actions_;
};

}  // namespace vark
