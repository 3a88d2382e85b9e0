// Gradient noise that wraps around a whole number of cells, so textures and
// height maps built from it tile without seams.
#pragma once

#include <cstdint>
#include <vector>

namespace assetgen {

class PeriodicNoise {
 public:
  // `period` lattice cells across the unit square; the noise repeats every 1.0 in x and y.
  PeriodicNoise(uint64_t seed, int period);
  // Smooth value in about [-1, 1] at (u, v), both in lattice-independent units (1.0 = one tile).
  double At(double u, double v) const;

 private:
  double Corner(int ix, int iy, double fx, double fy) const;
  int period_;
  std::vector<double> angles_;
};

// Sum of octaves with doubling periods starting at `base_period`; result roughly in [-1, 1].
class FractalNoise {
 public:
  FractalNoise(uint64_t seed, int base_period, int octaves, double persistence = 0.5);
  double At(double u, double v) const;

 private:
  std::vector<PeriodicNoise> layers_;
  std::vector<double> weights_;
};

}  // namespace assetgen
