// Writes the game's whole data folder: pictures, sounds, music, faces and quiz
// questions, all made here from fixed seeds, so every run writes the same bytes.
// Usage: assetgen OUTPUT_DIR [CONTACT_SHEET.png], or assetgen --icons ICON_DIR for the
// desktop icons alone.
#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <filesystem>
#include <string_view>

#include "generators.h"
#include "icon.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: assetgen OUTPUT_DIR [CONTACT_SHEET.png]\n");
    return 2;
  }
  if (argc == 3 && std::string_view(argv[1]) == "--icons") return assetgen::WriteIcons(argv[2]) ? 0 : 1;
  std::filesystem::path root = argv[1];
  std::filesystem::path sheet = argc > 2 ? std::filesystem::path(argv[2]) : root.parent_path() / "contact_sheet.png";
  if (root.filename().empty()) sheet = root.parent_path().parent_path() / "contact_sheet.png";
  IMG_Init(IMG_INIT_JPG | IMG_INIT_PNG);

  assetgen::Output out(root);
  assetgen::MakeBackgrounds(out);
  assetgen::MakeQuizScenes(out);
  assetgen::MakeTiles(out);
  assetgen::MakeQuizMonsters(out);
  assetgen::MakeSprites(out);
  assetgen::MakeFaces(out);
  assetgen::MakeVoxelMaps(out);
  assetgen::MakeSounds(out);
  assetgen::MakeMusic(out);
  assetgen::MakeQuizFile(out);
  bool sheet_ok = assetgen::WriteContactSheet(out, sheet);

  IMG_Quit();
  if (out.failures() > 0 || !sheet_ok) return 1;
  return 0;
}
