// Music as notes: the tunes are composed into a Song, which is then written
// as a General MIDI file or rendered to audio.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace assetgen {

struct NoteEvent {
  double beat;    // start, in quarter notes from the beginning
  double length;  // in quarter notes
  int channel;    // 0..15; 9 is percussion
  int key;
  int velocity;
};

struct Song {
  int bpm = 100;
  int beats_per_bar = 4;
  std::array<int, 16> programs{};  // General MIDI program per channel
  std::array<int, 16> volumes{};   // channel volume (controller 7)
  double total_beats = 0;          // the loop length; the file ends exactly here
  std::vector<NoteEvent> notes;
};

// A melodic rhythm: note starts and lengths within a two-bar phrase, in beats.
struct Slot {
  double start, length;
};

// The instruments of a band, as General MIDI programs.
struct Band {
  int lead, counter, pad, bass, arpeggio;  // arpeggio -1: none
};

// How a tune is built; see the table in music.cpp.
struct TuneStyle {
  const char* file;
  int bpm;
  int beats_per_bar;         // 4, or 3 for a waltz
  bool swing;                // off-beat eighths land late, as in a shuffle
  int key;                   // MIDI note of the tonic in the bass-clef octave
  bool major;                // a major key rather than a minor one
  std::array<int, 8> verse;  // chord roots as scale degrees, one per bar
  std::array<int, 8> chorus;
  std::array<int, 8> bridge;
  const char* form;  // sections: I intro (2 bars), A verse, C chorus, B bridge
  Band band;
  int groove;                      // drum pattern, see Composer::Drums
  int bass_pattern;                // see Composer::Bass
  int pad_pattern;                 // see Composer::Pad
  std::vector<Slot> verse_rhythm;  // the verse's two-bar melodic rhythm
  std::vector<Slot> chorus_rhythm;
  std::vector<Slot> bridge_rhythm;
  int contour;  // melody shape: 0 arch, 1 falling, 2 rising, 3 wave
  int level;    // percent of the usual channel volumes
  unsigned seed;
};

Song Compose(const TuneStyle& style);
std::string EncodeMidi(const Song& song);
double SongSeconds(const Song& song);

// Renders the song through FluidSynth with the General MIDI sound font;
// interleaved stereo at 44100 Hz. Empty when the synthesiser cannot start.
std::vector<short> RenderSong(const Song& song, const std::string& sound_font);
// Encodes interleaved stereo 44100 Hz audio as a constant-bit-rate MP3.
std::string EncodeMp3(const std::vector<short>& stereo, int kbps);

}  // namespace assetgen
