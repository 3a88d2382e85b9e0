// Small MIDI files the sound tests make: one that would sound for centuries, and one
// steady note.
#pragma once

#include <string>

namespace vark {

// One note lasting 2^28 ticks at the slowest tempo: centuries of sound from 44 bytes.
inline std::string EndlessMidi() {
  using namespace std::string_literals;
  std::string track =
      "\x00\xFF\x51\x03\xFF\xFF\xFF"s  // tempo: 16.7 s a beat
      "\x00\x90\x3C\x64"s              // note on
      "\xFF\xFF\xFF\x7F\x80\x3C\x00"s  // note off 2^28 - 1 ticks later
      "\x00\xFF\x2F\x00"s;             // end of track
  return "MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x01"s + "MTrk\x00\x00\x00"s + char(track.size()) + track;
}

// An organ note held for three seconds (120 beats a minute, 480 ticks a beat): it sounds
// the whole time, so any gap in it is silence.
inline std::string OrganMidi() {
  using namespace std::string_literals;
  std::string track =
      "\x00\xC0\x13"s          // church organ
      "\x00\x90\x3C\x64"s      // note on
      "\x96\x40\x80\x3C\x00"s  // note off 2880 ticks (3 s) later
      "\x00\xFF\x2F\x00"s;
  return "MThd\x00\x00\x00\x06\x00\x00\x00\x01\x01\xE0"s + "MTrk\x00\x00\x00"s + char(track.size()) + track;
}

}  // namespace vark
