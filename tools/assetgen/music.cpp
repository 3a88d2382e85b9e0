// The game's tunes. Each is composed from a style description (music.h):
// metre, tempo, a major or minor key, three eight-bar chord progressions (verse,
// chorus, bridge), a form such as "IACBA", a band, a groove and the melodic
// rhythms of each section. A melody states a two-bar motif, answers it over the
// next chords, develops it and closes: the verse ends V-i on the tonic, the bridge
// stops on V and leads back, and only the last section of the loop holds its
// final note. A section heard again keeps its motif but goes on differently (the
// third time with the motif lifted), a counter-melody joins, long notes gain
// passing tones and the drums change, so no span repeats verbatim. The intro
// plays the tune's own motif over its groove, so the loop restarts into the
// tune itself. Chords move to the nearest inversion instead of jumping.
#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <string>

#include "generators.h"
#include "music.h"
#include "rng.h"

namespace assetgen {

namespace {

constexpr int kLead = 0, kPad = 1, kBass = 2, kArp = 3, kCounter = 4, kDrums = 9;
constexpr int kMinor[7] = {0, 2, 3, 5, 7, 8, 10};
constexpr int kMajor[7] = {0, 2, 4, 5, 7, 9, 11};
constexpr int kDominant = 4;
constexpr int kSectionBars = 8, kIntroBars = 2;
constexpr int kNoTone = -100;
// The melody's register in degrees above the tonic: its middle, and the range its
// strong notes aim within (from the leading tone below to the ninth above).
constexpr int kMiddle = 4;
constexpr double kLowest = -1, kHighest = 8;
// General MIDI percussion keys.
constexpr int kKick = 36, kSideStick = 37, kSnare = 38, kHat = 42, kPedalHat = 44, kTomLow = 45, kOpenHat = 46,
              kTomMid = 47, kCrash = 49, kTomHigh = 50, kRide = 51, kTambourine = 54, kShaker = 70;

int Wrap7(int degree) { return (degree % 7 + 7) % 7; }

// The key of a scale degree above `tonic`. In a minor key the seventh degree is
// raised to a leading tone over the dominant chord, so V is major and pulls home to i.
int DegreeToKey(int tonic, int degree, int chord, bool major) {
  int octave = (degree - Wrap7(degree)) / 7;
  int key = tonic + 12 * octave + (major ? kMajor : kMinor)[Wrap7(degree)];
  return !major && Wrap7(chord) == kDominant && Wrap7(degree) == 6 ? key + 1 : key;
}

bool IsChordTone(int degree, int chord) {
  int rel = Wrap7(degree - chord);
  return rel == 0 || rel == 2 || rel == 4;
}

// The chord tone nearest to `target`, leaning toward `from` so lines move in small steps.
int NearestChordTone(double target, int chord, int from) {
  int best = from;
  double best_cost = 1e9;
  for (int d = -10; d <= 14; ++d) {
    double cost = std::abs(d - target) + 0.2 * std::abs(d - from);
    if (IsChordTone(d, chord) && cost < best_cost) {
      best_cost = cost;
      best = d;
    }
  }
  return best;
}

// Where the melody aims at time t (0..1 through the section), in scale degrees.
double ContourTarget(int contour, double t) {
  switch (contour % 4) {
    case 0: return 1 + 6 * std::sin(std::numbers::pi * t);
    case 1: return 8 - 7 * t;
    case 2: return 1 + 7 * t;
    default: return 4 + 3 * std::sin(4 * std::numbers::pi * t);
  }
}

// A melody over eight bars: slots relative to the section start, their degrees
// and the chord under each.
struct Line {
  std::vector<Slot> slots;
  std::vector<int> degrees;
  std::vector<int> chords;
};

class MelodyWriter {
 public:
  MelodyWriter(int beats_per_bar, int contour, unsigned seed) : bar_(beats_per_bar), contour_(contour), rng_(seed) {}

  // Motif, its sequence over the next chords, a development on the same rhythm,
  // then the cadence phrase, which holds its last note only when `final`. With a
  // `theme`, the motif is the theme's, raised by `lift` degrees.
  Line Section(const std::array<int, 8>& chords, const std::vector<Slot>& rhythm, bool final,
               const Line* theme = nullptr, int lift = 0) {
    Line line;
    for (int phrase = 0; phrase < 4; ++phrase) {
      if (phrase == 1) {
        Sequence(line, chords, rhythm);
        continue;
      }
      if (phrase == 0 && theme) {
        Restate(line, *theme, rhythm.size(), lift);
        continue;
      }
      bool cadence = phrase == 3;
      std::vector<Slot> slots = cadence && final ? CadenceRhythm(rhythm) : rhythm;
      size_t first = line.slots.size();
      std::vector<bool> strong = PlaceStrongNotes(line, chords, slots, phrase, cadence);
      FillPassingNotes(line, first, strong);
    }
    return line;
  }

 private:
  // The theme's motif, its strong notes moved up to the chord tone `lift` degrees higher
  // and the notes between them moved with them.
  void Restate(Line& line, const Line& theme, size_t count, int lift) {
    for (size_t i = 0; i < count; ++i) {
      int degree = theme.degrees[i] + lift;
      if (lift && IsStrong(theme.slots[i])) degree = NearestChordTone(degree, theme.chords[i], degree);
      line.slots.push_back(theme.slots[i]);
      line.degrees.push_back(degree);
      line.chords.push_back(theme.chords[i]);
      current_ = degree;
    }
  }

  // The motif again, moved by the step between the chords that carry it, up or down,
  // whichever keeps it nearer the middle of the range; strong notes settle on the
  // nearest tone of the chord below.
  void Sequence(Line& line, const std::array<int, 8>& chords, const std::vector<Slot>& rhythm) {
    double mean = 0;
    for (size_t i = 0; i < rhythm.size(); ++i) mean += line.degrees[i] / double(rhythm.size());
    int up = Wrap7(chords[2] - chords[0]), down = up - 7;
    int shift = std::abs(mean + up - kMiddle) <= std::abs(mean + down - kMiddle) ? up : down;
    for (size_t i = 0; i < rhythm.size(); ++i) {
      double at = 2 * bar_ + rhythm[i].start;
      int chord = chords[static_cast<int>(at / bar_)];
      int degree = line.degrees[i] + shift;
      bool rising = i > 0 && line.degrees[i] > line.degrees[i - 1];
      if (IsStrong(rhythm[i])) degree = NearestChordTone(degree, chord, degree);
      // Over V the sixth degree moves on to the leading tone, or down a step.
      else if (Wrap7(chord) == kDominant && Wrap7(degree) == 5) degree += rising ? 1 : -1;
      line.slots.push_back({at, rhythm[i].length});
      line.degrees.push_back(degree);
      line.chords.push_back(chord);
      current_ = degree;
    }
  }

  // Appends the phrase's slots to `line`. Strong notes become chord tones that follow
  // the contour (the cadence's last two lead home, or to a half close on V); the rest
  // are marked for FillPassingNotes.
  std::vector<bool> PlaceStrongNotes(Line& line, const std::array<int, 8>& chords, const std::vector<Slot>& slots,
                                     int phrase, bool cadence) {
    std::vector<bool> strong;
    int anchor = current_;
    bool closes_home = chords.back() == 0;
    for (size_t i = 0; i < slots.size(); ++i) {
      double at = phrase * 2 * bar_ + slots[i].start;
      int chord = chords[static_cast<int>(at / bar_)];
      double gesture = 2.5 * std::sin(std::numbers::pi * slots[i].start / (2 * bar_));  // each phrase rises and falls
      double jitter = rng_.Chance(0.4) ? rng_.Below(3) - 1 : 0;
      double contour = ContourTarget(contour_, at / (kSectionBars * bar_));
      double target = std::clamp(contour + gesture + jitter, kLowest, kHighest);
      bool placed = true;
      if (cadence && i + 1 == slots.size()) {
        anchor = closes_home ? (anchor >= 4 ? 7 : 0) : NearestChordTone(anchor, chord, anchor);
      } else if (cadence && i + 2 == slots.size() && closes_home) {
        anchor = NearestChordTone(anchor >= 4 ? 7 : 0, chord, anchor);  // leading tone or supertonic
      } else if (IsStrong(slots[i])) {
        int tone = NearestChordTone(target, chord, anchor);
        if (tone == anchor) tone = NearestChordTone(anchor + (target >= anchor ? 2 : -2), chord, anchor);  // move on
        anchor = std::abs(tone - anchor) > 6 ? NearestChordTone(anchor, chord, anchor) : tone;
      } else {
        placed = false;
      }
      line.slots.push_back({at, slots[i].length});
      line.degrees.push_back(anchor);
      line.chords.push_back(chord);
      strong.push_back(placed);
    }
    return strong;
  }

  // The notes between strong ones step toward the next strong note, as passing or
  // neighbour tones.
  void FillPassingNotes(Line& line, size_t first, const std::vector<bool>& strong) {
    for (size_t i = 0; i < strong.size(); ++i) {
      if (strong[i]) {
        current_ = line.degrees[first + i];
        continue;
      }
      size_t next = i + 1;
      while (next < strong.size() && !strong[next]) ++next;
      int goal = next < strong.size() ? line.degrees[first + next] : current_;
      current_ = Step(goal, line.chords[first + i]);
      line.degrees[first + i] = current_;
    }
  }

 private:
  bool IsStrong(const Slot& slot) const {
    double in_bar = std::fmod(slot.start, bar_);
    return in_bar == 0 || (bar_ == 4 && in_bar == 2) || slot.length >= 1.5;
  }

  // The first bar of the motif, then the tonic held through the second bar.
  std::vector<Slot> CadenceRhythm(const std::vector<Slot>& rhythm) const {
    std::vector<Slot> slots;
    for (const Slot& s : rhythm) {
      if (s.start < bar_) slots.push_back({s.start, std::min(s.length, bar_ - s.start)});
    }
    slots.push_back({static_cast<double>(bar_), bar_ - 0.25});
    return slots;
  }

  // A step toward the goal, or a neighbour when already there; over V the sixth
  // degree is skipped, since it would make an augmented second with the leading tone.
  int Step(int goal, int chord) {
    int direction = goal > current_ ? 1 : goal < current_ ? -1 : (rng_.Chance(0.6) ? 1 : -1);
    int next = current_ + direction;
    if (Wrap7(chord) == kDominant && Wrap7(next) == 5) next += direction;
    return next;
  }

  int bar_;
  int contour_;
  Rng rng_;
  int current_ = 2;
};

class Composer {
 public:
  explicit Composer(const TuneStyle& style) : style_(style), bar_(style.beats_per_bar), rng_(style.seed) {}

  Song Run() {
    song_.bpm = style_.bpm;
    song_.beats_per_bar = bar_;
    song_.programs[kLead] = style_.band.lead;
    song_.programs[kCounter] = style_.band.counter;
    song_.programs[kPad] = style_.band.pad;
    song_.programs[kBass] = style_.band.bass;
    song_.programs[kArp] = std::max(style_.band.arpeggio, 0);
    // Channel volumes keep the lead on top: at least 3 dB over every accompanying part.
    const std::array<int, 16> usual = {120, 62, 84, 54, 74, 0, 0, 0, 0, 82};
    for (int ch = 0; ch < 16; ++ch) song_.volumes[ch] = std::min(127, usual[ch] * style_.level / 100);
    voicing_ = {style_.key + 15 + style_.major, style_.key + 19, style_.key + 24};
    std::map<char, int> heard;
    double beat = 0;
    for (const char* s = style_.form; *s; ++s) {
      bool last = !s[1];
      beat = Section(*s, heard[*s]++, last ? style_.form[0] : s[1], last, beat);
    }
    song_.total_beats = beat;
    return song_;
  }

 private:
  // Shuffled tunes play every off-beat eighth two thirds of the way through the beat.
  double Swung(double beat) const {
    double whole = std::floor(beat);
    return style_.swing && std::abs(beat - whole - 0.5) < 1e-9 ? whole + 2.0 / 3.0 : beat;
  }

  void Add(double beat, double length, int channel, int key, int velocity) {
    double start = Swung(beat), end = Swung(beat + length);
    song_.notes.push_back({start, end - start, channel, key, std::clamp(velocity, 1, 127)});
  }

  int Key(int tonic, int degree, int chord) const { return DegreeToKey(tonic, degree, chord, style_.major); }

  const std::array<int, 8>& ChordsOf(char kind) const {
    return kind == 'B' ? style_.bridge : kind == 'C' ? style_.chorus : style_.verse;
  }

  int FirstChord(char kind) const { return kind == 'I' ? 0 : ChordsOf(kind)[0]; }

  // The melody of a section's `heard`-th hearing: the first is written afresh; later
  // ones keep its motif (lifted a third the third time) and go on with new material.
  const Line& Melody(char kind, int heard, bool final) {
    auto found = lines_.find({kind, heard});
    if (found != lines_.end()) return found->second;
    int which = kind == 'B' ? 1 : kind == 'C' ? 2 : 0;
    const std::vector<Slot>& rhythm = kind == 'B'   ? style_.bridge_rhythm
                                      : kind == 'C' ? style_.chorus_rhythm
                                                    : style_.verse_rhythm;
    MelodyWriter writer(bar_, style_.contour + which, style_.seed + 1 + which + 10 * heard);
    const Line* theme = heard > 0 ? &Melody(kind, 0, false) : nullptr;
    Line line = writer.Section(ChordsOf(kind), rhythm, final, theme, heard >= 2 ? 2 : 0);
    return lines_[{kind, heard}] = std::move(line);
  }

  // One section; `heard` counts earlier sections of the same kind; `final` ends the loop.
  double Section(char kind, int heard, char next_kind, bool final, double start) {
    bool intro = kind == 'I';
    const std::array<int, 8>& chords = ChordsOf(kind);
    const std::array<int, kIntroBars> intro_chords = {0, kDominant};
    int bars = intro ? kIntroBars : kSectionBars;
    for (int bar = 0; bar < bars; ++bar) {
      double at = start + bar * bar_;
      int chord = intro ? intro_chords[bar] : chords[bar];
      int next = bar + 1 < bars ? (intro ? intro_chords[bar + 1] : chords[bar + 1]) : FirstChord(next_kind);
      Pad(at, chord, kind);
      Bass(at, bar + 1 == bars ? -1 : bar, chord, next, kind);
      if (style_.band.arpeggio >= 0 && !intro) Arpeggio(at, heard);
      Drums(at, bar, bars, kind, heard, start == 0);
    }
    if (intro) {
      IntroFigure(start);
    } else {
      const Line& line = Melody(kind, heard, final);
      bool ornamented = heard >= 2;
      LeadLine(line, start, ornamented);
      if (heard >= 1) CounterLine(line, start, heard, ornamented);
    }
    return start + bars * bar_;
  }

  // The intro: the counter voice plays the verse's motif over i and V, its strong notes
  // moved onto those chords, so each tune opens with its own figure.
  void IntroFigure(double start) {
    const Line& motif = Melody('A', 0, false);
    int tonic = style_.key + 12;
    for (size_t i = 0; i < motif.slots.size() && motif.slots[i].start < kIntroBars * bar_; ++i) {
      const Slot& s = motif.slots[i];
      int chord = s.start < bar_ ? 0 : kDominant;
      int degree = NearestChordTone(motif.degrees[i], chord, motif.degrees[i]);
      Add(start + s.start, s.length * 0.9, kCounter, Key(tonic, degree, chord), 84);
    }
  }

  void LeadLine(const Line& line, double start, bool ornamented) {
    int tonic = style_.key + 24;
    for (size_t i = 0; i < line.slots.size(); ++i) {
      const Slot& s = line.slots[i];
      int velocity = (std::fmod(s.start, bar_) == 0 ? 100 : 88) + rng_.Below(8);
      bool last = i + 1 == line.slots.size();
      if (ornamented && s.length >= 1.5 && !last) {
        // Half the note, then a passing tone toward the next one.
        int next = line.degrees[i + 1];
        int passing = line.degrees[i] + (next > line.degrees[i] ? 1 : -1);
        if (Wrap7(line.chords[i]) == kDominant && Wrap7(passing) == 5) passing = line.degrees[i];
        Add(start + s.start, s.length / 2 * 0.95, kLead, Key(tonic, line.degrees[i], line.chords[i]), velocity);
        Add(start + s.start + s.length / 2, s.length / 2 * 0.9, kLead, Key(tonic, passing, line.chords[i]),
            velocity - 10);
      } else {
        Add(start + s.start, s.length * 0.92, kLead, Key(tonic, line.degrees[i], line.chords[i]), velocity);
      }
    }
  }

  // The index of the lead's slot sounding at `at` beats into the section.
  static size_t SlotAt(const Line& line, double at) {
    size_t slot = 0;
    for (size_t i = 0; i < line.slots.size() && line.slots[i].start <= at; ++i) slot = i;
    return slot;
  }

  // A chord tone a third to a sixth below the lead's note at `at`, consonant with it
  // and as near the previous counter note as possible; `move` prefers a new tone.
  // Returns kNoTone when nothing fits (the lead is on a passing tone), also in the
  // second half of a long note that an ornamented lead splits.
  int CounterTone(const Line& line, double at, int previous, bool move, bool ornamented) const {
    int tonic = style_.key + 24;
    size_t slot = SlotAt(line, at);
    const Slot& s = line.slots[slot];
    if (ornamented && s.length >= 1.5 && at >= s.start + s.length / 2) return kNoTone;
    int lead = line.degrees[slot], chord = line.chords[slot];
    int lead_key = Key(tonic, lead, chord);
    int best = kNoTone;
    double best_cost = 1e9;
    for (int d = lead - 5; d <= lead - 2; ++d) {
      int interval = lead_key - Key(tonic, d, chord);
      bool consonant = interval == 3 || interval == 4 || interval == 7 || interval == 8 || interval == 9;
      double cost = std::abs(d - previous) + (move && d == previous ? 2.5 : 0);
      if (IsChordTone(d, chord) && consonant && cost < best_cost) {
        best_cost = cost;
        best = d;
      }
    }
    return best;
  }

  // A second voice under the lead, in half notes (whole bars in a waltz); on every
  // other repeat after the first it moves in quarter notes.
  void CounterLine(const Line& line, double start, int heard, bool ornamented) {
    int tonic = style_.key + 24;
    bool quarters = heard % 2 == 0;
    double span = quarters ? 1 : (bar_ == 3 ? 3 : 2);
    int previous = line.degrees.front() - 2;
    for (double at = 0; at < kSectionBars * bar_; at += span) {
      int degree = CounterTone(line, at, previous, quarters, ornamented);
      if (degree == kNoTone) continue;
      previous = degree;
      bool downbeat = std::fmod(at, bar_) == 0;
      int key = Key(tonic, degree, line.chords[SlotAt(line, at)]);
      Add(start + at, span * 0.92, kCounter, key, downbeat ? 80 : 70);
    }
  }

  // The chord's inversion nearest to the last one, within the pad's register.
  std::array<int, 3> VoiceLead(int chord) {
    int tonic = style_.key + 12;
    std::array<int, 3> best = voicing_;
    int best_cost = 1 << 20;
    for (int inversion = 0; inversion < 3; ++inversion) {
      for (int octave = -1; octave <= 1; ++octave) {
        std::array<int, 3> v;
        for (int i = 0; i < 3; ++i) {
          int tone = inversion + i;
          v[i] = Key(tonic, chord + 2 * (tone % 3) + 7 * (tone / 3), chord) + 12 * octave;
        }
        int cost = std::abs(v[0] - voicing_[0]) + std::abs(v[1] - voicing_[1]) + std::abs(v[2] - voicing_[2]);
        bool in_range = v[0] >= style_.key + 7 && v[0] <= style_.key + 20;
        if (in_range && cost < best_cost) {
          best_cost = cost;
          best = v;
        }
      }
    }
    voicing_ = best;
    return best;
  }

  void Pad(double at, int chord, char kind) {
    std::array<int, 3> v = VoiceLead(chord);
    auto strike = [&](double offset, double length, int velocity) {
      for (int key : v) Add(at + offset, length, kPad, key, velocity);
    };
    int pattern = kind == 'A' ? style_.pad_pattern : (style_.pad_pattern == 2 ? 2 : 0);
    switch (pattern) {
      case 1:  // half bars, the second softer
        strike(0, bar_ / 2.0, 66);
        strike(bar_ / 2.0, bar_ / 2.0, 54);
        break;
      case 2:  // waltz: the chord on the second and third beats
        strike(1, 0.9, 58);
        strike(2, 0.9, 52);
        break;
      case 3:  // syncopated stabs
        strike(0, 0.5, 70);
        strike(1.5, 0.5, 62);
        strike(3, 0.75, 66);
        break;
      default: strike(0, bar_, 62);
    }
  }

  // `bar` counts from 0 within the section; -1 marks its last bar.
  void Bass(double at, int bar, int chord, int next_chord, char kind) {
    int low = style_.key - 12 < 28 ? style_.key : style_.key - 12;
    int root = Key(low, chord, chord);
    int fifth = Key(low, chord + 4, chord);
    switch (style_.bass_pattern) {
      case 0:  // pulsing eighths with an octave leap; halves in the bridge
        if (kind == 'B') {
          Add(at, 1.9, kBass, root, 100);
          Add(at + 2, 1.9, kBass, fifth, 90);
        } else {
          for (int e = 0; e < 8; ++e) {
            Add(at + e * 0.5, 0.45, kBass, e == 5 ? root + 12 : e == 7 ? fifth : root, e % 2 ? 84 : 104);
          }
        }
        break;
      case 1:  // waltz: root, then the fifth on every other bar; a section closes on the root
        Add(at, 0.95, kBass, bar % 2 == 1 ? fifth - 12 : root, 100);
        break;
      case 2:  // galloping sixteenths
        for (double b : {0.0, 0.5, 0.75, 1.0, 1.5, 1.75, 2.0, 2.5, 2.75, 3.0, 3.5, 3.75}) {
          Add(at + b, 0.22, kBass, b == 3.5 ? root + 12 : root, std::fmod(b, 1.0) == 0 ? 108 : 86);
        }
        break;
      case 3: {  // walking: root, third, fifth, then a half step into the next root
        int next_root = Key(low, next_chord, next_chord);
        int approach = next_root + (next_root - 1 == fifth ? 1 : -1);
        const int walk[3] = {root, Key(low, chord + 2, chord), fifth};
        for (int q = 0; q < 3; ++q) Add(at + q, 0.9, kBass, walk[q], q == 0 ? 100 : 88);
        Add(at + 3, 0.9, kBass, approach, 84);
        break;
      }
      default:  // held root with a fifth as pick-up
        Add(at, 2.5, kBass, root, 100);
        Add(at + 2.5, 1.5, kBass, fifth, 88);
    }
  }

  // Broken chords an octave above the pad; each repeat of a section takes the next
  // figure: rising and falling, falling and rising, then leaping.
  void Arpeggio(double at, int heard) {
    std::array<int, 4> tones = {voicing_[0] + 12, voicing_[1] + 12, voicing_[2] + 12, voicing_[0] + 24};
    constexpr int kFigures[3][8] = {{0, 1, 2, 3, 2, 1, 0, 1}, {3, 2, 1, 0, 1, 2, 3, 2}, {0, 2, 1, 3, 0, 2, 1, 3}};
    double step = style_.swing ? 1.0 : 0.5;
    int count = static_cast<int>(bar_ / step);
    const int* figure = kFigures[heard % 3];
    for (int e = 0; e < count; ++e) Add(at + e * step, step * 0.9, kArp, tones[figure[e % 8]], e == 0 ? 72 : 60);
  }

  // A fill may land on a beat the groove already strikes; one stroke is enough.
  bool AlreadyHit(double bar_start, double beat, int note) const {
    for (auto n = song_.notes.rbegin(); n != song_.notes.rend() && n->beat >= bar_start; ++n) {
      if (n->channel == kDrums && n->key == note && n->beat == beat) return true;
    }
    return false;
  }

  // One bar of drums: where it starts, whether it ends its section with a fill, whether
  // it belongs to a bridge, and how often its section was heard before.
  struct DrumBar {
    double at;
    bool fill, bridge;
    int heard;
  };

  void Hit(const DrumBar& bar, double beat, int note, int velocity) {
    if (!AlreadyHit(bar.at, Swung(bar.at + beat), note)) Add(bar.at + beat, 0.2, kDrums, note, velocity);
  }

  void Drums(double at, int bar, int bars, char kind, int heard, bool song_start) {
    DrumBar d{at, bar == bars - 1, kind == 'B', heard};
    if (bar == 0 && kind != 'I' && !song_start) Hit(d, 0, kCrash, 96);
    switch (style_.groove) {
      case 0: SynthPopBeat(d); break;
      case 1: WaltzBeat(d); break;
      case 2: DrivingBeat(d); break;
      case 3: ShuffleBeat(d); break;
      default: EpicBeat(d);
    }
  }

  // Kick on one and the and of three, a backbeat (half-time in the bridge), eighth hats.
  void SynthPopBeat(const DrumBar& d) {
    Hit(d, 0, kKick, 108);
    Hit(d, 2.5, kKick, 96);
    if (d.bridge) Hit(d, 2, kSnare, 100);
    else
      for (int b : {1, 3}) Hit(d, b, kSnare, 98);
    for (int e = 0; e < (d.fill ? 6 : 8); ++e) Hit(d, e * 0.5, e == 7 && d.heard ? kOpenHat : kHat, e % 2 ? 58 : 76);
    if (d.heard)
      for (int b : {1, 3}) Hit(d, b, kTambourine, 60);
    const int toms[4] = {kTomHigh, kTomHigh, kTomMid, kTomLow};
    if (d.fill)
      for (int s = 0; s < 4; ++s) Hit(d, 3 + s * 0.25, toms[s], 80 + s * 8);
  }

  // Kick on one, side stick on two and three, a pedal hat on every beat.
  void WaltzBeat(const DrumBar& d) {
    Hit(d, 0, kKick, 92);
    for (int b : {1, 2}) Hit(d, b, kSideStick, 56);
    for (int b = 0; b < 3; ++b) Hit(d, b, kPedalHat, b == 0 ? 66 : 52);
    if (d.heard) Hit(d, 1.5, kHat, 40);
    if (d.fill)
      for (double b : {2.0, 2.5}) Hit(d, b, kSnare, b == 2 ? 62 : 78);
  }

  // Four on the floor with sixteenth hats; a half-time ride in the bridge; tom runs.
  void DrivingBeat(const DrumBar& d) {
    for (int q = 0; q < 4; ++q) Hit(d, q, kKick, 112);
    if (d.bridge) {
      Hit(d, 2, kSnare, 108);
      for (int q = 0; q < 4; ++q) Hit(d, q, kRide, 70);
    } else {
      for (int b : {1, 3}) Hit(d, b, kSnare, 104);
      for (int s = 0; s < (d.fill ? 8 : 16); ++s) Hit(d, s * 0.25, s % 4 == 2 ? kOpenHat : kHat, s % 2 ? 48 : 68);
      if (d.heard) Hit(d, 3.75, kSnare, 50);
    }
    if (d.fill) {
      const int toms[8] = {kSnare, kSnare, kTomHigh, kTomHigh, kTomMid, kTomMid, kTomLow, kTomLow};
      for (int s = 0; s < 8; ++s) Hit(d, 2 + s * 0.25, toms[s], 78 + s * 5);
    }
  }

  // Kick and side stick, hats with their swung skip note; a shaker in the bridge.
  void ShuffleBeat(const DrumBar& d) {
    Hit(d, 0, kKick, 92);
    Hit(d, 2.5, kKick, 74);
    for (int b : {1, 3}) Hit(d, b, kSideStick, 70);
    for (int e = 0; e < 8; ++e) {
      if (d.bridge) Hit(d, e * 0.5, kShaker, e % 2 ? 44 : 58);
      else if (e % 2 == 0 || e == 3 || e == 7) Hit(d, e * 0.5, kHat, e % 2 ? 50 : 68);
    }
    if (d.fill)
      for (double b : {3.0, 3.5}) Hit(d, b, b == 3 ? kTomMid : kTomLow, 66);
  }

  // Half-time: kick, a big snare on three, toms rolling into the next section.
  void EpicBeat(const DrumBar& d) {
    Hit(d, 0, kKick, 110);
    Hit(d, 1.5, kKick, 84);
    Hit(d, 2, kSnare, 104);
    for (int q = 0; q < 4; ++q) Hit(d, q, kHat, d.heard ? 60 : 46);
    if (d.fill)
      for (int s = 0; s < 4; ++s) Hit(d, 3 + s * 0.25, s < 2 ? kTomMid : kTomLow, 84 + s * 8);
  }

  const TuneStyle& style_;
  int bar_;
  Rng rng_;
  Song song_;
  std::map<std::pair<char, int>, Line> lines_;
  std::array<int, 3> voicing_{};
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
  // Time signature: beats per bar over quarter notes, 24 clocks per click, 8 32nds per quarter.
  events.push_back({0, 0, std::string("\xFF\x58\x04", 3) + char(song.beats_per_bar) + char(2) + char(24) + char(8)});
  for (int ch : {kLead, kPad, kBass, kArp, kCounter, kDrums}) {
    if (ch != kDrums) events.push_back({0, 0, {char(0xC0 | ch), char(song.programs[ch])}});
    events.push_back({0, 0, {char(0xB0 | ch), 7, char(song.volumes[ch])}});
    events.push_back({0, 0, {char(0xB0 | ch), 91, char(ch == kPad || ch == kLead || ch == kCounter ? 50 : 25)}});
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

// The four game tunes and the intro. Chords are scale degrees of the key (in minor:
// 0 = i, 5 = VI, 2 = III, 6 = VII, 3 = iv, 4 = V with a raised leading tone; in major:
// 0 = I, 1 = ii, 3 = IV, 4 = V, 5 = vi). Verses close V-i; bridges stop on V so the
// section that follows resolves them.
// Each entry: file, tempo, beats per bar, swing, key, major; verse, chorus and bridge
// chords; form; band; groove, bass and pad patterns; verse, chorus and bridge melodic
// rhythms; contour, level, seed.
// clang-format off
const TuneStyle kTunes[] = {
    // Main menu: a bright mid-tempo synth theme in major, pulsing bass, an arching melody.
    {"Track1.mid", 96, 4, false, 45, true,
     {0, 5, 3, 4, 0, 5, 4, 0}, {3, 4, 2, 5, 1, 4, 0, 0}, {5, 2, 3, 0, 5, 2, 1, 4}, "IACBA", {81, 62, 89, 38, -1},
     0, 0, 1,
     {{0, 1.5}, {1.5, 0.5}, {2, 1}, {3, 1}, {4, 0.5}, {4.5, 0.5}, {5, 1}, {6, 2}},
     {{0, 1}, {1, 1}, {2, 0.5}, {2.5, 0.5}, {3, 1}, {4, 2}, {6, 1}, {7, 1}},
     {{0, 2}, {2, 1}, {3, 1}, {4, 3}, {7, 1}},
     0, 100, 11},
    // Episode selection: a gentle waltz in major, electric piano and flute over strings and harp.
    {"Track2.mid", 86, 3, false, 38, true,
     {0, 3, 4, 0, 5, 1, 4, 0}, {5, 2, 3, 0, 3, 1, 4, 4}, {1, 4, 0, 5, 1, 4, 3, 4}, "IACBCA", {4, 73, 48, 32, 46},
     1, 1, 2,
     {{0, 2}, {2, 1}, {3, 1.5}, {4.5, 0.5}, {5, 1}},
     {{0, 1}, {1, 0.5}, {1.5, 0.5}, {2, 1}, {3, 2}, {5, 1}},
     {{0, 1}, {1, 1}, {2, 1}, {3, 3}},
     1, 113, 22},
    // Shooter: fast and driving, galloping bass, stabbing chords, a rising guitar line.
    {"Track3.mid", 140, 4, false, 40, false,
     {0, 0, 5, 6, 0, 5, 4, 0}, {5, 6, 0, 0, 5, 6, 4, 4}, {3, 5, 6, 0, 3, 5, 6, 4}, "IAACBCA", {29, 61, 50, 38, 81},
     2, 2, 3,
     {{0, 0.5}, {0.5, 0.5}, {1, 0.75}, {1.75, 0.75}, {2.5, 0.5}, {3, 1},
      {4, 0.5}, {4.5, 0.5}, {5, 0.5}, {5.5, 0.5}, {6, 0.75}, {6.75, 1.25}},
     {{0, 1}, {1, 0.5}, {1.5, 0.5}, {2, 1}, {3, 1}, {4, 1.5}, {5.5, 0.5}, {6, 2}},
     {{0, 1}, {1, 1}, {2, 2}, {4, 1}, {5, 1}, {6, 1}, {7, 1}},
     2, 109, 33},
    // Quiz and memory: a slow, tense shuffle for thinking, vibraphone over a walking bass.
    {"Track4.mid", 88, 4, true, 48, false,
     {0, 5, 3, 4, 0, 5, 4, 0}, {3, 3, 0, 0, 5, 6, 4, 4}, {3, 0, 5, 2, 3, 6, 3, 4}, "IACBA", {11, 71, 94, 35, 8},
     3, 3, 0,
     {{0, 0.5}, {0.5, 1.5}, {2, 0.5}, {2.5, 0.5}, {3, 1}, {4, 0.5}, {4.5, 0.5}, {5, 0.5}, {5.5, 2.5}},
     {{0, 1}, {1, 0.5}, {1.5, 0.5}, {2, 2}, {4, 0.5}, {4.5, 0.5}, {5, 1}, {6, 2}},
     {{0, 3}, {3, 0.5}, {3.5, 0.5}, {4, 2}, {6, 1}, {7, 1}},
     3, 122, 44},
};

// The intro: an epic half-time theme for horn, strings and choir.
const TuneStyle kIntroTune = {"Intro.mp3", 92, 4, false, 41, false,
     {0, 5, 2, 6, 3, 5, 4, 0}, {5, 2, 6, 0, 5, 3, 4, 4}, {5, 6, 0, 2, 3, 6, 3, 4}, "IACBA", {60, 48, 52, 43, -1},
     4, 4, 0,
     {{0, 1.5}, {1.5, 0.5}, {2, 2}, {4, 1}, {5, 1}, {6, 2}},
     {{0, 2}, {2, 1}, {3, 1}, {4, 1}, {5, 0.5}, {5.5, 0.5}, {6, 2}},
     {{0, 3}, {3, 1}, {4, 2}, {6, 2}},
     1, 100, 55};
// clang-format on

}  // namespace

void MakeMusic(Output& out) {
  for (const TuneStyle& tune : kTunes) out.SaveBytes(std::string("Sfx/") + tune.file, EncodeMidi(Compose(tune)));
  Song intro = Compose(kIntroTune);
  std::vector<short> audio = RenderSong(intro, "/usr/share/sounds/sf2/TimGM6mb.sf2");
  out.SaveBytes("Sfx/Intro.mp3", audio.empty() ? std::string() : EncodeMp3(audio, 112));
}

}  // namespace assetgen
