#include "platform/sound/sound_decode.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "platform/base/byte_order.h"
#include "platform/base/owned.h"
#include "platform/files/plain_file.h"
#include "platform/sound/tune_decoder.h"

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

std::string Seconds(double seconds) { return std::to_string(std::lround(seconds)) + " s"; }

// The samples a limit of `seconds` allows at the device's format.
size_t SampleCap(double seconds, const PcmFormat& device) {
  return static_cast<size_t>(std::max(0.0, seconds) * device.rate) * static_cast<size_t>(device.channels);
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

DecodedSound DecodeWave(std::string_view bytes, const PcmFormat& device, double maxSeconds) {
  auto chunks = FindWaveChunks(bytes);
  auto data = chunks ? UsableWaveData(*chunks, maxSeconds) : std::nullopt;
  if (!data) return {{}, "not a WAVE file this game plays (damaged or unusual header)"};
  std::string wave = RebuiltWave(*chunks, *data);
  SDL_AudioSpec file;
  Uint8* samples = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV_RW(SDL_RWFromConstMem(wave.data(), static_cast<int>(wave.size())), 1, &file, &samples, &length))
    return {{}, "damaged WAVE data"};
  OwnedWave owned(samples);
  PcmBlocks blocks(device.channels, SampleCap(maxSeconds, device));
  DeviceConverter converter(file.format, file.channels, file.freq, device, blocks);
  converter.Put(owned.get(), length);
  converter.Finish();
  if (converter.Failed() || blocks.SampleCount() == 0) return {{}, "its samples cannot be converted"};
  std::string problem = blocks.Full() ? "cut at its first " + Seconds(maxSeconds) : "";
  return {FinishEffect(blocks), problem};
}

// A MIDI or MP3 tune decoded whole, block by block, and levelled.
DecodedSound DecodeTune(std::string_view bytes, const PcmFormat& device, const std::string& soundFont,
                        const std::atomic<bool>& cancelled, const SoundLimits& limits, double maxSeconds) {
  auto decoder = NewTuneDecoder(bytes, device, std::make_shared<SynthPool>(soundFont), maxSeconds, limits);
  PcmBlocks blocks(device.channels);
  Samples block(4096 * static_cast<size_t>(device.channels));
  for (size_t got; !cancelled && (got = decoder->Read(block.data(), 4096)) > 0;)
    blocks.Append(block.data(), got * device.channels);
  if (cancelled) return {};
  if (blocks.SampleCount() == 0) return {{}, decoder->Problem().empty() ? "no sound in it" : decoder->Problem()};
  return {FinishTune(blocks), decoder->Problem()};
}

}  // namespace

SoundKind KindOfSound(std::string_view head) {
  if (head.size() >= 12 && head.starts_with("RIFF") && head.substr(8, 4) == "WAVE") return SoundKind::kWave;
  if (head.starts_with("MThd")) return SoundKind::kMidi;
  if (head.starts_with("ID3")) return SoundKind::kMp3;
  bool frame_sync = head.size() >= 2 && static_cast<unsigned char>(head[0]) == 0xFF &&
                    (static_cast<unsigned char>(head[1]) & 0xE0) == 0xE0;
  return frame_sync ? SoundKind::kMp3 : SoundKind::kUnknown;
}

size_t SoundLimits::MaxBytes(std::string_view head) const {
  switch (KindOfSound(head)) {
    case SoundKind::kWave: return maxWaveBytes;
    case SoundKind::kMidi: return maxMidiBytes;
    case SoundKind::kMp3: return maxMp3Bytes;
    case SoundKind::kUnknown: break;
  }
  return 0;
}

SoundUse UseOfName(std::string_view path) {
  std::string_view ext = path.substr(path.size() - std::min<size_t>(4, path.size()));
  bool wave = ext.size() == 4 && ext[0] == '.' && std::tolower(static_cast<unsigned char>(ext[1])) == 'w' &&
              std::tolower(static_cast<unsigned char>(ext[2])) == 'a' &&
              std::tolower(static_cast<unsigned char>(ext[3])) == 'v';
  return wave ? SoundUse::kEffect : SoundUse::kTune;
}

bool HoldsTune(const std::string& path) {
  std::string problem;
  auto head = ReadPlainFileHead(path, kSoundKindHeadBytes, problem);
  SoundKind kind = head ? KindOfSound(head->bytes) : SoundKind::kUnknown;
  return kind == SoundKind::kMidi || kind == SoundKind::kMp3;
}

DecodedSound DecodeSoundBytes(std::string_view bytes, const PcmFormat& device, const std::string& soundFont,
                              const std::atomic<bool>& cancelled, const SoundLimits& limits,
                              std::optional<SoundUse> use) {
  SoundKind kind = KindOfSound(bytes.substr(0, kSoundKindHeadBytes));
  if (kind == SoundKind::kUnknown) return {{}, "not a WAVE, MIDI or MP3 file"};
  if (bytes.size() > limits.MaxBytes(bytes)) return {{}, "the file is too large for a sound"};
  SoundUse usedAs = use.value_or(kind == SoundKind::kWave ? SoundUse::kEffect : SoundUse::kTune);
  double maxSeconds = limits.MaxSeconds(usedAs);
  if (kind == SoundKind::kWave) return DecodeWave(bytes, device, maxSeconds);
  return DecodeTune(bytes, device, soundFont, cancelled, limits, maxSeconds);
}

DecodedSound DecodeSoundFile(const std::string& path, const PcmFormat& device, const std::string& soundFont,
                             const std::atomic<bool>& cancelled, const SoundLimits& limits,
                             std::optional<SoundUse> use) {
  std::string problem;
  auto bytes = ReadSoundBytes(path, limits, problem);
  if (!bytes) return {{}, problem};
  return DecodeSoundBytes(*bytes, device, soundFont, cancelled, limits, use);
}

std::optional<std::string> ReadSoundBytes(const std::string& path, const SoundLimits& limits, std::string& problem) {
  auto head = ReadPlainFileHead(path, kSoundKindHeadBytes, problem);
  if (!head) return std::nullopt;
  if (KindOfSound(head->bytes) == SoundKind::kUnknown) {
    problem = "not a WAVE, MIDI or MP3 file";
    return std::nullopt;
  }
  // Only the size the format allows is ever read.
  auto bytes = ReadPlainFile(path, limits.MaxBytes(head->bytes), problem);
  if (!bytes) return std::nullopt;
  return std::move(*bytes);
}

}  // namespace vark
