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
  std::array<int, 16> programs{};  // General MIDI program per channel
  std::array<int, 16> volumes{};   // channel volume (controller 7)
  double total_beats = 0;          // the loop length; the file ends exactly here
  std::vector<NoteEvent> notes;
};

// How a tune is built; see the table in music.cpp.
struct TuneStyle {
  const char* file;
  int bpm;
  int key;                          // MIDI note of the tonic in the bass-clef octave
  std::array<int, 8> verse;         // chord roots as scale degrees, one per bar
  std::array<int, 8> bridge;
  const char* form;                 // sections: I intro (2 bars), A verse, B bridge
  int lead, pad, bass, arpeggio;    // General MIDI programs (arpeggio -1: none)
  int groove;                       // drum pattern, 0..3
  int bass_pattern;                 // 0 held roots, 1 pulsing eighths, 2 walking
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
