// The game's tunes. Each is composed from a small style description: a minor
// key, two eight-bar chord progressions, a form such as "IAABA", instruments and
// a groove. Melodies are built from a two-bar rhythmic motif whose pitches
// follow the chords (chord tones on strong beats, steps between), so phrases
// repeat and answer each other; sections end on the tonic so the loop joins.
#include <algorithm>
#include <cmath>
#include <string>

#include "generators.h"
#include "music.h"
#include "rng.h"
#include "wave.h"

namespace assetgen {

namespace {

constexpr int kLead = 0, kPad = 1, kBass = 2, kArp = 3, kDrums = 9;
constexpr int kMinor[7] = {0, 2, 3, 5, 7, 8, 10};
constexpr int kBarBeats = 4;

int DegreeToKey(int tonic, int degree) {
  int octave = degree >= 0 ? degree / 7 : -((6 - degree) / 7);
  return tonic + 12 * octave + kMinor[degree - 7 * octave];
}

struct Slot {
  double start, length;  // within a two-bar phrase, in beats
};

// Two-bar rhythms for melodies; calm ones first, busier ones later.
const std::vector<std::vector<Slot>> kRhythms = {
    {{0, 1}, {1, 0.5}, {1.5, 0.5}, {2, 1.5}, {4, 1}, {5, 1}, {6, 2}},
    {{0, 1.5}, {1.5, 0.5}, {2, 1}, {3, 1}, {4, 1.5}, {5.5, 0.5}, {6, 2}},
    {{0, 0.5}, {0.5, 0.5}, {1, 1}, {2, 0.5}, {2.5, 0.5}, {3, 1}, {4, 3}, {7, 1}},
    {{0, 0.75}, {0.75, 0.75}, {1.5, 0.5}, {2, 2}, {4, 0.5}, {4.5, 0.5}, {5, 0.5}, {5.5, 0.5}, {6, 2}},
    {{0, 0.5}, {0.5, 0.5}, {1, 0.5}, {1.5, 0.5}, {2, 1}, {3, 0.5}, {3.5, 0.5}, {4, 0.5}, {4.5, 0.5}, {5, 1}, {6, 1}, {7, 1}},
};

bool IsChordTone(int degree, int chord_root) {
  int rel = ((degree - chord_root) % 7 + 7) % 7;
  return rel == 0 || rel == 2 || rel == 4;
}

// Picks the pitches of one two-bar phrase over `chords` (two bars' roots).
class MelodyWriter {
 public:
  explicit MelodyWriter(unsigned seed) : rng_(seed) {}

  std::vector<int> Phrase(const std::vector<Slot>& rhythm, int chord1, int chord2, bool cadence) {
    std::vector<int> pitches;
    for (size_t i = 0; i < rhythm.size(); ++i) {
      int chord = rhythm[i].start < kBarBeats ? chord1 : chord2;
      bool strong = std::fmod(rhythm[i].start, 2.0) == 0 || rhythm[i].length >= 1.5;
      bool last = i + 1 == rhythm.size();
      if (last && cadence) {
        current_ = current_ > 4 ? 7 : 0;  // land on the tonic
      } else if (strong) {
        current_ = NearestChordTone(current_ + direction_, chord);
      } else {
        current_ += direction_;
      }
      if (rng_.Chance(0.3) || current_ > 10 || current_ < -1) direction_ = current_ > 5 ? -1 : 1;
      pitches.push_back(current_);
    }
    return pitches;
  }

 private:
  int NearestChordTone(int from, int chord) {
    for (int d = 0; d < 4; ++d) {
      int up = from + d, down = from - d;
      bool prefer_up = direction_ > 0;
      if (IsChordTone(prefer_up ? up : down, chord)) return prefer_up ? up : down;
      if (IsChordTone(prefer_up ? down : up, chord)) return prefer_up ? down : up;
    }
    return from;
  }

  Rng rng_;
  int current_ = 4;
  int direction_ = 1;
};

class Composer {
 public:
  Composer(const TuneStyle& style) : style_(style), rng_(style.seed) {}

  Song Run() {
    song_.bpm = style_.bpm;
    song_.programs[kLead] = style_.lead;
    song_.programs[kPad] = style_.pad;
    song_.programs[kBass] = style_.bass;
    song_.programs[kArp] = std::max(style_.arpeggio, 0);
    song_.volumes = {100, 72, 105, 62, 0, 0, 0, 0, 0, 96};
    unsigned melody_seed = style_.seed;
    verse_ = Melody(style_.verse, kRhythms[style_.groove == 2 ? 4 : style_.seed % 3], melody_seed + 1);
    bridge_ = Melody(style_.bridge, kRhythms[style_.groove == 2 ? 3 : 3 - style_.seed % 2], melody_seed + 2);
    double beat = 0;
    for (const char* s = style_.form; *s; ++s) beat = Section(*s, beat, s == style_.form);
    song_.total_beats = beat;
    return song_;
  }

 private:
  struct Line {
    std::vector<Slot> slots;  // over the whole eight bars
    std::vector<int> pitches;
  };

  // Eight bars of melody: motif, its answer over the next chords, the motif again, a cadence.
  Line Melody(const std::array<int, 8>& chords, const std::vector<Slot>& rhythm, unsigned seed) {
    MelodyWriter writer(seed);
    std::vector<int> first = writer.Phrase(rhythm, chords[0], chords[1], false);
    std::vector<int> answer = writer.Phrase(rhythm, chords[2], chords[3], false);
    std::vector<int> close = writer.Phrase(kRhythms[1], chords[6], chords[7], true);
    Line line;
    const std::vector<int>* parts[4] = {&first, &answer, &first, &close};
    for (int p = 0; p < 4; ++p) {
      const std::vector<Slot>& r = p == 3 ? kRhythms[1] : rhythm;
      for (size_t i = 0; i < r.size(); ++i) {
        line.slots.push_back({p * 8 + r[i].start, r[i].length});
        line.pitches.push_back((*parts[p])[i]);
      }
    }
    return line;
  }

  void Add(double beat, double length, int channel, int key, int velocity) {
    song_.notes.push_back({beat, length, channel, key, std::clamp(velocity, 1, 127)});
  }

  double Section(char kind, double start, bool first_section) {
    bool intro = kind == 'I';
    const std::array<int, 8>& chords = kind == 'B' ? style_.bridge : style_.verse;
    int bars = intro ? 2 : 8;
    for (int bar = 0; bar < bars; ++bar) {
      double at = start + bar * kBarBeats;
      int chord = chords[intro ? bar * 6 % 8 : bar];
      Pad(at, chord);
      Bass(at, chord);
      if (style_.arpeggio >= 0 && !intro) Arpeggio(at, chord);
      Drums(at, bar == 0 && !first_section, bar == bars - 1);
    }
    if (!intro) LeadLine(kind == 'B' ? bridge_ : verse_, start);
    return start + bars * kBarBeats;
  }

  void LeadLine(const Line& line, double start) {
    int tonic = style_.key + 24;
    for (size_t i = 0; i < line.slots.size(); ++i) {
      double beat = start + line.slots[i].start;
      int accent = std::fmod(line.slots[i].start, 2.0) == 0 ? 12 : 0;
      Add(beat, line.slots[i].length * 0.92, kLead, DegreeToKey(tonic, line.pitches[i]), 86 + accent + rng_.Below(8));
    }
  }

  void Pad(double at, int chord) {
    int tonic = style_.key + 12;
    for (int tone : {0, 2, 4}) Add(at, kBarBeats, kPad, DegreeToKey(tonic, chord + tone), 64);
  }

  void Bass(double at, int chord) {
    int root = DegreeToKey(style_.key - 12, chord);
    if (style_.bass_pattern == 0) {
      Add(at, 2.5, kBass, root, 100);
      Add(at + 2.5, 1.5, kBass, root + 7, 90);
    } else if (style_.bass_pattern == 1) {
      for (int e = 0; e < 8; ++e) Add(at + e * 0.5, 0.45, kBass, root + (e == 6 ? 12 : 0), e % 2 ? 88 : 108);
    } else {
      const int walk[4] = {0, 4, 2, 4};  // root, fifth, third, fifth in scale steps
      for (int q = 0; q < 4; ++q) Add(at + q, 0.9, kBass, DegreeToKey(style_.key - 12, chord + walk[q]), q == 0 ? 104 : 90);
    }
  }

  void Arpeggio(double at, int chord) {
    int tonic = style_.key + 24;
    const int order[8] = {0, 2, 4, 7, 4, 2, 0, 2};
    for (int e = 0; e < 8; ++e) Add(at + e * 0.5, 0.45, kArp, DegreeToKey(tonic, chord + order[e]), e % 2 ? 60 : 74);
  }

  void Drums(double at, bool crash, bool fill) {
    constexpr int kKick = 36, kSnare = 38, kSideStick = 37, kHat = 42, kOpenHat = 46, kCrash = 49, kShaker = 70;
    if (crash) Add(at, 1, kDrums, kCrash, 100);
    switch (style_.groove) {
      case 0:  // steady rock-electronic beat
        for (double b : {0.0, 2.0, 2.5}) Add(at + b, 0.25, kDrums, kKick, 110);
        for (double b : {1.0, 3.0}) Add(at + b, 0.25, kDrums, kSnare, 100);
        for (int e = 0; e < 8; ++e) Add(at + e * 0.5, 0.2, kDrums, e == 7 ? kOpenHat : kHat, e % 2 ? 60 : 80);
        break;
      case 1:  // half-time, spacious
        Add(at, 0.25, kDrums, kKick, 105);
        Add(at + 2, 0.25, kDrums, kSnare, 95);
        for (int q = 0; q < 4; ++q) Add(at + q, 0.2, kDrums, kHat, 70);
        break;
      case 2:  // driving four-on-the-floor
        for (int q = 0; q < 4; ++q) Add(at + q, 0.25, kDrums, kKick, 115);
        for (double b : {1.0, 3.0}) Add(at + b, 0.25, kDrums, kSnare, 105);
        for (int s = 0; s < 8; ++s) Add(at + s * 0.5 + 0.25, 0.1, kDrums, kHat, 70);
        break;
      default:  // quiet and tense: side stick and shaker
        Add(at, 0.25, kDrums, kKick, 90);
        Add(at + 2.5, 0.25, kDrums, kKick, 70);
        Add(at + 3, 0.25, kDrums, kSideStick, 80);
        for (int e = 0; e < 8; ++e) Add(at + e * 0.5, 0.2, kDrums, kShaker, e % 2 ? 45 : 62);
    }
    if (fill && style_.groove != 3) {
      for (int s = 0; s < 4; ++s) Add(at + 3 + s * 0.25, 0.2, kDrums, kSnare, 70 + s * 12);
    }
  }

  const TuneStyle& style_;
  Rng rng_;
  Song song_;
  Line verse_, bridge_;
};

void PutVariable(std::string& out, uint32_t value) {
  char bytes[5];
  int n = 0;
  bytes[n++] = static_cast<char>(value & 0x7F);
  while (value >>= 7) bytes[n++] = static_cast<char>((value & 0x7F) | 0x80);
  while (n > 0) out.push_back(bytes[--n]);
}

void PutBigEndian(std::string& out, uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

struct MidiEvent {
  uint32_t tick;
  int order;  // at the same tick: set-up, then note-offs, then note-ons
  std::string bytes;
};

constexpr int kTicksPerBeat = 480;

uint32_t Ticks(double beats) { return static_cast<uint32_t>(std::lround(beats * kTicksPerBeat)); }

}  // namespace

Song Compose(const TuneStyle& style) { return Composer(style).Run(); }

double SongSeconds(const Song& song) { return song.total_beats * 60.0 / song.bpm; }

std::string EncodeMidi(const Song& song) {
  std::vector<MidiEvent> events;
  uint32_t tempo = 60000000 / song.bpm;
  events.push_back({0, 0, std::string("\xFF\x51\x03", 3) + char(tempo >> 16) + char(tempo >> 8) + char(tempo)});
  for (int ch : {kLead, kPad, kBass, kArp, kDrums}) {
    if (ch != kDrums) events.push_back({0, 0, {char(0xC0 | ch), char(song.programs[ch])}});
    events.push_back({0, 0, {char(0xB0 | ch), 7, char(song.volumes[ch])}});
    events.push_back({0, 0, {char(0xB0 | ch), 91, char(ch == kPad || ch == kLead ? 50 : 25)}});
  }
  uint32_t end = Ticks(song.total_beats);
  for (const NoteEvent& n : song.notes) {
    uint32_t on = Ticks(n.beat), off = std::min(end, Ticks(n.beat + n.length));
    events.push_back({on, 2, {char(0x90 | n.channel), char(n.key), char(n.velocity)}});
    events.push_back({off, 1, {char(0x80 | n.channel), char(n.key), 0}});
  }
  std::stable_sort(events.begin(), events.end(), [](const MidiEvent& a, const MidiEvent& b) {
    return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
  });
  std::string track;
  uint32_t now = 0;
  for (const MidiEvent& e : events) {
    PutVariable(track, e.tick - now);
    now = e.tick;
    track += e.bytes;
  }
  PutVariable(track, end - now);
  track += std::string("\xFF\x2F\x00", 3);
  std::string file = "MThd";
  PutBigEndian(file, 6, 4);
  PutBigEndian(file, 0, 2);  // one track holding every channel
  PutBigEndian(file, 1, 2);
  PutBigEndian(file, kTicksPerBeat, 2);
  file += "MTrk";
  PutBigEndian(file, static_cast<uint32_t>(track.size()), 4);
  return file + track;
}

namespace {

// The four game tunes and the intro. Chords are scale degrees of the minor key
// (0 = i, 5 = VI, 2 = III, 6 = VII, 3 = iv, 4 = v).
const TuneStyle kTunes[] = {
    // Main menu: moody mid-tempo synth theme.
    {"Track1.mid", 100, 45, {0, 5, 2, 6, 0, 5, 2, 6}, {3, 3, 0, 0, 5, 6, 4, 4}, "IAABA", 81, 89, 38, -1, 0, 1, 11},
    // Episode selection: a gentle electric piano over strings and harp.
    {"Track2.mid", 92, 50, {0, 3, 6, 2, 5, 3, 4, 4}, {5, 6, 0, 0, 3, 4, 0, 4}, "IAABA", 4, 48, 33, 46, 1, 2, 22},
    // Shooter: fast and driving.
    {"Track3.mid", 140, 40, {0, 0, 5, 6, 0, 0, 5, 4}, {3, 5, 6, 0, 3, 5, 4, 4}, "IAABBAA", 29, 50, 38, 81, 2, 1, 33},
    // Quiz and memory: calm but tense, slow.
    {"Track4.mid", 84, 48, {0, 5, 3, 4, 0, 5, 3, 4}, {5, 3, 0, 6, 5, 3, 4, 4}, "IAABA", 11, 94, 32, 46, 3, 0, 44},
};

const TuneStyle kIntroTune = {"Intro.mp3", 96, 41, {0, 5, 2, 6, 3, 5, 4, 4}, {5, 6, 0, 2, 3, 6, 4, 4},
                              "IAABA", 80, 88, 38, 98, 0, 1, 55};

}  // namespace

void MakeMusic(Output& out) {
  for (const TuneStyle& tune : kTunes) out.SaveBytes(std::string("Sfx/") + tune.file, EncodeMidi(Compose(tune)));
  Song intro = Compose(kIntroTune);
  std::vector<short> audio = RenderSong(intro, "/usr/share/sounds/sf2/TimGM6mb.sf2");
  out.SaveBytes("Sfx/Intro.mp3", audio.empty() ? std::string() : EncodeMp3(audio, 112));
}

}  // namespace assetgen
