// The runtime's timers and form life cycle, driven on the virtual clock.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/forms/screen.h"
#include "support/driver.h"

namespace vark {
namespace {

class Probe : public Form {
 public:
  Probe() : Form("Probe") {}
  void Form_Load() override { ++loads; }

  int loads = 0;
  std::vector<std::string> ticks;
  Timer& One = AddTimer("One", 0, [this] { OnOne(); });
  Timer& Two = AddTimer("Two", 0, [this] { OnTwo(); });
  Timer& Slow = AddTimer("Slow", 0, [this] { OnSlow(); });
  BtnEnh& Button = AddButton("Button", {1500, 1500, 1500, 750}, "&Старт");
  Image& Picture = AddImage("Picture", {0, 0, 750, 750});
  std::function<void()> onOne, onTwo;

  void OnOne() {
    ticks.push_back("One@" + std::to_string(App::Get().Now()));
    if (onOne) onOne();
  }
  void OnTwo() {
    ticks.push_back("Two@" + std::to_string(App::Get().Now()));
    if (onTwo) onTwo();
  }
  void OnSlow() {
    ticks.push_back("Slow@" + std::to_string(App::Get().Now()));
    App::Get().GetClock().Pause(55);  // a handler that runs long
  }
};

class Other : public Form {
 public:
  Other() : Form("Other") {}
};

TEST(Timers, OneShotChainRunsEachStepOnceInOrder) {
  Driver d;
  auto& p = d.Get<Probe>();
  p.onOne = [&] {
    p.One.SetInterval(0);
    p.Two.SetInterval(1);
  };
  p.onTwo = [&] { p.Two.SetInterval(0); };
  p.One.SetInterval(500);
  d.Advance(1000);
  EXPECT_EQ(p.ticks, (std::vector<std::string>{"One@500", "Two@501"}));
}

TEST(Timers, NewIntervalRestartsTheCountAndZeroStops) {
  Driver d;
  auto& p = d.Get<Probe>();
  p.One.SetInterval(100);
  d.Advance(90);
  p.One.SetInterval(100);  // restarts: next tick at 190, not 100
  d.Advance(120);
  p.One.SetInterval(0);
  d.Advance(500);
  EXPECT_EQ(p.ticks, (std::vector<std::string>{"One@190"}));
}

TEST(Timers, MissedTicksCollapseIntoOne) {
  Driver d;
  auto& p = d.Get<Probe>();
  p.One.SetInterval(10);
  p.Slow.SetInterval(5);
  p.onOne = [&] {};
  d.Advance(5);  // Slow runs 55 ms: One misses five ticks
  d.Advance(5);
  int ones = 0;
  for (auto& t : p.ticks) ones += t.rfind("One", 0) == 0;
  EXPECT_EQ(ones, 1);
  EXPECT_EQ(p.ticks.front(), "Slow@5");
}

TEST(Timers, HandlerSlowerThanItsIntervalFiresOncePerPass) {
  Driver d;
  auto& p = d.Get<Probe>();
  p.Slow.SetInterval(5);
  d.Advance(5);  // the first tick runs until 60
  App::Get().DoEvents();
  // Due again at 10 and meanwhile at 65, but one pass fires it once, then reads input.
  EXPECT_EQ(p.ticks, (std::vector<std::string>{"Slow@5", "Slow@60"}));
}

TEST(Timers, HandlerThatThrowsLeavesItsTimerRunning) {
  Driver d;
  auto& p = d.Get<Probe>();
  p.onOne = [&] {
    if (p.ticks.size() == 1) throw std::runtime_error("a loop stopped from outside");
  };
  p.One.SetInterval(10);
  EXPECT_THROW(d.Advance(10), std::runtime_error);
  d.Advance(10);
  EXPECT_EQ(p.ticks, (std::vector<std::string>{"One@10", "One@20"}));
}

TEST(Timers, HeldTimerKeepsItsTimeLeftAndANewIntervalCountsFromTheRelease) {
  Driver d;
  auto& p = d.Get<Probe>();
  p.One.SetInterval(100);
  p.Two.SetInterval(100);
  d.Advance(30);
  p.One.Hold(true);
  p.Two.Hold(true);
  p.Two.SetInterval(50);
  d.Advance(1000);
  EXPECT_TRUE(p.ticks.empty());
  p.One.Hold(false);
  p.Two.Hold(false);
  d.Advance(70);
  EXPECT_EQ(p.ticks, (std::vector<std::string>{"Two@1080", "One@1100"}));
}

// The one test on the real clock: the loop waits for real time, fires the timers at
// their pace and ends on the window system's quit event. A second timer ends the loop
// should the quit never arrive, so the test cannot hang.
TEST(Loop, RealLoopTicksAtItsPaceAndEndsOnQuit) {
  Driver d;
  App& app = App::Get();
  app.UseVirtualClock(false);
  auto& p = Forms::Show<Probe>();
  uint64_t start = app.Now();
  p.onOne = [&] {
    if (p.ticks.size() < 3) return;
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
  };
  p.onTwo = [&] { app.End(); };
  p.One.SetInterval(20);
  p.Two.SetInterval(5000);
  app.Run();
  uint64_t elapsed = app.Now() - start;
  app.UseVirtualClock(true);
  EXPECT_EQ(p.ticks.size(), 3u);  // the quit is read before a fourth tick
  EXPECT_GE(elapsed, 60u);
}

// The real loop on the virtual clock, with a window: whatever is shown or hidden, an idle
// loop waits for the next event instead of polling. Over five quiet seconds it wakes up
// about once a second (a loop that never waits would wake up thousands of times).
TEST(Loop, IdleLoopWaitsWhateverIsShown) {
  Driver d;
  App& app = App::Get();
  Screen::Get().Shutdown();
  Screen::Get().Init(true, false);  // a window, hidden until there is something to show
  auto quietFiveSeconds = [&] {
    Timer stop("Stop", 5000, [&] { app.End(); });
    uint64_t before = app.Wakeups();
    app.Run();
    app.ResetEnded();
    return app.Wakeups() - before;
  };
  EXPECT_LE(quietFiveSeconds(), 10u) << "no form shown yet, a picture pending";
  auto& p = Forms::Show<Probe>();
  EXPECT_LE(quietFiveSeconds(), 10u) << "a form shown";
  p.Hide();
  EXPECT_LE(quietFiveSeconds(), 10u) << "every form hidden after one was shown";
}

TEST(Forms, ShowLoadsOnceAndUnloadDiscardsEverything) {
  Driver d;
  auto& p = Forms::Show<Probe>();
  EXPECT_EQ(p.loads, 1);
  Forms::Show<Probe>();
  EXPECT_EQ(p.loads, 1);
  p.One.SetInterval(10);
  Forms::Unload<Probe>();
  EXPECT_FALSE(Forms::IsLoaded<Probe>());
  d.Advance(100);  // its timer died with it
  auto& again = Forms::Show<Probe>();
  EXPECT_EQ(again.loads, 1);
  EXPECT_TRUE(again.ticks.empty());
}

TEST(Forms, FormUnloadingItselfInsideItsHandlerIsSafe) {
  Driver d;
  auto& p = Forms::Show<Probe>();
  bool after = false;
  p.onOne = [&] {
    Forms::Unload<Probe>();
    after = true;  // the handler may still run to its end
  };
  p.One.SetInterval(10);
  d.Advance(50);
  EXPECT_TRUE(after);
  EXPECT_FALSE(Forms::IsLoaded<Probe>());
}

TEST(Forms, LoopInsideAHandlerFindsItsFormGone) {
  Driver d;
  auto& p = Forms::Show<Probe>();
  int passes = 0;
  p.onOne = [&] {
    p.One.SetInterval(0);
    Probe* self = &p;
    while (self->Loaded()) {
      ++passes;
      if (passes == 3) Forms::Unload<Probe>();
      App::Get().WaitUntil(App::Get().Now() + 16);
    }
  };
  p.One.SetInterval(10);
  d.Advance(200);
  EXPECT_EQ(passes, 3);
}

TEST(Input, ClickReachesOnlyVisibleEnabledButtons) {
  Driver d;
  auto& p = Forms::Show<Probe>();
  int clicks = 0;
  p.Button.OnClick = [&] { ++clicks; };
  d.Click(p.Button);
  p.Button.SetEnabled(false);
  d.Click(p.Button);
  p.Button.SetEnabled(true);
  p.Button.SetVisible(false);
  d.Click(p.Button);
  EXPECT_EQ(clicks, 1);
}

TEST(Input, MousePositionIsRelativeToTheControlInTwips) {
  Driver d;
  auto& p = Forms::Show<Probe>();
  double gotX = -1, gotY = -1;
  p.Button.OnMouseMove = [&](int, int, double x, double y) {
    gotX = x;
    gotY = y;
  };
  d.MoveTo(110, 105);  // the button starts at pixel (100, 100)
  EXPECT_EQ(gotX, 150);
  EXPECT_EQ(gotY, 75);
}

TEST(Input, TopmostFormReceivesTheClick) {
  Driver d;
  auto& p = Forms::Show<Probe>();
  int clicks = 0;
  p.Button.OnClick = [&] { ++clicks; };
  Forms::Show<Other>();
  d.ClickAt(110, 105);
  EXPECT_EQ(clicks, 0);
}

TEST(Button, CaptionHidesItsMnemonicMark) {
  int marked;
  EXPECT_EQ(StripMnemonic("&Старт", marked), "Старт");
  EXPECT_EQ(marked, 0);
  EXPECT_EQ(StripMnemonic("Rock && Roll", marked), "Rock & Roll");
  EXPECT_EQ(marked, -1);
}

TEST(Button, FaceColourShowsOnTheScreen) {
  Driver d;
  auto& p = Forms::Show<Probe>();
  p.Button.SetColorProperty(btn::kFaceColor, RGB(255, 0, 0));
  uint32_t red = d.Pixel(102, 140);
  p.Button.SetColorProperty(btn::kFaceColor, RGB(255, 255, 0));
  uint32_t yellow = d.Pixel(102, 140);
  EXPECT_NE(red, yellow);
  EXPECT_GT((yellow >> 8) & 0xFF, (red >> 8) & 0xFF);  // the green part shows the change
}

}  // namespace
}  // namespace vark
