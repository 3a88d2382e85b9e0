// The rules of the memory game that do not depend on the screen: the level table, the
// deal of pictures onto the board, and the texts the board shows.
#pragma once

#include <array>
#include <string>

namespace vark::memory {

inline constexpr int kColumns = 6;
inline constexpr int kRows = 4;
inline constexpr int kCells = kColumns * kRows;
inline constexpr int kFaces = 9;  // face pictures Tel1 .. Tel9

// What a level deals and how fast its time runs.
struct LevelRule {
  int pairs;   // pair parameter: the board holds pairs + 1 pairs
  int tickMs;  // interval of the level timer
};

// The rule for a level index (0 = the first level); every index above 7 uses the last row.
LevelRule RuleFor(int lvl);

// Picture number of every cell (1 .. kFaces); 0 = an empty cell.
using Board = std::array<int, kCells>;

// Deals pairs + 1 pairs: the pictures 1 .. pairs + 1, each on two random free cells.
// Draws come from the program's one generator and are retried until they hit a picture
// not yet dealt or a free cell.
Board Deal(int pairs);

// The picture file of a face: "Gfx\Tel3.jpg" for picture 3.
std::string FaceName(int picture);

// " 1 / 4 ": pairs found over pairs dealt, each number with its sign position.
std::string StatsText(int found, int dealt);

// " 1 ": the level number the board shows for a level index.
std::string LevelNumberText(int lvl);

// "УРОВЕНЬ 2": the level panel's text for a level index.
std::string LevelPanelText(int lvl);

}  // namespace vark::memory
