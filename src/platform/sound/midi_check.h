// A MIDI file's structure checked before the synthesiser reads it: every chunk and every
// event must lie inside the bytes the file holds. FluidSynth allocates what a meta or
// system-exclusive event says it holds before it looks whether the file has that much, so
// a file of a few dozen bytes could claim (and cost) 256 MB.
#pragma once

#include <string>
#include <string_view>

namespace vark {

// What is wrong with the file's structure, in a few words; empty when every chunk and
// event fits.
std::string MidiStructureProblem(std::string_view bytes);

}  // namespace vark
