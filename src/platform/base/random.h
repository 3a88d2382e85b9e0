// The program's one random generator. Seeded once from the clock at start; tests seed it.
#pragma once

#include <cstdint>

namespace vark {

// Uniform in [0, 1).
double Rnd();

// Restarts the sequence from a seed (tests; the game seeds once at start).
void Randomize(uint64_t seed);

// Seeds from the real clock.
void RandomizeFromClock();

// Integer part of n x Rnd(): uniform in 0 .. n-1 for n > 0.
int RndInt(int n);

}  // namespace vark
