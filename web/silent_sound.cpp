// For now the page has no sound device: the game plays silently, as on a desktop without one.
#include "platform/sound/sdl_mixer_output.h"

namespace vark {

void OpenRealAudio() {}

}  // namespace vark
