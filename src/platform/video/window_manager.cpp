#include "platform/video/window_manager.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/scrnsaver.h>

#include <algorithm>
#include <iostream>
#include <memory>
#include <string_view>
#include <utility>

#include "platform/base/run_state.h"
#include "platform/video/window_place.h"

namespace vark {
namespace {

// The window a window's _NET_SUPPORTING_WM_CHECK names, or None.
Window CheckWindowOf(Display* display, Window window, Atom check) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  Window named = None;
  if (XGetWindowProperty(display, window, check, 0, 1, False, XA_WINDOW, &type, &format, &count, &after, &data) ==
          Success &&
      type == XA_WINDOW && format == 32 && count == 1)
    named = *reinterpret_cast<Window*>(data);
  if (data) XFree(data);
  return named;
}

int IgnoreError(Display*, XErrorEvent*) { return 0; }

}  // namespace

// A running window manager names its check window on the root window
// (_NET_SUPPORTING_WM_CHECK), and the check window names itself, as the desktop standards
// ask. A window manager that died leaves the root's name behind, naming a window that is
// gone: asking that window then fails, and the error is passed over.
bool WindowManagerRuns(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
    const char* driver = SDL_GetCurrentVideoDriver();
    return !driver || std::string_view(driver) != "offscreen";  // an offscreen window has nobody
  }
  Display* display = info.info.x11.display;
  Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
  if (check == None) return false;
  Window named = CheckWindowOf(display, DefaultRootWindow(display), check);
  if (named == None) return false;
  XSync(display, False);
  auto previous = XSetErrorHandler(IgnoreError);
  Window itself = CheckWindowOf(display, named, check);
  XSync(display, False);
  XSetErrorHandler(previous);
  return itself == named;
}

std::vector<SDL_Rect> MonitorsShown(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  std::vector<SDL_Rect> shown;
  if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return shown;
  Display* display = info.info.x11.display;
  int eventBase = 0, errorBase = 0;
  if (!XRRQueryExtension(display, &eventBase, &errorBase)) return shown;
  int count = 0;
  XRRMonitorInfo* monitors = XRRGetMonitors(display, DefaultRootWindow(display), True, &count);
  for (int i = 0; monitors && i < count; ++i)
    shown.push_back(SDL_Rect{monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height});
  if (monitors) XRRFreeMonitors(monitors);
  return shown;
}

namespace {

// A window's property of 32-bit items of a type, or nothing.
std::vector<unsigned long> Property(Display* display, Window window, const char* name, Atom type, long most) {
  std::vector<unsigned long> items;
  Atom property = XInternAtom(display, name, True), actual = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (property != None &&
      XGetWindowProperty(display, window, property, 0, most, False, type, &actual, &format, &count, &after, &data) ==
          Success &&
      actual == type && format == 32)
    items.assign(reinterpret_cast<unsigned long*>(data), reinterpret_cast<unsigned long*>(data) + count);
  if (data) XFree(data);
  return items;
}

}  // namespace

std::optional<SDL_Rect> AreaNoPanelCovers(const SDL_Rect& monitor) {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || std::string_view(driver) != "x11") return std::nullopt;
  std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr), XCloseDisplay);
  if (!display) return std::nullopt;
  Window root = DefaultRootWindow(display.get());
  std::vector<unsigned long> clients = Property(display.get(), root, "_NET_CLIENT_LIST", XA_WINDOW, 4096);
  if (clients.empty()) return std::nullopt;
  const long rootW = DisplayWidth(display.get(), DefaultScreen(display.get()));
  const long rootH = DisplayHeight(display.get(), DefaultScreen(display.get()));
  SDL_Rect area = monitor;
  // A window listed may be gone by the time it is asked: that error is passed over.
  XSync(display.get(), False);
  auto previous = XSetErrorHandler(IgnoreError);
  for (unsigned long client : clients) {
    std::vector<unsigned long> items = Property(display.get(), client, "_NET_WM_STRUT_PARTIAL", XA_CARDINAL, 12);
    if (items.size() != 12) {
      // The older form reserves a band along the whole edge.
      items = Property(display.get(), client, "_NET_WM_STRUT", XA_CARDINAL, 4);
      if (items.size() != 4) continue;
      const unsigned long w = static_cast<unsigned long>(rootW), h = static_cast<unsigned long>(rootH);
      items.insert(items.end(), {0, h, 0, h, 0, w, 0, w});
    }
    PanelStrut strut{};
    std::transform(items.begin(), items.end(), strut.begin(), [](unsigned long v) { return static_cast<long>(v); });
    area = AreaLeftByPanel(area, strut, rootW, rootH);
  }
  XSync(display.get(), False);
  XSetErrorHandler(previous);
  return area;
}

bool MonitorsChanged(const SDL_SysWMmsg& message) {
  if (message.subsystem != SDL_SYSWM_X11) return false;
  const XEvent& event = message.msg.x11.event;
  int eventBase = 0, errorBase = 0;
  if (!XRRQueryExtension(event.xany.display, &eventBase, &errorBase)) return false;
  return event.type == eventBase + RRNotify || event.type == eventBase + RRScreenChangeNotify;
}

void LetXScreenSaverRun(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
  int event = 0, error = 0;
  if (!XScreenSaverQueryExtension(info.info.x11.display, &event, &error)) return;
  XScreenSaverSuspend(info.info.x11.display, False);
  XFlush(info.info.x11.display);
}

namespace {

// The game's window on X and the error handler that was there before the game's, which
// is put back when the run ends. Xlib reports errors on the thread that made the call,
// the game's, so the handler may ask the run.
struct WatchedWindow {
  ~WatchedWindow() {
    if (watching) XSetErrorHandler(previous);
  }
  Display* display = nullptr;
  Window window = None;
  XErrorHandler previous = nullptr;
  bool watching = false;
  bool gone = false;
};

// Errors about the game's window when it is gone ("no such window", or "no such drawable"
// for a picture shown into it before the news came) are passed over: the news that it was
// destroyed comes as an event (WindowDestroyedBy).
int OnXError(Display* display, XErrorEvent* error) {
  WatchedWindow& watched = CurrentRun().Get<WatchedWindow>();
  bool gone = error->error_code == BadWindow || error->error_code == BadDrawable;
  if (watched.window != None && error->resourceid == watched.window && gone) return 0;
  return watched.previous ? watched.previous(display, error) : 0;
}

}  // namespace

void HearXErrorsFirst() {
  WatchedWindow& watched = CurrentRun().Get<WatchedWindow>();
  if (!std::exchange(watched.watching, true)) watched.previous = XSetErrorHandler(OnXError);
}

void EndGameWhenWindowDestroyed(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
  HearXErrorsFirst();
  WatchedWindow& watched = CurrentRun().Get<WatchedWindow>();
  watched.display = info.info.x11.display;
  watched.window = info.info.x11.window;
  watched.gone = false;
}

bool WindowDestroyedBy(const SDL_SysWMmsg& message) {
  if (message.subsystem != SDL_SYSWM_X11 || message.msg.x11.event.type != DestroyNotify) return false;
  WatchedWindow& watched = CurrentRun().Get<WatchedWindow>();
  if (watched.window == None || message.msg.x11.event.xdestroywindow.window != watched.window) return false;
  watched.gone = true;
  return true;
}

void BeforeDestroyingWindow() {
  WatchedWindow& watched = CurrentRun().Get<WatchedWindow>();
  if (!watched.gone || !watched.display) return;
  XEvent unmapped{};
  unmapped.xunmap.type = UnmapNotify;
  unmapped.xunmap.display = watched.display;
  unmapped.xunmap.event = watched.window;
  unmapped.xunmap.window = watched.window;
  XPutBackEvent(watched.display, &unmapped);
}

// The window's number stays known: errors about it may still come in until SDL closes its
// connections.
void WindowDestroyed() {
  WatchedWindow& watched = CurrentRun().Get<WatchedWindow>();
  if (watched.display) XSync(watched.display, False);
  watched.display = nullptr;
}

}  // namespace vark
