// The real sound output: SDL_mixer on the machine's sound device, with the limiter on the
// finished mix, opened again when the device goes away and comes back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/sound/tune_work.h"

namespace vark {

// Hears every finished buffer of the mix on the mixing thread (tests and measurements).
using MixWatcher = std::function<void(const int16_t* samples, size_t count)>;

// Opens the sound device with SDL_mixer and makes it the channels' backend; without one
// the game stays silent. When the device is lost later, it is opened again at once and
// then every 2 s until it is back, in the format it had before (so every decoded sound
// still fits it). Meanwhile sound stands still: what was playing, and what is asked to
// play, goes on from where it stood. The output rests while nothing plays. Tunes are
// decoded by a worker thread, or by the game's thread between events where there are no
// threads.
void OpenRealAudio(TuneWork::Driver driver = TuneWork::kThisBuild, MixWatcher watcher = {});

}  // namespace vark
