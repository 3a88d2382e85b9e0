// Sound effects, synthesised sample by sample: a UI click, a soft "no" for
// cancel and errors, the flying monster's growl, a bright impact burst, the
// cannon's shot, a dying cry and the shooter's alarm. Noise comes from a seeded generator, so every
// run is identical. Every effect peaks at half of full scale (-6 dBFS), which
// leaves room for effects and music to sound together without clipping.
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "generators.h"
#include "platform/base/byte_order.h"
#include "rng.h"
#include "wave.h"

namespace assetgen {

using vark::PutLittleEndian;

std::string EncodeWav(const std::vector<int16_t>& samples, int channels, int rate) {
  std::string out = "RIFF";
  uint32_t data_bytes = static_cast<uint32_t>(samples.size() * 2);
  PutLittleEndian(out, 36 + data_bytes, 4);
  out += "WAVEfmt ";
  PutLittleEndian(out, 16, 4);
  PutLittleEndian(out, 1, 2);  // PCM
  PutLittleEndian(out, channels, 2);
  PutLittleEndian(out, rate, 4);
  PutLittleEndian(out, rate * channels * 2, 4);
  PutLittleEndian(out, channels * 2, 2);
  PutLittleEndian(out, 16, 2);
  out += "data";
  PutLittleEndian(out, data_bytes, 4);
  for (int16_t s : samples) PutLittleEndian(out, static_cast<uint16_t>(s), 2);
  return out;
}

namespace {

constexpr int kRate = 22050;
constexpr double kDt = 1.0 / kRate;

// Second-order resonant band-pass (constant peak gain), retunable per sample.
class BandPass {
 public:
  double Run(double x, double freq, double q) {
    double w = 2 * M_PI * freq / kRate, alpha = std::sin(w) / (2 * q), a0 = 1 + alpha;
    double b0 = alpha / a0, a1 = -2 * std::cos(w) / a0, a2 = (1 - alpha) / a0;
    double y = b0 * x - b0 * x2_ - a1 * y1_ - a2 * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
  }

 private:
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

class LowPass {
 public:
  double Run(double x, double cutoff) {
    double a = 1 - std::exp(-2 * M_PI * cutoff / kRate);
    y_ += a * (x - y_);
    return y_;
  }

 private:
  double y_ = 0;
};

constexpr double kEffectPeak = 0.5;

// Renders `seconds` of sound from a per-sample function of time and saves it
// normalised to kEffectPeak.
void SaveEffect(Output& out, const std::string& name, double seconds, const std::function<double(double)>& voice) {
  std::vector<double> wave(static_cast<size_t>(seconds * kRate));
  for (size_t i = 0; i < wave.size(); ++i) wave[i] = voice(i * kDt);
  double peak = 1e-9;
  for (double s : wave) peak = std::max(peak, std::abs(s));
  std::vector<int16_t> pcm(wave.size());
  for (size_t i = 0; i < wave.size(); ++i) {
    double fade = std::min(1.0, (wave.size() - i) / 64.0);  // no click at the very end
    pcm[i] = static_cast<int16_t>(std::lround(wave[i] / peak * kEffectPeak * fade * 32767));
  }
  out.SaveBytes("Sfx/" + name, EncodeWav(pcm, 1, kRate));
}

double Saw(double phase) { return 2 * (phase - std::floor(phase)) - 1; }

void Click(Output& out) {
  Rng rng(901);
  SaveEffect(out, "Click.wav", 0.05, [&](double t) {
    double tick = t < 0.002 ? rng.Range(-1, 1) : 0;
    return tick * 0.6 + std::sin(2 * M_PI * 2300 * t) * std::exp(-t / 0.006) +
           0.4 * std::sin(2 * M_PI * 1150 * t) * std::exp(-t / 0.012);
  });
}

// A soft refusal: two muted, rounded notes falling a minor third ("uh-uh").
void Refusal(Output& out) {
  LowPass mellow;
  SaveEffect(out, "Open.wav", 0.36, [&](double t) {
    auto note = [&](double start, double length, double f) {
      double s = t - start;
      if (s < 0 || s > length) return 0.0;
      double env = std::min(s / 0.012, 1.0) * std::exp(-s / 0.07) * std::min((length - s) / 0.04, 1.0);
      return (std::sin(2 * M_PI * f * s) + 0.25 * std::sin(4 * M_PI * f * s)) * env;
    };
    return mellow.Run(note(0.0, 0.15, 330) + note(0.17, 0.19, 277), 1200);
  });
}

// A monster's growl as it fires: a rough low voice that rises and falls once. It is
// heard at every monster's shot, which on the late levels comes more than once a second,
// so it is over in about half a second.
void Growl(Output& out) {
  Rng rng(903);
  BandPass low, high;
  double phase = 0;
  SaveEffect(out, "caco_alert.wav", 0.55, [&](double t) {
    double f = 85 + 35 * std::sin(2 * M_PI * 1.8 * t) + 6 * std::sin(2 * M_PI * 23 * t);
    phase += f * kDt;
    double source = Saw(phase) + 0.35 * rng.Range(-1, 1);
    double env = std::min(t / 0.04, 1.0) * std::exp(-std::max(0.0, t - 0.28) / 0.09);
    return (low.Run(source, 450, 4) + 0.7 * high.Run(source, 1100, 6)) * env;
  });
}

// A bright burst for a shot's impact and for a teleporter tile turning: a crack of
// high noise whose colour falls from a hiss to a snap, a quick zing gliding down an
// octave over it, a light pop, and under them a short thump falling from 110 to 50 Hz
// that gives the burst its body (about four fifths of its energy lies below 150 Hz, as
// in a real blast) without making it boom: the ear hears the crack on top. The thump
// swells over 12 ms, so its crest comes after the crack's and the burst keeps the
// loudness it had without it (-24.5 LUFS, was -24.3). It is over within a
// quarter of a second, so the channels that take turns playing it are free again quickly.
// The layers are mixed lightly rather than driven into the curve: at the same peak a
// denser burst sounds louder, and rapid fire in the shooter would then stand 4 LU above
// the other screens.
void Explosion(Output& out) {
  Rng rng(904);
  BandPass crack, sparkle;
  double zing = 0, thump = 0;
  constexpr double kLength = 0.24;
  constexpr double kBody = 0.85;
  constexpr double kBodyRise = 0.012;
  SaveEffect(out, "explosion3.wav", kLength, [&](double t) {
    double attack = std::min(t / 0.001, 1.0);
    double noise = rng.Range(-1, 1);
    double hiss = crack.Run(noise, 1800 + 5200 * std::exp(-t / 0.03), 1.1) * std::exp(-t / 0.03);
    double glitter = sparkle.Run(noise, 7500, 3) * std::exp(-t / 0.02);
    zing += (1500 * std::exp(-t / 0.09) + 650) * kDt;
    double tone = (std::sin(2 * M_PI * zing) + 0.3 * std::sin(6 * M_PI * zing)) * std::exp(-t / 0.045);
    double pop = std::sin(2 * M_PI * (260 * t - 300 * t * t)) * std::exp(-t / 0.025);
    thump += (50 + 60 * std::exp(-t / 0.05)) * kDt;
    double body = std::sin(2 * M_PI * thump) * std::min(t / kBodyRise, 1.0) * std::exp(-t / 0.07);
    double tail = std::min((kLength - t) / 0.04, 1.0);
    return attack * (std::tanh(1.2 * hiss + 0.45 * glitter + 0.25 * tone + 0.22 * pop) + kBody * body) * tail;
  });
}

void Shoot(Output& out) {
  Rng rng(905);
  double phase = 0;
  SaveEffect(out, "Shoot.wav", 0.28, [&](double t) {
    double f = 180 + 1300 * std::exp(-t / 0.05);
    phase += f * kDt;
    double square = (phase - std::floor(phase)) < 0.5 ? 1 : -1;
    double zap = (0.6 * square + 0.4 * Saw(phase * 0.5)) * std::exp(-t / 0.09);
    return zap + rng.Range(-1, 1) * 0.4 * std::exp(-t / 0.015);
  });
}

// A dying cry: a voice gliding down while its vowel darkens from "a" to "o".
void Cry(Output& out) {
  Rng rng(906);
  BandPass f1, f2, f3;
  double phase = 0;
  SaveEffect(out, "Arrgh.wav", 1.0, [&](double t) {
    double pitch = 250 * std::exp(-t * 0.8) + 12 * std::sin(2 * M_PI * 6 * t) + rng.Range(-4, 4);
    phase += pitch * kDt;
    double glottis = Saw(phase) + 0.15 * rng.Range(-1, 1);
    double vowel = std::min(t / 0.7, 1.0);
    double voice = f1.Run(glottis, 800 - 380 * vowel, 6) + 0.6 * f2.Run(glottis, 1250 - 450 * vowel, 8) +
                   0.25 * f3.Run(glottis, 2600, 10);
    double env = std::min(t / 0.04, 1.0) * (1 - std::pow(t, 3));
    return voice * env;
  });
}

}  // namespace

// The shooter's warning that the monsters are about to land: two short, bright beeps a
// fifth apart, like a dashboard's alarm, clear over the music without being harsh.
void Alarm(Output& out) {
  LowPass soft;
  SaveEffect(out, "alarm.wav", 0.32, [&](double t) {
    auto beep = [&](double start, double f) {
      double s = t - start;
      if (s < 0 || s > 0.12) return 0.0;
      double env = std::min(s / 0.005, 1.0) * std::min((0.12 - s) / 0.02, 1.0);
      double square = std::sin(2 * M_PI * f * s) > 0 ? 1.0 : -1.0;
      return (0.6 * std::sin(2 * M_PI * f * s) + 0.4 * square) * env;
    };
    return soft.Run(beep(0.0, 1320) + beep(0.16, 880), 5000);
  });
}

void MakeSounds(Output& out) {
  Click(out);
  Refusal(out);
  Growl(out);
  Explosion(out);
  Shoot(out);
  Cry(out);
  Alarm(out);
}

}  // namespace assetgen
