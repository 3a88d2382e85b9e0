// A MIDI file's structure is checked before FluidSynth reads it: the game's own tunes pass,
// and files whose chunks or events claim more bytes than they hold are refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/sound/midi_check.h"

namespace vark {
namespace {

std::string FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A one-track file around the given track bytes (the track's length as given, or its true one).
std::string MidiFile(const std::string& track, long claimedLength = -1) {
  unsigned long length = claimedLength < 0 ? track.size() : static_cast<unsigned long>(claimedLength);
  std::string head("MThd\0\0\0\x06\0\0\0\x01\x01\xE0MTrk", 18);
  for (int shift = 24; shift >= 0; shift -= 8) head += static_cast<char>((length >> shift) & 0xFF);
  return head + track;
}

TEST(MidiCheck, TheGamesTunesPass) {
  for (const char* tune : {"Track1.mid", "Track2.mid", "Track3.mid", "Track4.mid"}) {
    std::string bytes = FileBytes(std::filesystem::path(VARK_GAME_DIR) / "Sfx" / tune);
    ASSERT_FALSE(bytes.empty()) << tune;
    EXPECT_EQ(MidiStructureProblem(bytes), "") << tune;
  }
  const std::string note("\x00\x90\x3C\x64\x60\x3C\x00\x00\xFF\x2F\x00", 11);  // running status for the release
  EXPECT_EQ(MidiStructureProblem(MidiFile(note)), "");
}

TEST(MidiCheck, ChunksAndEventsThatClaimMoreThanTheFileHoldsAreRefused) {
  // Found by fuzzing: after a tempo event a data byte with no status, which FluidSynth reads
  // as another meta event whose length (0x0FFFFFFF) it allocates at once.
  const std::string fuzzed("\x00\xFF\x51\x03\xFF\xFF\x90\x3C\x64\xFF\xFF\xFF\x7F\x80\x3C\x00\x00\xFF\x2F\x00", 20);
  EXPECT_EQ(MidiStructureProblem(MidiFile(fuzzed)), "a data byte with no status before it");
  const std::string hugeMeta("\x00\xFF\x01\xFF\xFF\xFF\x7F", 7);
  EXPECT_EQ(MidiStructureProblem(MidiFile(hugeMeta)), "an event claims more bytes than its track holds");
  const std::string hugeSysex("\x00\xF0\x83\x60\x01\x02", 6);
  EXPECT_EQ(MidiStructureProblem(MidiFile(hugeSysex)), "an event claims more bytes than its track holds");
  EXPECT_EQ(MidiStructureProblem(MidiFile(std::string("\x00\x90\x3C", 3), 1000)),
            "a chunk runs past the end of the file");
  EXPECT_EQ(MidiStructureProblem(MidiFile(std::string("\x00\x90\x3C", 3))), "a track ends inside an event");
  EXPECT_EQ(MidiStructureProblem(MidiFile(std::string("\x00\xF2\x01\x02", 4))),
            "a system message that has no place in a file");
  EXPECT_EQ(MidiStructureProblem(MidiFile(std::string("\x81\x82\x83\x84\x05", 5))),
            "an event's time runs past its track");
}

}  // namespace
}  // namespace vark
