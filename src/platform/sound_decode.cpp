#include "platform/sound_decode.h"

#include <SDL.h>
#include <fluidsynth.h>
#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>

#include "platform/owned.h"

namespace vark {

// ---- levelling and trimming --------------------------------------------------------------

void PcmBlocks::Append(const int16_t* samples, size_t count) {
  if (count == 0) return;
  blocks_.emplace_back(samples, samples + count);
  count_ += count;
  for (size_t i = 0; i < count; ++i) {
    int magnitude = std::abs(static_cast<int>(samples[i]));
    peak_ = std::max(peak_, magnitude);
    squares_ += static_cast<double>(magnitude) * magnitude;
  }
}

double PcmBlocks::Loudness(size_t frames) const {
  size_t samples = std::min(count_, frames * channels_);
  return samples == 0 ? 0 : std::sqrt(squares_ / samples);
}

size_t PcmBlocks::AudibleFrames(double gain) const {
  // A sample is audible when its scaled magnitude reaches kSilence.
  const double threshold = gain > 0 ? kSilence / gain : 0;
  size_t end = count_;
  for (auto block = blocks_.rbegin(); block != blocks_.rend(); ++block) {
    for (size_t i = block->size(); i-- > 0;) {
      if (std::abs(static_cast<int>((*block)[i])) >= threshold) return (end - block->size() + i) / channels_ + 1;
    }
    end -= block->size();
  }
  return 0;
}

Samples PcmBlocks::Finish(double gain, size_t frames) {
  Samples out;
  size_t wanted = std::min(count_, frames * channels_);
  out.reserve(wanted);
  for (Samples& block : blocks_) {
    size_t take = std::min(block.size(), wanted - out.size());
    for (size_t i = 0; i < take; ++i) {
      long scaled = std::lround(block[i] * gain);
      out.push_back(static_cast<int16_t>(std::clamp<long>(scaled, -32767, 32767)));
    }
    Samples().swap(block);  // free each piece as soon as it is copied
  }
  blocks_.clear();
  count_ = 0;
  return out;
}

double EffectGain(int peak) { return peak > 0 ? static_cast<double>(kEffectPeak) / peak : 1.0; }

double TuneGain(int peak, double loudness) {
  if (peak <= 0 || loudness <= 0) return 1.0;
  return std::min(kTuneLoudness / loudness, static_cast<double>(kTunePeak) / peak);
}

Samples FinishEffect(PcmBlocks& blocks) { return blocks.Finish(EffectGain(blocks.Peak()), blocks.SampleCount()); }

Samples FinishTune(PcmBlocks& blocks) {
  // The loudness is measured over the music only: the silence after it would dilute it.
  double first_guess = TuneGain(blocks.Peak(), blocks.Loudness(blocks.SampleCount()));
  double gain = TuneGain(blocks.Peak(), blocks.Loudness(blocks.AudibleFrames(first_guess)));
  return blocks.Finish(gain, blocks.AudibleFrames(gain));
}

// ---- conversion to the device format -------------------------------------------------------

namespace {

// Feeds decoded audio of any SDL format into PcmBlocks at the device's rate and channels.
class DeviceConverter {
 public:
  DeviceConverter(SDL_AudioFormat format, int channels, int rate, const PcmFormat& device, PcmBlocks& out) : out_(out) {
    bool same = format == AUDIO_S16SYS && channels == device.channels && rate == device.rate;
    if (!same) stream_.reset(SDL_NewAudioStream(format, channels, rate, AUDIO_S16SYS, device.channels, device.rate));
    failed_ = !same && !stream_;
  }

  bool Failed() const { return failed_; }

  void Put(const void* data, size_t bytes) {
    if (failed_ || bytes == 0) return;
    if (!stream_) {
      out_.Append(static_cast<const int16_t*>(data), bytes / sizeof(int16_t));
      return;
    }
    failed_ = SDL_AudioStreamPut(stream_.get(), data, static_cast<int>(bytes)) != 0;
    Drain();
  }

  void Finish() {
    if (!stream_ || failed_) return;
    SDL_AudioStreamFlush(stream_.get());
    Drain();
  }

 private:
  void Drain() {
    int16_t buffer[8192];
    for (int got; (got = SDL_AudioStreamGet(stream_.get(), buffer, sizeof buffer)) > 0;)
      out_.Append(buffer, static_cast<size_t>(got) / sizeof(int16_t));
  }

  PcmBlocks& out_;
  OwnedAudioStream stream_;  // none when the audio is in the device's format already
  bool failed_ = false;
};

enum class FileKind { kWave, kMidi, kMp3, kUnknown };

FileKind KindOf(const std::string& path) {
  unsigned char head[4] = {};
  std::ifstream in(path, std::ios::binary);
  if (!in.read(reinterpret_cast<char*>(head), sizeof head)) return FileKind::kUnknown;
  if (std::memcmp(head, "RIFF", 4) == 0) return FileKind::kWave;
  if (std::memcmp(head, "MThd", 4) == 0) return FileKind::kMidi;
  bool id3 = std::memcmp(head, "ID3", 3) == 0;
  bool frame_sync = head[0] == 0xFF && (head[1] & 0xE0) == 0xE0;
  return id3 || frame_sync ? FileKind::kMp3 : FileKind::kUnknown;
}

// The decoders' own objects, freed by their handles in the reverse order of making.
using OwnedWave = std::unique_ptr<Uint8, ReleaseWith<SDL_FreeWAV>>;
using OwnedSynthSettings = std::unique_ptr<fluid_settings_t, ReleaseWith<delete_fluid_settings>>;
using OwnedSynth = std::unique_ptr<fluid_synth_t, ReleaseWith<delete_fluid_synth>>;
using OwnedMidiPlayer = std::unique_ptr<fluid_player_t, ReleaseWith<delete_fluid_player>>;
void CloseAndDelete(mpg123_handle* decoder) {
  mpg123_close(decoder);  // nothing to close is fine
  mpg123_delete(decoder);
}
using OwnedMp3Decoder = std::unique_ptr<mpg123_handle, ReleaseWith<CloseAndDelete>>;

Samples DecodeWave(const std::string& path, const PcmFormat& device) {
  SDL_AudioSpec file;
  Uint8* data = nullptr;
  Uint32 bytes = 0;
  if (!SDL_LoadWAV(path.c_str(), &file, &data, &bytes)) return {};
  OwnedWave wave(data);
  PcmBlocks blocks(device.channels);
  DeviceConverter converter(file.format, file.channels, file.freq, device, blocks);
  converter.Put(wave.get(), bytes);
  converter.Finish();
  return converter.Failed() ? Samples() : FinishEffect(blocks);
}

// FluidSynth plays the file into a synthesiser rendered block by block, as fast as the
// processor allows; the notes still ringing after the last event get a few seconds more.
Samples RenderMidi(const std::string& path, const PcmFormat& device, const std::string& soundFont,
                   const std::atomic<bool>& cancelled) {
  if (soundFont.empty()) return {};
  constexpr int kFrames = 4096;
  constexpr double kRingOutSeconds = 3;
  OwnedSynthSettings settings(new_fluid_settings());
  fluid_settings_setnum(settings.get(), "synth.sample-rate", device.rate);
  fluid_settings_setnum(settings.get(), "synth.gain", 0.5);
  OwnedSynth synth(new_fluid_synth(settings.get()));
  OwnedMidiPlayer player(synth ? new_fluid_player(synth.get()) : nullptr);
  bool ready = player && fluid_synth_sfload(synth.get(), soundFont.c_str(), 1) != FLUID_FAILED &&
               fluid_player_add(player.get(), path.c_str()) == FLUID_OK && fluid_player_play(player.get()) == FLUID_OK;
  PcmBlocks blocks(device.channels);
  if (ready) {
    DeviceConverter converter(AUDIO_S16SYS, 2, device.rate, device, blocks);
    std::vector<int16_t> buffer(kFrames * 2);
    auto render = [&] {
      fluid_synth_write_s16(synth.get(), kFrames, buffer.data(), 0, 2, buffer.data(), 1, 2);
      converter.Put(buffer.data(), buffer.size() * sizeof(int16_t));
    };
    while (!cancelled && fluid_player_get_status(player.get()) == FLUID_PLAYER_PLAYING) render();
    for (int ring = static_cast<int>(kRingOutSeconds * device.rate / kFrames); !cancelled && ring > 0; --ring) render();
    converter.Finish();
    ready = !converter.Failed();
  }
  return ready && !cancelled ? FinishTune(blocks) : Samples();
}

void StartMpg123Once() {
  static std::once_flag started;
  std::call_once(started, [] { mpg123_init(); });
}

Samples DecodeMp3(const std::string& path, const PcmFormat& device, const std::atomic<bool>& cancelled) {
  StartMpg123Once();
  OwnedMp3Decoder decoder(mpg123_new(nullptr, nullptr));
  if (!decoder) return {};
  mpg123_param(decoder.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0);
  // Signed 16-bit output at whatever rate the file has; the converter does the rest.
  mpg123_format_none(decoder.get());
  const long* rates = nullptr;
  size_t rate_count = 0;
  mpg123_rates(&rates, &rate_count);
  for (size_t i = 0; i < rate_count; ++i)
    mpg123_format(decoder.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  long rate = 0;
  int channels = 0, encoding = 0;
  bool ready = mpg123_open(decoder.get(), path.c_str()) == MPG123_OK &&
               mpg123_getformat(decoder.get(), &rate, &channels, &encoding) == MPG123_OK;
  PcmBlocks blocks(device.channels);
  if (ready) {
    DeviceConverter converter(AUDIO_S16SYS, channels, static_cast<int>(rate), device, blocks);
    std::vector<unsigned char> buffer(32768);
    int status = MPG123_OK;
    while (!cancelled && (status == MPG123_OK || status == MPG123_NEW_FORMAT)) {
      size_t got = 0;
      status = mpg123_read(decoder.get(), buffer.data(), buffer.size(), &got);
      converter.Put(buffer.data(), got);
    }
    converter.Finish();
    ready = status == MPG123_DONE && !converter.Failed() && blocks.SampleCount() > 0;
  }
  return ready && !cancelled ? FinishTune(blocks) : Samples();
}

}  // namespace

bool HoldsTune(const std::string& path) {
  FileKind kind = KindOf(path);
  return kind == FileKind::kMidi || kind == FileKind::kMp3;
}

Samples DecodeSoundFile(const std::string& path, const PcmFormat& device, const std::string& soundFont,
                        const std::atomic<bool>& cancelled) {
  switch (KindOf(path)) {
    case FileKind::kWave: return DecodeWave(path, device);
    case FileKind::kMidi: return RenderMidi(path, device, soundFont, cancelled);
    case FileKind::kMp3: return DecodeMp3(path, device, cancelled);
    case FileKind::kUnknown: break;
  }
  return {};
}

}  // namespace vark
