#include "platform/base/random.h"

#include <chrono>
#include <random>

#include "platform/base/run_state.h"

namespace vark {
namespace {
struct Generator {
  std::mt19937_64 engine{5489u};
};
std::mt19937_64& Engine() { return CurrentRun().Get<Generator>().engine; }
}  // namespace

double Rnd() {
  // 53 random bits make a double in [0, 1) with every value equally likely.
  return static_cast<double>(Engine()() >> 11) * (1.0 / 9007199254740992.0);
}

void Randomize(uint64_t seed) { Engine().seed(seed); }

void RandomizeFromClock() {
  Randomize(static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
            static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
}

int RndInt(int n) { return static_cast<int>(n * Rnd()); }

}  // namespace vark
