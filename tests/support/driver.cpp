#include "support/driver.h"

#include <SDL_image.h>
#include <SDL_ttf.h>
#include <linux/capability.h>
#include <stdlib.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "platform/base/owned.h"
#include "platform/base/random.h"
#include "platform/files/paths.h"
#include "platform/files/settings.h"
#include "platform/forms/screen.h"
#include "platform/input/focus_nav.h"
#include "platform/input/gamepad.h"
#include "platform/input/input_router.h"
#include "platform/platform.h"
#include "platform/video/font.h"
#include "platform/video/picture.h"
#include "startup/options.h"

namespace vark {

// ---- FakeAudio -------------------------------------------------------------------------

int FakeAudio::OpenChannel() {
  open_[next_] = true;
  return next_++;
}

void FakeAudio::CloseChannel(int channel) {
  Stop(channel);
  open_.erase(channel);
}

void FakeAudio::Play(int channel, const std::string& path) {
  playing_[channel] = true;
  log_.push_back({channel, "play", path});
}

void FakeAudio::Stop(int channel) {
  if (playing_[channel]) log_.push_back({channel, "stop", ""});
  playing_[channel] = false;
}

bool FakeAudio::IsPlaying(int channel) const {
  auto it = playing_.find(channel);
  return it != playing_.end() && it->second;
}

void FakeAudio::Finish(int channel) { playing_[channel] = false; }

void FakeAudio::FinishAll() {
  for (auto& [channel, playing] : playing_) playing = false;
}

int FakeAudio::Plays(const std::string& suffix) const {
  int n = 0;
  for (const auto& e : log_) {
    if (e.action != "play" || e.path.size() < suffix.size()) continue;
    if (SameNameIgnoringCase(e.path.substr(e.path.size() - suffix.size()), suffix)) ++n;
  }
  return n;
}

// ---- TempFolder ------------------------------------------------------------------------

TempFolder::TempFolder() : previous_(std::filesystem::current_path()) {
  std::string pattern = (std::filesystem::temp_directory_path() / "vark-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
  path_ = pattern;
  std::filesystem::current_path(path_);
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::current_path(previous_, ec);
  std::filesystem::remove_all(path_, ec);
}

void TempFolder::LinkGameData(const std::filesystem::path& gameDir) {
  std::error_code ec;
  for (std::filesystem::directory_iterator it(gameDir, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().extension() == ".pro") continue;
    std::filesystem::create_symlink(it->path(), path_ / it->path().filename(), ec);
  }
}

void TempFolder::Write(const std::string& relative, const std::string& bytes) {
  auto file = path_ / relative;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

void TempFolder::WritePicture(const std::string& relative, int w, int h, uint8_t r, uint8_t g, uint8_t b) {
  auto file = path_ / relative;
  std::filesystem::create_directories(file.parent_path());
  OwnedSurface s(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888));
  SDL_FillRect(s.get(), nullptr, SDL_MapRGB(s->format, r, g, b));
  IMG_SavePNG(s.get(), file.c_str());
}

// ---- PermissionsHonoured ---------------------------------------------------------------

namespace {

constexpr uint32_t kPermissionCapabilities = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

// Sets or clears the permission capabilities in this thread's effective set; they stay in
// the permitted set, so they can come back.
bool SetPermissionCapabilities(bool on) {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
  if (syscall(SYS_capget, &header, data) != 0) return false;
  if (on) data[0].effective |= kPermissionCapabilities & data[0].permitted;
  else data[0].effective &= ~kPermissionCapabilities;
  return syscall(SYS_capset, &header, data) == 0;
}

}  // namespace

PermissionsHonoured::PermissionsHonoured() {
  if (!SetPermissionCapabilities(false)) throw std::runtime_error("cannot set aside the permission capabilities");
}

PermissionsHonoured::~PermissionsHonoured() { SetPermissionCapabilities(true); }

// ---- Driver ----------------------------------------------------------------------------

Driver::Driver() {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_Init(SDL_INIT_VIDEO) != 0)
    throw std::runtime_error(std::string("SDL video: ") + SDL_GetError());
  IMG_Init(IMG_INIT_JPG | IMG_INIT_PNG);
  if (!TTF_WasInit()) TTF_Init();

  std::string pattern = (std::filesystem::temp_directory_path() / "vark-config-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a settings folder");
  configHome_ = pattern;
  setenv("XDG_CONFIG_HOME", configHome_.c_str(), 1);
  Options() = ReadGameOptions();
  SetFontSubstitutes(GameFonts());

  App::Get().UseVirtualClock(true);
  auto audio = std::make_unique<FakeAudio>();
  audio_ = audio.get();
  SetAudioBackend(std::move(audio));
  auto display = std::make_unique<FakeDisplay>();
  display_ = display.get();
  SetDisplayService(std::move(display));
  ConnectPlatform();
  Screen::Get().Init(false, false);
  Randomize(12345);
}

Driver::~Driver() {
  actions_.clear();
  // The forms go while everything they use is still there; the run takes the rest.
  Forms::UnloadAll();
  std::error_code ec;
  std::filesystem::remove_all(configHome_, ec);
}

void Driver::Advance(int ms) {
  App& app = App::Get();
  uint64_t target = app.Now() + static_cast<uint64_t>(std::max(0, ms));
  app.SetVirtualLimit(target);
  try {
    app.AdvanceVirtual(target);
  } catch (const VirtualTimeExhausted&) {
    // A loop inside a handler was still running when the time was up: it is abandoned
    // where it stood, and the test goes on from there.
    static_cast<VirtualClock&>(app.GetClock()).Set(target);
  }
  app.SetVirtualLimit(UINT64_MAX);
  app.AfterEvent();
}

uint64_t Driver::Now() const { return App::Get().Now(); }

void Driver::At(int ms, std::function<void()> action) {
  auto timer = std::make_unique<Timer>("At", std::max(1, ms), nullptr);
  Timer* raw = timer.get();
  raw->SetHandler([raw, action] {
    raw->SetInterval(0);
    action();
  });
  actions_.push_back(std::move(timer));
}

void Driver::Event(const std::function<void()>& action) {
  App::Get().Dispatch(action);
  App::Get().AfterEvent();
}

void Driver::Missing(const std::string& name, int index) {
  throw std::runtime_error("no control " + name + (index >= 0 ? "(" + std::to_string(index) + ")" : ""));
}

SDL_Point Driver::Middle(const Control& c) {
  SDL_Rect b = c.ScreenBox();
  return SDL_Point{b.x + b.w / 2, b.y + b.h / 2};
}

namespace {
int SdlButton(int button) {
  return button == kRightButton ? SDL_BUTTON_RIGHT : button == kMiddleButton ? SDL_BUTTON_MIDDLE : SDL_BUTTON_LEFT;
}
}  // namespace

void Driver::Click(Control& c) {
  SDL_Point p = Middle(c);
  ClickAt(p.x, p.y);
}

void Driver::ClickAt(int x, int y) {
  MouseDownAt(x, y);
  MouseUpAt(x, y);
}

void Driver::MouseDown(Control& c, int button) {
  SDL_Point p = Middle(c);
  MouseDownAt(p.x, p.y, button);
  MouseUpAt(p.x, p.y, button);
}

void Driver::MouseDownAt(int x, int y, int button) {
  Event([=] { vark::InputRouter::Get().MouseDown(x, y, SdlButton(button)); });
}

void Driver::MouseUpAt(int x, int y, int button) {
  Event([=] { vark::InputRouter::Get().MouseUp(x, y, SdlButton(button)); });
}

void Driver::MoveOver(Control& c) {
  SDL_Point p = Middle(c);
  MoveTo(p.x, p.y);
}

void Driver::MoveTo(int x, int y) {
  Event([=] { vark::InputRouter::Get().MouseMove(x, y); });
}

void Driver::Type(const std::string& utf8) {
  for (size_t i = 0; i < utf8.size();) {
    size_t len = 1;
    while (i + len < utf8.size() && (static_cast<unsigned char>(utf8[i + len]) & 0xC0) == 0x80) ++len;
    std::string ch = utf8.substr(i, len);
    i += len;
    Event([ch] { vark::InputRouter::Get().TextInput(ch); });
  }
}

void Driver::Press(SDL_Keycode key, uint16_t mod) {
  Event([=] { vark::InputRouter::Get().KeyDown(key, mod); });
}

void Driver::PressAt(SDL_Scancode scan, SDL_Keycode key, uint16_t mod) {
  Event([=] { vark::InputRouter::Get().KeyDown(key, mod, scan); });
}

namespace {
SDL_Event KeyEvent(SDL_Keycode key, bool down) {
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.type = e.type;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.keysym.sym = key;
  e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
  return e;
}
}  // namespace

void Driver::Hold(SDL_Keycode key) {
  Event([=] { vark::InputRouter::Get().HandleEvent(KeyEvent(key, true)); });
}

void Driver::Release(SDL_Keycode key) {
  Event([=] { vark::InputRouter::Get().HandleEvent(KeyEvent(key, false)); });
}

void Driver::PadButton(SDL_GameControllerButton button, bool down, int pad) {
  SDL_Event e{};
  e.type = down ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
  e.cbutton.type = e.type;
  e.cbutton.which = pad;
  e.cbutton.button = static_cast<Uint8>(button);
  e.cbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
  Event([=] { vark::InputRouter::Get().HandleEvent(e); });
}

void Driver::PadTap(SDL_GameControllerButton button, int pad) {
  PadButton(button, true, pad);
  PadButton(button, false, pad);
}

void Driver::PadAxis(SDL_GameControllerAxis axis, int value, int pad) {
  SDL_Event e{};
  e.type = SDL_CONTROLLERAXISMOTION;
  e.caxis.type = e.type;
  e.caxis.which = pad;
  e.caxis.axis = static_cast<Uint8>(axis);
  e.caxis.value = static_cast<Sint16>(value);
  Event([=] { vark::InputRouter::Get().HandleEvent(e); });
}

void Driver::Window(SDL_WindowEventID event) {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.event = static_cast<Uint8>(event);
  Event([e] { vark::InputRouter::Get().HandleEvent(e); });
}

void Driver::SoundDeviceRemoved() {
  SDL_Event e{};
  e.type = SDL_AUDIODEVICEREMOVED;
  e.adevice.type = e.type;
  e.adevice.which = 2;  // SDL numbers opened devices from 2
  e.adevice.iscapture = 0;
  Event([e] { vark::InputRouter::Get().HandleEvent(e); });
}

bool Driver::SaveScreen(const std::string& path) { return vark::Screen::Get().SavePng(path); }

uint32_t Driver::Pixel(int x, int y) { return vark::Screen::Get().PixelAt(x, y); }

void Driver::SetSetting(const std::string& key, const std::string& value) {
  SaveSettings(kGameApplication, kGameSection, {{key, value}});
  Options() = ReadGameOptions();
}

}  // namespace vark
