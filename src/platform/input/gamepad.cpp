#include "platform/input/gamepad.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <string>

#include "platform/base/owned.h"
#include "platform/base/run_state.h"
#include "platform/files/plain_file.h"
#include "platform/forms/form.h"
#include "platform/input/input_router.h"
#include "platform/runtime/timer.h"

namespace vark {
namespace {

// A stick pushed past this share of its travel is a direction for moving the focus.
constexpr double kNavigationThreshold = 0.5;
// Below this share a stick is at rest for steering (sticks never centre exactly).
constexpr double kSteeringDeadZone = 0.2;
// A trigger counts as pulled above the first share and let go below the second.
constexpr int kTriggerPulled = 16000;
constexpr int kTriggerReleased = 8000;
// A held direction repeats after a pause, then steadily, like a held key.
constexpr int kFirstRepeatMs = 400;
constexpr int kRepeatMs = 120;

struct Pad {
  OwnedController handle;  // empty for a controller the game did not open (tests)
  double stickX = 0, stickY = 0;
  SDL_Keycode stickArrow = SDLK_UNKNOWN;  // the arrow the stick holds now
  int dpadX = 0;                          // -1 left, 1 right held on the D-pad
  bool triggerPulled[2] = {false, false};
};

struct State {
  // The repeat timer must not outlive the run's timer list: asking for the list first
  // makes it the older of the two.
  State() { CurrentRun().Get<TimerList>(); }
  std::map<SDL_JoystickID, Pad> pads;
  bool leftKey = false, rightKey = false;
  SDL_Keycode repeating = SDLK_UNKNOWN;
  std::unique_ptr<Timer> repeat;
};

State& Pads() { return CurrentRun().Get<State>(); }

double Axis(Sint16 value) { return std::clamp(value / 32767.0, -1.0, 1.0); }

void SendKey(SDL_Keycode key) { InputRouter::Get().KeyDown(key, 0); }

void RepeatTick() {
  State& s = Pads();
  if (s.repeating == SDLK_UNKNOWN) return;
  s.repeat->SetInterval(kRepeatMs);
  SendKey(s.repeating);
}

// A direction came on: its arrow now, then again while it is held.
void HoldArrow(SDL_Keycode arrow) {
  State& s = Pads();
  if (!s.repeat) s.repeat = std::make_unique<Timer>("ControllerRepeat", 0, RepeatTick);
  s.repeating = arrow;
  s.repeat->SetInterval(kFirstRepeatMs);
  SendKey(arrow);
}

void ReleaseArrow(SDL_Keycode arrow) {
  State& s = Pads();
  if (s.repeating != arrow) return;
  s.repeating = SDLK_UNKNOWN;
  s.repeat->SetInterval(0);
}

// Start pauses a screen played against the clock (one that also pauses while the player is
// away); elsewhere it leaves, as B does.
SDL_Keycode StartKey() {
  const Form* front = Forms::Active();
  return front && front->PausesWhileAway() ? SDLK_PAUSE : SDLK_ESCAPE;
}

SDL_Keycode KeyForButton(uint8_t button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_A:
    case SDL_CONTROLLER_BUTTON_X:
    case SDL_CONTROLLER_BUTTON_Y: return SDLK_RETURN;
    case SDL_CONTROLLER_BUTTON_B: return SDLK_ESCAPE;
    case SDL_CONTROLLER_BUTTON_START: return StartKey();
    case SDL_CONTROLLER_BUTTON_BACK: return SDLK_AUDIOMUTE;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return SDLK_PAGEUP;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: return SDLK_PAGEDOWN;
    default: return SDLK_UNKNOWN;
  }
}

SDL_Keycode ArrowForButton(uint8_t button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return SDLK_LEFT;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return SDLK_RIGHT;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return SDLK_UP;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return SDLK_DOWN;
    default: return SDLK_UNKNOWN;
  }
}

void Button(Pad& pad, uint8_t button, bool down) {
  if (SDL_Keycode arrow = ArrowForButton(button)) {
    if (arrow == SDLK_LEFT || arrow == SDLK_RIGHT) pad.dpadX = down ? (arrow == SDLK_LEFT ? -1 : 1) : 0;
    if (down) HoldArrow(arrow);
    else ReleaseArrow(arrow);
    return;
  }
  SDL_Keycode key = KeyForButton(button);
  if (down && key != SDLK_UNKNOWN) SendKey(key);
}

// The stick's direction for moving the focus: the axis pushed further, once past the
// threshold.
SDL_Keycode StickArrow(const Pad& pad) {
  double ax = std::abs(pad.stickX), ay = std::abs(pad.stickY);
  if (std::max(ax, ay) < kNavigationThreshold) return SDLK_UNKNOWN;
  if (ax >= ay) return pad.stickX < 0 ? SDLK_LEFT : SDLK_RIGHT;
  return pad.stickY < 0 ? SDLK_UP : SDLK_DOWN;
}

void Stick(Pad& pad) {
  SDL_Keycode arrow = StickArrow(pad);
  if (arrow == pad.stickArrow) return;
  if (pad.stickArrow != SDLK_UNKNOWN) ReleaseArrow(pad.stickArrow);
  pad.stickArrow = arrow;
  if (arrow != SDLK_UNKNOWN) HoldArrow(arrow);
}

void Trigger(Pad& pad, int which, Sint16 value) {
  bool& pulled = pad.triggerPulled[which];
  if (!pulled && value >= kTriggerPulled) {
    pulled = true;
    SendKey(SDLK_SPACE);
  } else if (pulled && value < kTriggerReleased) {
    pulled = false;
  }
}

void AxisMotion(Pad& pad, const SDL_ControllerAxisEvent& e) {
  switch (e.axis) {
    case SDL_CONTROLLER_AXIS_LEFTX:
      pad.stickX = Axis(e.value);
      Stick(pad);
      break;
    case SDL_CONTROLLER_AXIS_LEFTY:
      pad.stickY = Axis(e.value);
      Stick(pad);
      break;
    case SDL_CONTROLLER_AXIS_TRIGGERLEFT: Trigger(pad, 0, e.value); break;
    case SDL_CONTROLLER_AXIS_TRIGGERRIGHT: Trigger(pad, 1, e.value); break;
    default: break;
  }
}

void Added(int deviceIndex) {
  OwnedController handle(SDL_GameControllerOpen(deviceIndex));
  if (!handle) {
    std::cerr << "vark: cannot open game controller " << deviceIndex << ": " << SDL_GetError() << "\n";
    return;
  }
  SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(handle.get()));
  Pads().pads[id].handle = std::move(handle);
}

void Removed(SDL_JoystickID id) {
  State& s = Pads();
  auto it = s.pads.find(id);
  if (it == s.pads.end()) return;
  if (it->second.stickArrow != SDLK_UNKNOWN) ReleaseArrow(it->second.stickArrow);
  s.pads.erase(it);
}

// Reads a file of controller mappings as any file a player may swap: only a plain file, of
// at most 1 MB (SDL's own database is a few hundred kB).
void AddMappingsFrom(const std::string& file) {
  constexpr size_t kMaxMappingBytes = size_t{1} << 20;
  if (file.empty()) return;
  std::string problem;
  auto text = ReadPlainFile(file, kMaxMappingBytes, problem);
  if (!text) {
    std::cerr << "vark: controller mappings " << file << " are not read: " << problem << "\n";
    return;
  }
  if (SDL_GameControllerAddMappingsFromRW(SDL_RWFromConstMem(text->data(), static_cast<int>(text->size())), 1) < 0)
    std::cerr << "vark: cannot read controller mappings " << file << ": " << SDL_GetError() << "\n";
}

double StickSteer(double x) {
  double travel = (std::abs(x) - kSteeringDeadZone) / (1 - kSteeringDeadZone);
  return travel <= 0 ? 0 : std::copysign(travel, x);
}

}  // namespace

bool InitControllers() {
  // SDL would read the file its own variable names as it starts, blocking on a named pipe
  // and reading any size: the game reads that file itself, as it reads its own variable's.
  const char* sdlFile = std::getenv("SDL_GAMECONTROLLERCONFIG_FILE");
  const std::string sdlMappings = sdlFile ? sdlFile : "";
  SDL_SetHintWithPriority(SDL_HINT_GAMECONTROLLERCONFIG_FILE, "", SDL_HINT_OVERRIDE);
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
    std::cerr << "vark: game controllers unavailable: " << SDL_GetError() << "\n";
    return false;
  }
  AddMappingsFrom(sdlMappings);
  if (const char* db = std::getenv("SDL_GameControllerDB")) AddMappingsFrom(db);
  return true;
}

void ShutdownControllers() {
  Pads().pads.clear();
  Pads().repeat.reset();
  if (SDL_WasInit(SDL_INIT_GAMECONTROLLER)) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool HandleControllerEvent(const SDL_Event& e) {
  State& s = Pads();
  switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED: Added(e.cdevice.which); return true;
    case SDL_CONTROLLERDEVICEREMOVED: Removed(e.cdevice.which); return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      Button(s.pads[e.cbutton.which], e.cbutton.button, e.type == SDL_CONTROLLERBUTTONDOWN);
      return true;
    case SDL_CONTROLLERAXISMOTION: AxisMotion(s.pads[e.caxis.which], e.caxis); return true;
    default: return false;
  }
}

void SteerWithKeyboard(const SDL_KeyboardEvent& key) {
  bool down = key.type == SDL_KEYDOWN;
  if (key.keysym.scancode == SDL_SCANCODE_LEFT) Pads().leftKey = down;
  if (key.keysym.scancode == SDL_SCANCODE_RIGHT) Pads().rightKey = down;
}

int OpenControllers() {
  int open = 0;
  for (const auto& [id, pad] : Pads().pads) open += pad.handle ? 1 : 0;
  return open;
}

double SteerX() {
  const State& s = Pads();
  double x = (s.rightKey ? 1 : 0) - (s.leftKey ? 1 : 0);
  for (const auto& [id, pad] : s.pads) x += pad.dpadX + StickSteer(pad.stickX);
  return std::clamp(x, -1.0, 1.0);
}

}  // namespace vark
