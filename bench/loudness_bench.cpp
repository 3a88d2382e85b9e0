// Loudness figures, in LUFS (ITU-R BS.1770: K-weighted, gated), as the player hears them.
// First each sound file as decoded for the game. Then a minute of each screen: its tune
// looping with its effects at the pace of busy play, mixed the way the sound output mixes
// (every channel at kMixVolume, then the limiter), with the loudest sample and the count
// of samples at full scale. Every screen should sit within 3 LU of the others.
//
// Given a file, it reads a recording of the game's own output instead (raw signed 16-bit
// stereo at 22050 Hz, as SDL_AUDIODRIVER=disk writes it) and prints the same figures for
// each minute of it.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <numbers>
#include <numeric>
#include <string>
#include <vector>

#include "platform/sound/limiter.h"
#include "platform/sound/sound_decode.h"

namespace {

const std::string kSfx = std::string(VARK_GAME_DIR) + "/Sfx/";
const std::string kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
constexpr vark::PcmFormat kDevice{22050, 2};

// One second-order filter section.
struct Biquad {
  std::array<double, 3> b, a;
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  double Step(double x) {
    double y = b[0] * x + b[1] * x1 + b[2] * x2 - a[1] * y1 - a[2] * y2;
    x2 = x1, x1 = x, y2 = y1, y1 = y;
    return y;
  }
};

// The K-weighting of BS.1770 for any sample rate: a high shelf (+4 dB above ~1.7 kHz)
// and a high pass at ~38 Hz.
std::array<Biquad, 2> KWeighting(double rate) {
  double k = std::tan(std::numbers::pi * 1681.974450955533 / rate), q = 0.7071752369554196;
  double vh = std::pow(10, 3.999843853973347 / 20), vb = std::pow(vh, 0.4996667741545416);
  double a0 = 1 + k / q + k * k;
  Biquad shelf{{(vh + vb * k / q + k * k) / a0, 2 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0},
               {1, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0}};
  k = std::tan(std::numbers::pi * 38.13547087602444 / rate), q = 0.5003270373238773;
  a0 = 1 + k / q + k * k;
  Biquad pass{{1, -2, 1}, {1, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0}};
  return {shelf, pass};
}

double Lufs(double power) { return -0.691 + 10 * std::log10(std::max(power, 1e-12)); }

struct Figures {
  double lufs = -70;
  double peak_db = -120;
  long full_scale = 0;
};

// Integrated loudness of interleaved stereo samples: 400 ms blocks every 100 ms, gated
// at -70 LUFS and then at 10 LU under the mean of what passed.
Figures Measure(const std::vector<int16_t>& samples) {
  Figures f;
  std::array<std::array<Biquad, 2>, 2> filters = {KWeighting(kDevice.rate), KWeighting(kDevice.rate)};
  size_t frames = samples.size() / 2;
  std::vector<double> step_power;  // K-weighted power summed over both channels, per 100 ms
  const size_t step = kDevice.rate / 10;
  double sum = 0;
  int peak = 0;
  for (size_t i = 0; i < frames; ++i) {
    for (int c = 0; c < 2; ++c) {
      int v = samples[2 * i + c];
      peak = std::max(peak, std::abs(v));
      f.full_scale += std::abs(v) >= 32767;
      double y = filters[c][1].Step(filters[c][0].Step(v / 32768.0));
      sum += y * y;
    }
    if ((i + 1) % step == 0) step_power.push_back(sum / step), sum = 0;
  }
  f.peak_db = 20 * std::log10(std::max(peak, 1) / 32768.0);
  std::vector<double> blocks;
  for (size_t i = 3; i < step_power.size(); ++i)
    blocks.push_back((step_power[i] + step_power[i - 1] + step_power[i - 2] + step_power[i - 3]) / 4);
  auto gated_mean = [&](double gate) {
    double total = 0;
    int count = 0;
    for (double p : blocks)
      if (Lufs(p) > gate) total += p, ++count;
    return count ? total / count : 0.0;
  };
  if (blocks.empty()) {  // shorter than one block: the loudness of the whole sound
    f.lufs = Lufs(std::accumulate(step_power.begin(), step_power.end(), sum / step) / (step_power.size() + 1));
    return f;
  }
  double relative_gate = Lufs(gated_mean(-70)) - 10;
  f.lufs = Lufs(gated_mean(relative_gate));
  return f;
}

std::map<std::string, std::vector<int16_t>> decoded;

const std::vector<int16_t>& Decoded(const std::string& name) {
  auto it = decoded.find(name);
  if (it != decoded.end()) return it->second;
  std::atomic<bool> never{false};
  return decoded[name] = vark::DecodeSoundFile(kSfx + name, kDevice, kSoundFont, never).samples;
}

// An effect heard every `every` seconds from `first` on, `together` copies at once.
struct Pace {
  std::string file;
  double first, every;
  int together = 1;
};

struct Screen {
  std::string name, tune;
  std::vector<Pace> effects;
};

// A minute of a screen, mixed as the sound output mixes it: the tune restarting as soon as
// it ends, each effect added where it starts, every channel at kMixVolume with the sum
// clamped, then the limiter.
std::vector<int16_t> PlayMinute(const Screen& screen) {
  const size_t frames = 60 * kDevice.rate;
  std::vector<int> mix(2 * frames, 0);
  auto add = [&](const std::vector<int16_t>& sound, size_t at) {
    for (size_t i = 0; i < sound.size() && 2 * at + i < mix.size(); ++i) mix[2 * at + i] += sound[i];
  };
  const std::vector<int16_t>& tune = Decoded(screen.tune);
  for (size_t at = 0; !tune.empty() && at < frames; at += tune.size() / 2) add(tune, at);
  for (const Pace& pace : screen.effects)
    for (double t = pace.first; t < 60; t += pace.every)
      for (int i = 0; i < pace.together; ++i) add(Decoded(pace.file), static_cast<size_t>(t * kDevice.rate));
  std::vector<int16_t> out(mix.size());
  for (size_t i = 0; i < mix.size(); ++i)
    out[i] = static_cast<int16_t>(std::clamp(mix[i] * vark::kMixVolume / 128, -32768, 32767));
  vark::Limiter limiter(kDevice.rate, kDevice.channels);
  limiter.Process(out.data(), out.size());
  return out;
}

void Print(const std::string& what, const Figures& f) {
  std::printf("%-22s %8.1f %9.1f %11ld\n", what.c_str(), f.lufs, f.peak_db, f.full_scale);
}

void DescribeFilesAndScreens() {
  std::printf("%-22s %8s %9s %11s\n", "file", "LUFS", "peak dB", "full-scale");
  for (const char* name : {"Click.wav", "Open.wav", "caco_alert.wav", "explosion3.wav", "Shoot.wav", "Arrgh.wav",
                           "Track1.mid", "Track2.mid", "Track3.mid", "Track4.mid", "Intro.mp3"})
    Print(name, Measure(Decoded(name)));
  // Busy play: the menus clicked through, the shooter firing three times a second with a
  // hit for every other shot and a monster's growl every second and a half (recorded
  // play-throughs to level 7 measured within 0.3 LU of it), a quiz answer every few
  // seconds, a tile a second.
  const std::vector<Screen> screens = {
      {"menu", "Track1.mid", {{"Click.wav", 2, 4}, {"Open.wav", 5, 12}}},
      {"episodes", "Track2.mid", {{"Click.wav", 3, 5}, {"Open.wav", 8, 15}}},
      {"shooter",
       "Track3.mid",
       {{"explosion3.wav", 1, 0.3}, {"explosion3.wav", 1.15, 0.6}, {"caco_alert.wav", 0.2, 1.5}}},
      {"quiz", "Track4.mid", {{"Shoot.wav", 6, 8}, {"Arrgh.wav", 10, 24}}},
      {"memory", "Track4.mid", {{"explosion3.wav", 1.5, 1.2}, {"Arrgh.wav", 20, 30}}},
      {"intro", "Intro.mp3", {}},
  };
  std::printf("\n%-22s %8s %9s %11s\n", "a minute of", "LUFS", "peak dB", "full-scale");
  double quietest = 0, loudest = -100;
  for (const Screen& screen : screens) {
    Figures f = Measure(PlayMinute(screen));
    Print(screen.name, f);
    quietest = std::min(quietest, f.lufs), loudest = std::max(loudest, f.lufs);
  }
  std::printf("screens span %.1f LU\n", loudest - quietest);
}

void DescribeRecording(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<int16_t> minute(60 * kDevice.rate * 2);
  std::printf("%-22s %8s %9s %11s\n", path, "LUFS", "peak dB", "full-scale");
  for (int n = 1; in; ++n) {
    in.read(reinterpret_cast<char*>(minute.data()), static_cast<std::streamsize>(minute.size() * sizeof(int16_t)));
    minute.resize(static_cast<size_t>(in.gcount()) / sizeof(int16_t));
    if (minute.size() < 2 * size_t(kDevice.rate)) break;
    Print("minute " + std::to_string(n), Measure(minute));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) DescribeRecording(argv[1]);
  else DescribeFilesAndScreens();
  return 0;
}
