// The parts of the data folder, one function per kind of content. Each writes
// its files through the Output and seeds its own random generators.
#pragma once

#include "output.h"

namespace assetgen {

void MakeBackgrounds(Output& out);   // Texture0, Texture1, mount, stone
void MakeQuizScenes(Output& out);    // Enterin map, ios, End2, Win2
void MakeTiles(Output& out);         // memory tiles Tel1..Tel9 and Blank
void MakeQuizMonsters(Output& out);  // monsters, their death frames and triumph pictures
void MakeSprites(Output& out);       // shooter sprites, pointers, quiz markers
void MakeFaces(Output& out);         // VarKers faces
void MakeVoxelMaps(Output& out);     // title, height and texture GIFs
void MakeSounds(Output& out);        // WAV effects
void MakeMusic(Output& out);         // MIDI tracks and the intro MP3
void MakeQuizFile(Output& out);      // Quest.dat

// One PNG with every picture written so far, each captioned with its name.
bool WriteContactSheet(const Output& out, const std::filesystem::path& path);

}  // namespace assetgen
