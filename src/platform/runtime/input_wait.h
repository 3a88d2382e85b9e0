// Waiting for the next input event. On the desktop SDL waits in the window system
// (input_wait.cpp). In the browser the program must give the page back while it waits, or
// the page would stand still: the wait sleeps until the first input the page sees or the
// timeout, whichever comes first (input_wait_web.cpp).
#pragma once

union SDL_Event;

namespace vark {

// Takes the next input event into `e`, waiting at most `timeoutMs` (0: only what is
// already waiting). False when none came.
bool WaitForInput(SDL_Event& e, int timeoutMs);

}  // namespace vark
