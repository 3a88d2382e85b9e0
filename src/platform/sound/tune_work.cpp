#include "platform/sound/tune_work.h"

#include <algorithm>
#include <chrono>
#include <limits>

#include <pthread.h>

namespace vark {

namespace {
// Frames measured in one go on the worker (a few milliseconds of its time), between two
// looks at the streams.
constexpr size_t kMeasureFrames = 4096;

void MoveToFront(std::deque<std::string>& queue, const std::string& path) {
  auto found = std::find(queue.begin(), queue.end(), path);
  if (found == queue.begin() && found != queue.end()) return;
  if (found != queue.end()) queue.erase(found);
  queue.push_front(path);
}

}  // namespace

struct TuneWork::State {
  Setup setup;
  std::shared_ptr<SynthPool> synths;
  std::mutex mutex;
  std::condition_variable wake;
  std::condition_variable settled;
  struct Playing {
    std::weak_ptr<TuneStream> stream;  // a stream no channel holds any more is let go
    std::string path;
  };
  std::vector<Playing> streams;     // streams still being filled
  std::deque<std::string> waiting;  // tunes to measure, the most wanted first
  std::map<std::string, TuneLevel> levels;
  std::set<std::string> unmeasurable;
  // The measure under way (the driver's own).
  std::string measuring;
  std::unique_ptr<LevelMeasure> measure;
  bool synthReady = false;
  bool woken = false;
  bool quit = false;
  bool busy = false;
};

TuneWork::TuneWork(Setup setup, Driver driver) : state_(std::make_shared<State>()), driver_(driver) {
  state_->synths = std::make_shared<SynthPool>(setup.soundFont);
  state_->setup = std::move(setup);
  if (driver_ == Driver::kWorkerThread) worker_ = std::thread([state = state_] { WorkerLoop(state); });
  else slices_ = std::make_unique<Timer>("TuneWork", 0, [this] { SliceOnTimer(); });
  Wake();  // the synthesiser that plays is made, and its font loaded, first
}

TuneWork::~TuneWork() {
  if (!worker_.joinable()) return;
  {
    std::lock_guard lock(state_->mutex);
    state_->quit = true;
  }
  state_->wake.notify_all();
  worker_.join();
}

std::shared_ptr<SynthPool> TuneWork::Synths() const { return state_->synths; }

std::shared_ptr<TuneStream> TuneWork::Start(const std::string& path, SoundUse use) {
  const Setup& setup = state_->setup;
  double maxSeconds = setup.limits.MaxSeconds(use);
  auto open = [path, maxSeconds, &setup, synths = state_->synths](std::string& problem) {
    std::unique_ptr<TuneDecoder> decoder;
    if (auto bytes = ReadSoundBytes(path, setup.limits, problem)) {
      decoder = NewTuneDecoder(*bytes, setup.device, synths, maxSeconds, setup.limits);
      if (!decoder) problem = "not a MIDI or MP3 file";
    }
    return decoder;
  };
  auto ringFrames = static_cast<size_t>(kRingSeconds * setup.device.rate);
  auto stream = std::make_shared<TuneStream>(open, setup.device.channels, ringFrames, setup.device.rate / 10);
  {
    std::lock_guard lock(state_->mutex);
    state_->streams.push_back({stream, path});
  }
  Wake();
  return stream;
}

void TuneWork::Measure(const std::string& path) {
  {
    std::lock_guard lock(state_->mutex);
    state_->waiting.push_back(path);
  }
  Wake();
}

void TuneWork::Wake() {
  if (driver_ == Driver::kGameThread) {
    if (slices_->Interval() != kSliceEveryMs) slices_->SetInterval(kSliceEveryMs);
    return;
  }
  {
    std::lock_guard lock(state_->mutex);
    state_->woken = true;
  }
  state_->wake.notify_all();
}

void TuneWork::SliceOnTimer() {
  bool measuring = Round(*state_, true);
  std::lock_guard lock(state_->mutex);
  int beat = measuring ? kSliceEveryMs : state_->streams.empty() ? 0 : kRefillMs;
  if (slices_->Interval() != beat) slices_->SetInterval(beat);
}

void TuneWork::WaitUntilSettled() {
  auto settled = [&] {
    bool opened = std::all_of(state_->streams.begin(), state_->streams.end(), [](const State::Playing& p) {
      auto stream = p.stream.lock();
      return !stream || stream->Opened();
    });
    return opened && state_->waiting.empty() && !state_->measure && !state_->busy;
  };
  if (driver_ == Driver::kGameThread) {
    while (!settled()) Round(*state_, true);
    return;
  }
  std::unique_lock lock(state_->mutex);
  state_->woken = true;
  state_->wake.notify_all();
  state_->settled.wait(lock, settled);
}

void TuneWork::WorkerLoop(const std::shared_ptr<State>& state) {
#ifdef __linux__
  pthread_setname_np(pthread_self(), "vark-tunes");  // as tools that list threads show it
#endif
  for (bool more = false;;) {
    {
      std::unique_lock lock(state->mutex);
      state->busy = false;
      state->settled.notify_all();
      auto due = [&] { return state->quit || state->woken || more; };
      // Streams are topped up on a beat; with none, the worker sleeps until asked.
      if (state->streams.empty()) state->wake.wait(lock, due);
      else state->wake.wait_for(lock, std::chrono::milliseconds(kRefillMs), due);
      if (state->quit) return;
      state->woken = false;
      state->busy = true;
    }
    more = Round(*state, false);
  }
}

void TuneWork::ReadySynthesiser(State& state) {
  const int rate = state.setup.device.rate;
  if (_fluid_synth_t* synth = state.synths->Take(rate)) state.synths->Return(rate, synth);
}

bool TuneWork::Round(State& state, bool small) {
  if (!state.synthReady) {
    state.synthReady = true;
    ReadySynthesiser(state);
  }
  FillStreams(state, small);
  return MeasureSome(state, small);
}

void TuneWork::FillStreams(State& state, bool small) {
  std::vector<State::Playing> streams;
  {
    std::lock_guard lock(state.mutex);
    streams = state.streams;
  }
  for (State::Playing& playing : streams) {
    std::shared_ptr<TuneStream> held = playing.stream.lock();
    if (!held) {
      Forget(state, playing.stream);
      continue;
    }
    TuneStream& stream = *held;
    if (!stream.HasLevel()) {
      std::lock_guard lock(state.mutex);
      auto level = state.levels.find(playing.path);
      if (level != state.levels.end()) stream.SetLevel(level->second, state.setup.device.rate);
      else if (!state.unmeasurable.count(playing.path) && playing.path != state.measuring)
        MoveToFront(state.waiting, playing.path);  // asked for: measured next
    }
    if (stream.Fill(small ? kSliceFrames : std::numeric_limits<size_t>::max())) continue;
    if (!stream.Problem().empty() && state.setup.report) state.setup.report(playing.path, stream.Problem());
    Forget(state, playing.stream);
  }
}

void TuneWork::Forget(State& state, const std::weak_ptr<TuneStream>& stream) {
  std::lock_guard lock(state.mutex);
  std::erase_if(state.streams, [&](const State::Playing& p) {
    return !p.stream.owner_before(stream) && !stream.owner_before(p.stream);
  });
}

bool TuneWork::MeasureSome(State& state, bool small) {
  if (!state.measure) {
    std::string path;
    {
      std::lock_guard lock(state.mutex);
      while (!state.waiting.empty() && path.empty()) {
        path = state.waiting.front();
        state.waiting.pop_front();
        if (state.levels.count(path) || state.unmeasurable.count(path)) path.clear();
      }
      state.measuring = path;
    }
    if (path.empty()) return false;
    std::string problem;
    auto bytes = ReadSoundBytes(path, state.setup.limits, problem);
    state.measure = bytes ? std::make_unique<LevelMeasure>(*bytes, state.synths, state.setup.limits) : nullptr;
    if (!state.measure) {
      std::lock_guard lock(state.mutex);
      state.unmeasurable.insert(path);
      state.measuring.clear();
      return true;
    }
  }
  if (state.measure->Step(small ? kMeasureSliceFrames : kMeasureFrames)) return true;
  std::lock_guard lock(state.mutex);
  if (state.measure->Failed()) state.unmeasurable.insert(state.measuring);
  else state.levels[state.measuring] = state.measure->Level();
  state.measure.reset();
  state.measuring.clear();
  return !state.waiting.empty();
}

}  // namespace vark
