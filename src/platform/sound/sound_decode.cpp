#include "platform/sound/sound_decode.h"

#include <SDL.h>
#include <fluidsynth.h>
#include <mpg123.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <optional>

#include "platform/base/byte_order.h"
#include "platform/base/owned.h"
#include "platform/files/plain_file.h"
#include "platform/sound/midi_check.h"

namespace vark {

// ---- levelling and trimming --------------------------------------------------------------

void PcmBlocks::Append(const int16_t* samples, size_t count) {
  count = std::min(count, max_ - std::min(max_, count_));
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

// Feeds decoded audio of any SDL format into PcmBlocks at the device's rate and channels,
// a slice at a time, so that nothing past the blocks' cap is ever converted.
class DeviceConverter {
 public:
  DeviceConverter(SDL_AudioFormat format, int channels, int rate, const PcmFormat& device, PcmBlocks& out) : out_(out) {
    bool same = format == AUDIO_S16SYS && channels == device.channels && rate == device.rate;
    if (!same) stream_.reset(SDL_NewAudioStream(format, channels, rate, AUDIO_S16SYS, device.channels, device.rate));
    failed_ = !same && !stream_;
  }

  bool Failed() const { return failed_; }

  void Put(const void* data, size_t bytes) {
    constexpr size_t kSlice = 65536;
    const auto* at = static_cast<const Uint8*>(data);
    for (size_t done = 0; done < bytes && !failed_ && !out_.Full(); done += kSlice) {
      size_t slice = std::min(kSlice, bytes - done);
      if (!stream_) {
        out_.Append(reinterpret_cast<const int16_t*>(at + done), slice / sizeof(int16_t));
        continue;
      }
      failed_ = SDL_AudioStreamPut(stream_.get(), at + done, static_cast<int>(slice)) != 0;
      Drain();
    }
  }

  void Finish() {
    if (!stream_ || failed_ || out_.Full()) return;
    SDL_AudioStreamFlush(stream_.get());
    Drain();
  }

 private:
  void Drain() {
    int16_t buffer[8192];
    for (int got; !out_.Full() && (got = SDL_AudioStreamGet(stream_.get(), buffer, sizeof buffer)) > 0;)
      out_.Append(buffer, static_cast<size_t>(got) / sizeof(int16_t));
  }

  PcmBlocks& out_;
  OwnedAudioStream stream_;  // none when the audio is in the device's format already
  bool failed_ = false;
};

enum class FileKind { kWave, kMidi, kMp3, kUnknown };

constexpr size_t kKindHeadBytes = 12;

FileKind KindOf(std::string_view head) {
  if (head.size() >= 12 && head.starts_with("RIFF") && head.substr(8, 4) == "WAVE") return FileKind::kWave;
  if (head.starts_with("MThd")) return FileKind::kMidi;
  if (head.starts_with("ID3")) return FileKind::kMp3;
  bool frame_sync = head.size() >= 2 && static_cast<unsigned char>(head[0]) == 0xFF &&
                    (static_cast<unsigned char>(head[1]) & 0xE0) == 0xE0;
  return frame_sync ? FileKind::kMp3 : FileKind::kUnknown;
}

size_t MaxFileBytes(FileKind kind, const SoundLimits& limits) {
  switch (kind) {
    case FileKind::kWave: return limits.maxWaveBytes;
    case FileKind::kMidi: return limits.maxMidiBytes;
    case FileKind::kMp3: return limits.maxMp3Bytes;
    case FileKind::kUnknown: break;
  }
  return 0;
}

std::string Seconds(double seconds) { return std::to_string(std::lround(seconds)) + " s"; }

// How far one file's decoding may go: the sound's length, the decoder's time, and the
// caller calling it off. The first reached says why decoding stopped.
class DecodeBudget {
 public:
  DecodeBudget(const std::atomic<bool>& cancelled, double maxSeconds)
      : cancelled_(cancelled),
        maxSeconds_(maxSeconds),
        deadline_(std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                                         std::chrono::duration<double>(maxSeconds))) {}

  // True when decoding should stop; `blocks` is the sound decoded so far.
  bool Spent(const PcmBlocks& blocks, double maxSoundSeconds) {
    if (cancelled_) return true;
    if (blocks.Full()) problem_ = "cut at its first " + Seconds(maxSoundSeconds);
    else if (std::chrono::steady_clock::now() >= deadline_)
      problem_ = "took longer than " + Seconds(maxSeconds_) + " to decode; cut there";
    return !problem_.empty();
  }

  bool Cancelled() const { return cancelled_; }
  const std::string& Problem() const { return problem_; }

 private:
  const std::atomic<bool>& cancelled_;
  double maxSeconds_;
  std::chrono::steady_clock::time_point deadline_;
  std::string problem_;
};

// The samples a limit of `seconds` allows at the device's format.
size_t SampleCap(double seconds, const PcmFormat& device) {
  return static_cast<size_t>(std::max(0.0, seconds) * device.rate) * static_cast<size_t>(device.channels);
}

// What a decoder gives back: the finished sound, or nothing with the reason.
DecodedSound Outcome(PcmBlocks& blocks, bool decoded, const DecodeBudget& budget, Samples (*finish)(PcmBlocks&),
                     const char* failure) {
  if (budget.Cancelled()) return {};
  if (!decoded) return {{}, failure};
  if (blocks.SampleCount() == 0) return {{}, budget.Problem().empty() ? failure : budget.Problem()};
  return {finish(blocks), budget.Problem()};
}

// ---- WAV -----------------------------------------------------------------------------------

// The fmt and data chunks of a RIFF WAVE file; the data as far as the file holds it.
struct WaveChunks {
  std::string_view format;
  std::string_view data;
};

std::optional<WaveChunks> FindWaveChunks(std::string_view bytes) {
  constexpr size_t kMaxFormatBytes = 1024;
  WaveChunks chunks;
  for (size_t at = 12; at + 8 <= bytes.size();) {
    std::string_view id = bytes.substr(at, 4);
    size_t length = ReadLittleEndian(bytes, at + 4, 4);
    size_t held = std::min(length, bytes.size() - at - 8);
    if (id == "fmt " && chunks.format.empty()) {
      if (length < 16 || length > kMaxFormatBytes || held < length) return std::nullopt;
      chunks.format = bytes.substr(at + 8, length);
    } else if (id == "data") {
      chunks.data = bytes.substr(at + 8, held);
      break;
    }
    at += 8 + length + (length & 1);
  }
  if (chunks.format.empty() || chunks.data.empty()) return std::nullopt;
  return chunks;
}

// Checks the format chunk's figures and cuts the data to whole blocks and to the length
// allowed; nullopt for figures no sound file has.
std::optional<std::string_view> UsableWaveData(const WaveChunks& chunks, double maxSeconds) {
  constexpr uint16_t kPcm = 1, kFloat = 3, kExtensible = 0xFFFE;
  const std::string_view f = chunks.format;
  uint32_t tag = ReadLittleEndian(f, 0, 2), channels = ReadLittleEndian(f, 2, 2), block = ReadLittleEndian(f, 12, 2),
           bits = ReadLittleEndian(f, 14, 2);
  uint32_t rate = ReadLittleEndian(f, 4, 4);
  if (channels < 1 || channels > 8 || rate < 1000 || rate > 384000 || block == 0) return std::nullopt;
  bool plain = tag == kPcm || tag == kFloat || tag == kExtensible;
  if (plain && (bits % 8 != 0 || bits == 0 || block != channels * bits / 8)) return std::nullopt;
  std::string_view data = chunks.data.substr(0, chunks.data.size() - chunks.data.size() % block);
  // Packed formats hold more than one frame per block; the samples' own cap applies to them.
  if (plain) data = data.substr(0, static_cast<size_t>(maxSeconds * rate + 1) * block);
  if (data.empty()) return std::nullopt;
  return data;
}

// A WAVE file rebuilt from the checked chunks, with lengths that match what it holds, so
// that SDL's reader never meets a header that lies.
std::string RebuiltWave(const WaveChunks& chunks, std::string_view data) {
  std::string out = "RIFF";
  PutLittleEndian(out, static_cast<uint32_t>(4 + 8 + chunks.format.size() + 8 + data.size()), 4);
  out += "WAVEfmt ";
  PutLittleEndian(out, static_cast<uint32_t>(chunks.format.size()), 4);
  out += chunks.format;
  out += "data";
  PutLittleEndian(out, static_cast<uint32_t>(data.size()), 4);
  out += data;
  return out;
}

using OwnedWave = std::unique_ptr<Uint8, ReleaseWith<SDL_FreeWAV>>;

DecodedSound DecodeWave(std::string_view bytes, const PcmFormat& device, DecodeBudget& budget,
                        const SoundLimits& limits) {
  auto chunks = FindWaveChunks(bytes);
  auto data = chunks ? UsableWaveData(*chunks, limits.maxEffectSeconds) : std::nullopt;
  if (!data) return {{}, "not a WAVE file this game plays (damaged or unusual header)"};
  std::string wave = RebuiltWave(*chunks, *data);
  SDL_AudioSpec file;
  Uint8* samples = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV_RW(SDL_RWFromConstMem(wave.data(), static_cast<int>(wave.size())), 1, &file, &samples, &length))
    return {{}, "damaged WAVE data"};
  OwnedWave owned(samples);
  PcmBlocks blocks(device.channels, SampleCap(limits.maxEffectSeconds, device));
  DeviceConverter converter(file.format, file.channels, file.freq, device, blocks);
  converter.Put(owned.get(), length);
  converter.Finish();
  budget.Spent(blocks, limits.maxEffectSeconds);
  return Outcome(blocks, !converter.Failed(), budget, FinishEffect, "its samples cannot be converted");
}

// ---- MIDI ----------------------------------------------------------------------------------

using OwnedSynthSettings = std::unique_ptr<fluid_settings_t, ReleaseWith<delete_fluid_settings>>;
using OwnedSynth = std::unique_ptr<fluid_synth_t, ReleaseWith<delete_fluid_synth>>;
using OwnedMidiPlayer = std::unique_ptr<fluid_player_t, ReleaseWith<delete_fluid_player>>;

// FluidSynth would print its complaints about a damaged file; the game says one line itself.
void SilenceFluidSynthOnce() {
  static std::once_flag silenced;
  std::call_once(silenced, [] {
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) fluid_set_log_function(level, nullptr, nullptr);
  });
}

// FluidSynth plays the file into a synthesiser rendered block by block, as fast as the
// processor allows; the notes still ringing after the last event get a few seconds more.
DecodedSound RenderMidi(std::string_view bytes, const PcmFormat& device, const std::string& soundFont,
                        DecodeBudget& budget, const SoundLimits& limits) {
  if (soundFont.empty()) return {{}, "no soundfont to play MIDI with"};
  if (std::string problem = MidiStructureProblem(bytes); !problem.empty()) return {{}, problem};
  constexpr int kFrames = 4096;
  constexpr double kRingOutSeconds = 3;
  SilenceFluidSynthOnce();
  OwnedSynthSettings settings(new_fluid_settings());
  fluid_settings_setnum(settings.get(), "synth.sample-rate", device.rate);
  fluid_settings_setnum(settings.get(), "synth.gain", 0.5);
  OwnedSynth synth(new_fluid_synth(settings.get()));
  OwnedMidiPlayer player(synth ? new_fluid_player(synth.get()) : nullptr);
  bool ready = player && fluid_synth_sfload(synth.get(), soundFont.c_str(), 1) != FLUID_FAILED &&
               fluid_player_add_mem(player.get(), bytes.data(), bytes.size()) == FLUID_OK &&
               fluid_player_play(player.get()) == FLUID_OK;
  PcmBlocks blocks(device.channels, SampleCap(limits.maxTuneSeconds, device));
  if (ready) {
    DeviceConverter converter(AUDIO_S16SYS, 2, device.rate, device, blocks);
    std::vector<int16_t> buffer(kFrames * 2);
    auto render = [&] {
      fluid_synth_write_s16(synth.get(), kFrames, buffer.data(), 0, 2, buffer.data(), 1, 2);
      converter.Put(buffer.data(), buffer.size() * sizeof(int16_t));
    };
    auto spent = [&] { return budget.Spent(blocks, limits.maxTuneSeconds); };
    while (!spent() && fluid_player_get_status(player.get()) == FLUID_PLAYER_PLAYING) render();
    for (int ring = static_cast<int>(kRingOutSeconds * device.rate / kFrames); !spent() && ring > 0; --ring) render();
    converter.Finish();
    ready = !converter.Failed();
  }
  return Outcome(blocks, ready, budget, FinishTune, "not a MIDI file FluidSynth can play");
}

// ---- MP3 -----------------------------------------------------------------------------------

void CloseAndDelete(mpg123_handle* decoder) {
  mpg123_close(decoder);  // nothing to close is fine
  mpg123_delete(decoder);
}
using OwnedMp3Decoder = std::unique_ptr<mpg123_handle, ReleaseWith<CloseAndDelete>>;

void StartMpg123Once() {
  static std::once_flag started;
  std::call_once(started, [] { mpg123_init(); });
}

OwnedMp3Decoder NewMp3Decoder() {
  StartMpg123Once();
  OwnedMp3Decoder decoder(mpg123_new(nullptr, nullptr));
  if (!decoder) return decoder;
  mpg123_param(decoder.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0);
  // Signed 16-bit output at whatever rate the file has; the converter does the rest.
  mpg123_format_none(decoder.get());
  const long* rates = nullptr;
  size_t rate_count = 0;
  mpg123_rates(&rates, &rate_count);
  for (size_t i = 0; i < rate_count; ++i)
    mpg123_format(decoder.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  if (mpg123_open_feed(decoder.get()) != MPG123_OK) decoder.reset();
  return decoder;
}

// mpg123 is fed the bytes a slice at a time as it asks for them. The first format the
// stream announces is the one converted; a stream that changes format midway ends there.
DecodedSound DecodeMp3(std::string_view bytes, const PcmFormat& device, DecodeBudget& budget,
                       const SoundLimits& limits) {
  constexpr size_t kFeedBytes = 65536;
  OwnedMp3Decoder decoder = NewMp3Decoder();
  PcmBlocks blocks(device.channels, SampleCap(limits.maxTuneSeconds, device));
  std::optional<DeviceConverter> converter;
  std::vector<unsigned char> buffer(32768);
  size_t fed = 0;
  for (int status = MPG123_OK; decoder && !budget.Spent(blocks, limits.maxTuneSeconds);) {
    size_t got = 0;
    status = mpg123_read(decoder.get(), buffer.data(), buffer.size(), &got);
    if (status == MPG123_NEED_MORE && fed < bytes.size()) {
      size_t slice = std::min(kFeedBytes, bytes.size() - fed);
      if (mpg123_feed(decoder.get(), reinterpret_cast<const unsigned char*>(bytes.data() + fed), slice) != MPG123_OK)
        break;
      fed += slice;
    } else if (status == MPG123_NEW_FORMAT && !converter) {
      long rate = 0;
      int channels = 0, encoding = 0;
      if (mpg123_getformat(decoder.get(), &rate, &channels, &encoding) != MPG123_OK) break;
      converter.emplace(AUDIO_S16SYS, channels, static_cast<int>(rate), device, blocks);
    } else if (status == MPG123_OK && converter) {
      converter->Put(buffer.data(), got);
    } else {
      break;  // the end of the bytes, a second format or damage: what came so far is the tune
    }
  }
  if (converter) converter->Finish();
  return Outcome(blocks, converter && !converter->Failed(), budget, FinishTune, "not an MP3 file mpg123 can decode");
}

}  // namespace

bool HoldsTune(const std::string& path) {
  std::string problem;
  auto head = ReadPlainFileHead(path, kKindHeadBytes, problem);
  FileKind kind = head ? KindOf(head->bytes) : FileKind::kUnknown;
  return kind == FileKind::kMidi || kind == FileKind::kMp3;
}

DecodedSound DecodeSoundBytes(std::string_view bytes, const PcmFormat& device, const std::string& soundFont,
                              const std::atomic<bool>& cancelled, const SoundLimits& limits) {
  FileKind kind = KindOf(bytes.substr(0, kKindHeadBytes));
  if (kind == FileKind::kUnknown) return {{}, "not a WAVE, MIDI or MP3 file"};
  if (bytes.size() > MaxFileBytes(kind, limits)) return {{}, "the file is too large for a sound"};
  DecodeBudget budget(cancelled, limits.maxDecodeSeconds);
  switch (kind) {
    case FileKind::kWave: return DecodeWave(bytes, device, budget, limits);
    case FileKind::kMidi: return RenderMidi(bytes, device, soundFont, budget, limits);
    case FileKind::kMp3: return DecodeMp3(bytes, device, budget, limits);
    case FileKind::kUnknown: break;
  }
  return {};
}

DecodedSound DecodeSoundFile(const std::string& path, const PcmFormat& device, const std::string& soundFont,
                             const std::atomic<bool>& cancelled, const SoundLimits& limits) {
  std::string problem;
  auto head = ReadPlainFileHead(path, kKindHeadBytes, problem);
  if (!head) return {{}, problem};
  FileKind kind = KindOf(head->bytes);
  if (kind == FileKind::kUnknown) return {{}, "not a WAVE, MIDI or MP3 file"};
  // Only the size the format allows is ever read.
  auto bytes = ReadPlainFile(path, MaxFileBytes(kind, limits), problem);
  if (!bytes) return {{}, problem};
  return DecodeSoundBytes(*bytes, device, soundFont, cancelled, limits);
}

}  // namespace vark
