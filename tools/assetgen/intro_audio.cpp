// Turns a composed song into the intro's MP3: FluidSynth plays it offline,
// block by block between note events (no audio device, no clock), and LAME
// encodes the result with fixed settings, so the bytes never change.
#include <fluidsynth.h>
#include <lame/lame.h>

#include <algorithm>
#include <cmath>

#include "music.h"

namespace assetgen {

namespace {

constexpr int kRate = 44100;
constexpr double kTailSeconds = 2.0;  // lets the last chord ring out

struct Timed {
  long frame;
  bool on;
  const NoteEvent* note;
};

void Silence(int, const char*, void*) {}

}  // namespace

std::vector<short> RenderSong(const Song& song, const std::string& sound_font) {
  for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level) fluid_set_log_function(level, Silence, nullptr);
  fluid_settings_t* settings = new_fluid_settings();
  fluid_settings_setnum(settings, "synth.sample-rate", kRate);
  fluid_settings_setint(settings, "synth.chorus.active", 0);
  fluid_settings_setnum(settings, "synth.gain", 0.7);
  fluid_settings_setint(settings, "synth.cpu-cores", 1);
  fluid_synth_t* synth = new_fluid_synth(settings);
  std::vector<short> audio;
  if (synth != nullptr && fluid_synth_sfload(synth, sound_font.c_str(), 1) != FLUID_FAILED) {
    for (int ch = 0; ch < 16; ++ch) {
      if (ch != 9) fluid_synth_program_change(synth, ch, song.programs[ch]);
      fluid_synth_cc(synth, ch, 7, song.volumes[ch]);
    }
    double frames_per_beat = kRate * 60.0 / song.bpm;
    std::vector<Timed> timeline;
    for (const NoteEvent& n : song.notes) {
      timeline.push_back({std::lround(n.beat * frames_per_beat), true, &n});
      timeline.push_back({std::lround((n.beat + n.length) * frames_per_beat), false, &n});
    }
    std::stable_sort(timeline.begin(), timeline.end(), [](const Timed& a, const Timed& b) {
      return a.frame != b.frame ? a.frame < b.frame : a.on < b.on;
    });
    long total = std::lround(song.total_beats * frames_per_beat + kTailSeconds * kRate);
    audio.assign(static_cast<size_t>(total) * 2, 0);
    long now = 0;
    auto render_to = [&](long frame) {
      frame = std::min(frame, total);
      if (frame > now)
        fluid_synth_write_s16(synth, frame - now, audio.data(), now * 2, 2, audio.data(), now * 2 + 1, 2);
      now = std::max(now, frame);
    };
    for (const Timed& t : timeline) {
      render_to(t.frame);
      if (t.on) fluid_synth_noteon(synth, t.note->channel, t.note->key, t.note->velocity);
      else fluid_synth_noteoff(synth, t.note->channel, t.note->key);
    }
    render_to(total);
    for (long i = 0; i < total; ++i) {  // gentle fade over the tail
      double gain = std::clamp((total - i) / (kTailSeconds * kRate), 0.0, 1.0);
      audio[2 * i] = static_cast<short>(audio[2 * i] * gain);
      audio[2 * i + 1] = static_cast<short>(audio[2 * i + 1] * gain);
    }
  }
  if (synth != nullptr) delete_fluid_synth(synth);
  delete_fluid_settings(settings);
  return audio;
}

std::string EncodeMp3(const std::vector<short>& stereo, int kbps) {
  lame_global_flags* lame = lame_init();
  lame_set_in_samplerate(lame, kRate);
  lame_set_out_samplerate(lame, kRate);
  lame_set_num_channels(lame, 2);
  lame_set_brate(lame, kbps);
  lame_set_VBR(lame, vbr_off);
  lame_set_quality(lame, 5);
  lame_set_bWriteVbrTag(lame, 0);
  std::string mp3;
  if (lame_init_params(lame) < 0) {
    lame_close(lame);
    return mp3;
  }
  const int kChunk = 8192;
  std::vector<unsigned char> buffer(kChunk * 5 / 4 + 7200);
  size_t frames = stereo.size() / 2;
  for (size_t at = 0; at < frames; at += kChunk) {
    int count = static_cast<int>(std::min<size_t>(kChunk, frames - at));
    int n = lame_encode_buffer_interleaved(lame, const_cast<short*>(&stereo[at * 2]), count, buffer.data(),
                                           static_cast<int>(buffer.size()));
    if (n > 0) mp3.append(reinterpret_cast<char*>(buffer.data()), n);
  }
  int n = lame_encode_flush(lame, buffer.data(), static_cast<int>(buffer.size()));
  if (n > 0) mp3.append(reinterpret_cast<char*>(buffer.data()), n);
  lame_close(lame);
  return mp3;
}

}  // namespace assetgen
