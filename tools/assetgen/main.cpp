// Writes the game's data folder. Placeholder until the generator lands.
#include <cstdio>
int main(int argc, char** argv) {
  if (argc < 2) { std::fprintf(stderr, "usage: assetgen OUTPUT_DIR\n"); return 2; }
  return 0;
}
