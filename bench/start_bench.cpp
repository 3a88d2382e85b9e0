// A start of the game as its sound system sees it: the tunes are prepared as main does,
// then each tune is asked for in turn, as a player would meet them, and played for a few
// seconds; the menu's tune then plays on. The first is asked for when the menu would ask. Prints, for each tune, the
// time from asking to the first sample that is not silence (as the mixer mixes it), then the processor time of the
// first 30 s and the peak memory. With --busy, two busy loops run beside it. Usage: start_bench [--busy] [GAME_DIR]
// (SDL's dummy driver unless SDL_AUDIODRIVER is set)
#include <SDL.h>
#include <SDL_mixer.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/run_state.h"
#include "platform/sound/media.h"
#include "platform/sound/sdl_mixer_output.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::vector<std::string> kTunes = {"Track1.mid", "Track2.mid", "Track3.mid", "Track4.mid", "Intro.mp3"};
constexpr int kSecondsEach = 3;
constexpr int kSecondsInAll = 30;
constexpr int kAudible = 33;  // -60 dBFS
constexpr int kMenuAsksAfterMs = 110;

std::atomic<int64_t> firstSoundNs{0};

int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

// Notes when the mix first holds sound after each ask.
void Listen(int, void* stream, int bytes, void*) {
  const auto* samples = static_cast<const int16_t*>(stream);
  for (int i = 0; i < bytes / 2; ++i) {
    if (std::abs(samples[i]) >= kAudible) {
      int64_t none = 0;
      firstSoundNs.compare_exchange_strong(none, NowNs());
      return;
    }
  }
}

// The loop's part between events, for as long as given.
void PumpFor(Clock::duration span) {
  for (auto until = Clock::now() + span; Clock::now() < until;) {
    vark::Audio().Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long PeakMemoryKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

std::vector<pid_t> StartBusyLoops(int count) {
  std::vector<pid_t> loops;
  for (int i = 0; i < count; ++i) {
    pid_t pid = fork();
    if (pid == 0) {
      execl("/bin/sh", "sh", "-c", "while :; do :; done", static_cast<char*>(nullptr));
      _exit(127);
    }
    if (pid > 0) loops.push_back(pid);
  }
  return loops;
}

}  // namespace

int main(int argc, char** argv) {
  bool busy = argc > 1 && std::strcmp(argv[1], "--busy") == 0;
  std::string gameDir = argc > 1 + busy ? argv[1 + busy] : VARK_GAME_DIR;
  if (chdir(gameDir.c_str()) != 0) {
    std::fprintf(stderr, "start_bench: no game folder %s\n", gameDir.c_str());
    return 1;
  }
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  std::vector<pid_t> loops = busy ? StartBusyLoops(2) : std::vector<pid_t>{};
  auto started = Clock::now();
  vark::RunState run;
  SDL_Init(0);
  vark::OpenRealAudio();
  if (!Mix_QuerySpec(nullptr, nullptr, nullptr)) return 1;
  Mix_RegisterEffect(MIX_CHANNEL_POST, Listen, nullptr, nullptr);
  vark::PrepareSounds({"Sfx\\Track1.mid", "Sfx\\Track2.mid", "Sfx\\Track3.mid", "Sfx\\Track4.mid"});
  std::printf("%s, %s driver\n", busy ? "beside two busy loops" : "idle", SDL_GetCurrentAudioDriver());
  std::printf("%-12s %20s\n", "tune", "asked to sound (ms)");
  vark::MediaPlayer channel("bench");
  // The menu asks for its tune on its timers, 110 ms after it is loaded.
  PumpFor(std::chrono::milliseconds(kMenuAsksAfterMs));
  for (const std::string& tune : kTunes) {
    channel.SetFileName("Sfx\\" + tune);
    firstSoundNs = 0;
    int64_t asked = NowNs();
    channel.Play();
    PumpFor(std::chrono::seconds(kSecondsEach));
    int64_t heard = firstSoundNs;
    if (heard == 0) std::printf("%-12s %20s\n", tune.c_str(), "none in 3 s");
    else std::printf("%-12s %20.1f\n", tune.c_str(), (heard - asked) / 1e6);
    channel.Stop();
  }
  channel.SetFileName("Sfx\\Track1.mid");
  channel.Play();
  PumpFor(started + std::chrono::seconds(kSecondsInAll) - Clock::now());
  std::printf("processor time in the first %d s: %.2f s\n", kSecondsInAll, ProcessCpuSeconds());
  std::printf("peak resident memory: %.1f MB\n", PeakMemoryKb() / 1024.0);
  for (pid_t loop : loops) {
    kill(loop, SIGTERM);
    waitpid(loop, nullptr, 0);
  }
  channel.Stop();
  vark::SetAudioBackend(nullptr);
  Mix_CloseAudio();
  return 0;
}
