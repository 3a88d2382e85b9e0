#include "noise.h"

#include <cmath>

#include "rng.h"

namespace assetgen {

namespace {
double Fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }
int Wrap(int i, int n) { return ((i % n) + n) % n; }
}  // namespace

PeriodicNoise::PeriodicNoise(uint64_t seed, int period) : period_(period), angles_(period * period) {
  Rng rng(seed);
  for (double& a : angles_) a = rng.Range(0, 2 * M_PI);
}

double PeriodicNoise::Corner(int ix, int iy, double fx, double fy) const {
  double a = angles_[Wrap(iy, period_) * period_ + Wrap(ix, period_)];
  return std::cos(a) * fx + std::sin(a) * fy;
}

double PeriodicNoise::At(double u, double v) const {
  double x = u * period_, y = v * period_;
  int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
  double fx = x - ix, fy = y - iy;
  double top = std::lerp(Corner(ix, iy, fx, fy), Corner(ix + 1, iy, fx - 1, fy), Fade(fx));
  double bottom = std::lerp(Corner(ix, iy + 1, fx, fy - 1), Corner(ix + 1, iy + 1, fx - 1, fy - 1), Fade(fx));
  return std::lerp(top, bottom, Fade(fy)) * 1.41;
}

FractalNoise::FractalNoise(uint64_t seed, int base_period, int octaves, double persistence) {
  double weight = 1, total = 0;
  for (int i = 0; i < octaves; ++i) {
    layers_.emplace_back(seed * 31 + i, base_period << i);
    weights_.push_back(weight);
    total += weight;
    weight *= persistence;
  }
  for (double& w : weights_) w /= total;
}

double FractalNoise::At(double u, double v) const {
  double sum = 0;
  for (size_t i = 0; i < layers_.size(); ++i) sum += weights_[i] * layers_[i].At(u, v);
  return sum;
}

}  // namespace assetgen
