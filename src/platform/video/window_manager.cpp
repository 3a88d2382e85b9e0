#include "platform/video/window_manager.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

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
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return true;
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

}  // namespace vark
