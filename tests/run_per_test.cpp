// Each test runs in a run of its own: whatever the platform or the game keeps for a run
// (caches, the forms, "said once" lists) starts empty for every test and goes when it
// ends, also in tests that use no driver, so nothing leaks from one test into the next.
#include <gtest/gtest.h>

#include <memory>

#include "platform/base/run_state.h"

namespace {

class FreshRunPerTest : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override { run_ = std::make_unique<vark::RunState>(); }
  void OnTestEnd(const testing::TestInfo&) override { run_.reset(); }

  std::unique_ptr<vark::RunState> run_;
};

const bool kRegistered = [] {
  testing::UnitTest::GetInstance()->listeners().Append(new FreshRunPerTest);
  return true;
}();

}  // namespace
