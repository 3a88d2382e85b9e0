// Sound figures. First, how long single channel calls (play an effect, stop a channel) take
// on the calling thread while every tune is measured in the background: the game's thread
// must never wait for the tunes' worker. Then, for each sound file, its decoded length, peak and
// loudness, and how many samples reach full scale. Run from anywhere; uses the generated
// data folder.
#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/sound/media.h"
#include "platform/sound/mixer_backend.h"
#include "platform/sound/sdl_mixer_output.h"
#include "platform/sound/sound_decode.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::string kSfx = std::string(VARK_GAME_DIR) + "/Sfx/";
const std::vector<std::string> kTunes = {"Track1.mid", "Track2.mid", "Track3.mid", "Track4.mid", "Intro.mp3"};
const std::vector<std::string> kEffects = {"Click.wav",      "Open.wav",  "caco_alert.wav",
                                           "explosion3.wav", "Shoot.wav", "Arrgh.wav"};

double Decibels(double level) { return 20 * std::log10(std::max(level, 1.0) / 32768); }

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void MeasureCallsWhileDecoding() {
  vark::OpenRealAudio();
  auto* mixer = dynamic_cast<vark::MixerBackend*>(&vark::Audio());
  if (!mixer) {
    std::printf("no sound device\n");
    return;
  }
  int channel = mixer->OpenChannel();
  mixer->Play(channel, kSfx + "Click.wav");  // the effect's own decoding is not a tune's
  mixer->Stop(channel);
  auto started = Clock::now();
  for (const std::string& tune : kTunes) mixer->Prepare(kSfx + tune);
  std::atomic<bool> decoding{true};
  std::thread watcher([&] {
    mixer->Tunes().WaitUntilSettled();
    decoding = false;
  });
  std::vector<double> calls;
  while (decoding) {
    for (int i = 0; i < 2; ++i) {
      auto before = Clock::now();
      if (i == 0) mixer->Play(channel, kSfx + "Click.wav");
      else mixer->Stop(channel);
      calls.push_back(Milliseconds(Clock::now() - before));
    }
    mixer->Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  watcher.join();
  std::sort(calls.begin(), calls.end());
  std::printf("all tunes measured in %.1f s; %zu calls on this thread meanwhile: longest %.3f ms, median %.3f ms\n",
              Milliseconds(Clock::now() - started) / 1000, calls.size(), calls.back(), calls[calls.size() / 2]);
  vark::SetAudioBackend(nullptr);
  Mix_CloseAudio();
}

void DescribeSounds() {
  std::printf("%-16s %8s %9s %11s %11s\n", "file", "seconds", "peak dB", "loudness dB", "full-scale");
  std::atomic<bool> never{false};
  std::vector<std::string> files = kEffects;
  files.insert(files.end(), kTunes.begin(), kTunes.end());
  for (const std::string& name : files) {
    vark::PcmFormat device;
    vark::Samples samples =
        vark::DecodeSoundFile(kSfx + name, device, "/usr/share/sounds/sf2/TimGM6mb.sf2", never).samples;
    int peak = 0, full = 0;
    double squares = 0;
    for (int16_t s : samples) {
      int magnitude = std::abs(static_cast<int>(s));
      peak = std::max(peak, magnitude);
      full += magnitude >= 32767;
      squares += static_cast<double>(magnitude) * magnitude;
    }
    double loudness = samples.empty() ? 0 : std::sqrt(squares / samples.size());
    std::printf("%-16s %8.2f %9.1f %11.1f %11d\n", name.c_str(), samples.size() / double(device.rate * device.channels),
                Decibels(peak), Decibels(loudness), full);
  }
}

long PeakMemoryKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

}  // namespace

int main() {
  SDL_setenv("SDL_AUDIODRIVER", "dummy", 0);
  MeasureCallsWhileDecoding();
  DescribeSounds();
  std::printf("peak resident memory %ld kB\n", PeakMemoryKb());
  return 0;
}
