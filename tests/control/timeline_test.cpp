#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "common/globals.h"
#include "control/tables.h"
#include "display/display.h"
#include "fake_display.h"
#include "run_check.h"

namespace {
// One row per frame, one tick per frame, 64 rows a position.
void steady(int, int& position, int& row, std::int32_t& ticks) {
  ticks++;
  if (++row == 64) {
    row = 0;
    position++;
  }
}

std::string joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\n";
  return out;
}

// The counters each scene's rules give, written from the score alone: entry
// values, one tick's update (reading the motion phase and speedup the
// previous frame left) and the lift's decay; an event that fires flashes.
struct Counters {
  int phase, second, path, lift, whiteout, wobble_turns;
};
struct CounterRules {
  void (*enter)(Counters&);
  void (*tick)(Counters&, const TimelineState& before);
  int decay;
};
void count(Counters& c, const TimelineState&) { c.phase++; }
void flash(Counters& c) { c.phase = 0, c.lift = 255; }
const CounterRules counter_rules[SCENE_COUNT] = {
    {[](Counters& c) { c.phase = c.second = c.path = 0; },
     [](Counters& c, const TimelineState&) {
       c.phase = (c.phase + 1) % 10, c.second++, c.path = (c.path + 1) % 360, c.wobble_turns++;
     },
     0},
    {flash, count, 3},
    {flash, count, 20},
    {[](Counters& c) { flash(c), c.second = 0; },
     [](Counters& c, const TimelineState&) { c.phase++, c.second--; }, 10},
    {flash, count, 5},
    {[](Counters& c) { flash(c), c.second = 2000, c.path = 700, c.whiteout = 0; },
     [](Counters& c, const TimelineState& t) {
       c.phase++;
       // By motion phase: the first flies in, the second slides to the centre
       // and on to the other side, the first flies away.
       const int motion[4][2] = {{-10, 0}, {0, -5}, {0, -5}, {10, 0}};
       c.second = std::clamp(c.second + motion[t.shown][0], 0, 10000);
       c.path = std::max(c.path + motion[t.shown][1], t.shown == 1 ? 0 : -700);
       if (t.speedup) c.whiteout = std::min(c.whiteout + 2, 255), c.phase++;
     },
     10},
    {flash, count, 20},
    {[](Counters& c) { flash(c), c.second = 359; },
     [](Counters& c, const TimelineState&) {
       c.phase = (c.phase + 1) % 360, c.second = (c.second + 359) % 360;
     },
     10},
    {flash, count, 20},
    {[](Counters&) {}, nullptr, 0},
};

// Every frame's counters against the rules; `wobbles` is the wobble table at
// each frame's poll. Returns the first disagreement, or "".
using Wobbles = std::vector<std::vector<std::int32_t>>;
std::string check_counters(const FakeRun& run, const Wobbles& wobbles) {
  Counters c{};
  const std::vector<std::int32_t>& start = wobbles.front();
  for (std::size_t i = 0; i < run.states.size(); i++) {
    const TimelineState& t = run.states[i];
    const CounterRules& rules = counter_rules[t.scene];
    const bool entry = i == 0 || run.states[i - 1].scene != t.scene;
    if (entry) rules.enter(c);
    for (int k = entry ? 0 : run.frames[i].ticks - run.frames[i - 1].ticks; k > 0; k--) {
      if (rules.tick) rules.tick(c, run.states[i - 1]);
      c.lift = std::max(0, c.lift - rules.decay);
    }
    const int step_before = entry ? 0 : run.states[i - 1].step;
    if (t.scene >= 1 && t.scene <= 8 && t.step != step_before) c.lift = 255;
    std::vector<std::int32_t> turned(start);
    std::rotate(turned.begin(), turned.begin() + c.wobble_turns % 256, turned.end());
    const int got[] = {t.phase, t.second, t.path, t.lift, t.whiteout, wobbles[i] == turned};
    const int want[] = {c.phase, c.second, c.path, c.lift, c.whiteout, 1};
    const char* names[] = {"phase", "second", "path", "lift", "whiteout", "wobble turned"};
    for (int f = 0; f < 6; f++)
      if (got[f] != want[f])
        return "frame " + std::to_string(i) + " scene " + std::to_string(t.scene) + ": " +
               names[f] + " " + std::to_string(got[f]) + ", expected " + std::to_string(want[f]);
  }
  return "";
}

int first_frame_of(const FakeRun& run, int scene) {
  for (const LogRow& f : run.frames)
    if (f.scene == scene) return f.frame;
  return -1;
}
}  // namespace

TEST(Timeline, WholeRunFollowsTheScoreAndTheCounterRules) {
  // One or two ticks a frame: enough for scene 7's paths to wrap.
  Wobbles wobbles;
  const FakeRun run =
      run_timeline([&wobbles](int frame, int& position, int& row, std::int32_t& ticks) {
        wobbles.emplace_back(wobble, wobble + 256);
        steady(frame, position, row, ticks);
        ticks += frame % 2;
      });
  EXPECT_EQ(joined(check_run(run.frames)), "");
  EXPECT_EQ(check_counters(run, wobbles), "");
  ASSERT_FALSE(run.frames.empty());
  // The last frame is seen at row 32; the step to row 33 ends the demo.
  EXPECT_EQ(run.frames.back().position, 42);
  EXPECT_EQ(run.frames.back().row, 32);
  EXPECT_EQ(demo_running, 0);
  for (const Presentation& p : run.presentations) {
    const bool first_scene = run.frames[p.frame].scene == 0;
    EXPECT_EQ(p.lock_error, first_scene ? DISPLAY_LOCK_ERROR_FIRST_SCENE : DISPLAY_LOCK_ERROR)
        << p.frame;
  }
}

TEST(Timeline, ScenesBehindTheMusicEachRunOneFrameInOrder) {
  // Frame 20 is very slow: the music jumps from scene 2's positions to scene 6's.
  const FakeRun run = run_timeline(
      [](int frame, int& position, int&, std::int32_t& ticks) {
        ticks++;
        if (frame == 20) position = 30;
      },
      40, 4);
  // Started at position 4: scenes 0 and 1 get one frame each.
  ASSERT_GE(run.frames.size(), 30u);
  EXPECT_EQ(run.frames[0].scene, 0);
  EXPECT_EQ(run.frames[1].scene, 1);
  EXPECT_EQ(run.frames[2].scene, 2);
  EXPECT_EQ(first_frame_of(run, 3), 21);
  EXPECT_EQ(first_frame_of(run, 4), 22);
  EXPECT_EQ(first_frame_of(run, 5), 23);
  EXPECT_EQ(first_frame_of(run, 6), 24);
  EXPECT_EQ(run.frames[30].scene, 6);
  for (const LogRow& f : run.frames) EXPECT_EQ(f.presented, 1) << f.frame;
  // Each skipped scene still ran its entry: the flash is at full strength.
  for (int s = 3; s <= 6; s++) EXPECT_EQ(run.frames[first_frame_of(run, s)].lift, 255) << s;
}

TEST(Timeline, FramesFasterThanTheClockRedrawTheSamePicture) {
  // A tick only every third frame, inside scene 2.
  const FakeRun run = run_timeline(
      [](int frame, int&, int&, std::int32_t& ticks) {
        if (frame % 3 == 0) ticks++;
      },
      40, 4);
  for (std::size_t i = 3; i < run.frames.size(); i++) {
    const TimelineState& was = run.states[i - 1];
    const TimelineState& now = run.states[i];
    ASSERT_EQ(now.scene, 2);
    const int ticked = (i - 1) % 3 == 0;
    EXPECT_EQ(now.phase, was.phase + ticked) << i;
    EXPECT_EQ(now.lift, ticked ? std::max(0, was.lift - 20) : was.lift) << i;
  }
  // A frame is drawn before its ticks run, so it shows the counters of the
  // previous poll: without a tick in between, the same picture again.
  for (std::size_t i = 4; i < run.frames.size(); i++) {
    const bool ticked = run.states[i - 1].phase != run.states[i - 2].phase;
    EXPECT_EQ(run.presentations[i].hash != run.presentations[i - 1].hash, ticked) << i;
  }
}

TEST(Timeline, SlowFrameAdvancesCountersByTheTicksThatPassed) {
  const FakeRun run = run_timeline(
      [](int frame, int&, int&, std::int32_t& ticks) { ticks += frame == 5 ? 7 : 1; }, 10, 4);
  // Frame 6 sees 7 ticks: scene 2's phase and lift move 7 steps at once.
  EXPECT_EQ(run.states[6].phase, run.states[5].phase + 7);
  EXPECT_EQ(run.states[6].lift, std::max(0, run.states[5].lift - 7 * 20));
  EXPECT_EQ(run.states[7].phase, run.states[6].phase + 1);
}

TEST(Timeline, QuitEndsAfterTheCurrentFrameButTheNextSceneStillShows) {
  // A quit in a frame that is not a scene's last: nothing more is drawn.
  FakeRun run = run_timeline(
      [](int frame, int&, int&, std::int32_t& ticks) {
        ticks++;
        if (frame == 6) demo_running = 0;
      },
      100, 4);
  EXPECT_EQ(run.frames.size(), 7u);

  // A quit in scene 2's last frame: scene 3's first frame is still presented.
  run = run_timeline(
      [](int frame, int& position, int&, std::int32_t& ticks) {
        ticks++;
        if (frame == 10) {
          position = 12;
          demo_running = 0;
        }
      },
      100, 4);
  ASSERT_EQ(run.frames.size(), 12u);
  EXPECT_EQ(run.frames[10].scene, 2);
  EXPECT_EQ(run.frames[11].scene, 3);
  EXPECT_EQ(run.frames[11].presented, 1);
  EXPECT_EQ(run.presentations.back().frame, 11);
}

TEST(Timeline, RowJumpFiresSeveralEventsButChangesOneTextPerFrame) {
  // Scene 1 at position 2; the row leaps from 0 to 40 after its first frame.
  const FakeRun run = run_timeline(
      [](int frame, int& position, int& row, std::int32_t& ticks) {
        ticks++;
        if (frame == 1) row = 40;
        if (frame == 5) {
          position = 3;
          row = 0;
        }
        if (frame == 7) row = 1;
      },
      10, 2);
  ASSERT_EQ(run.frames[1].scene, 1);
  EXPECT_EQ(run.states[1].overlay_step, 0);  // row 0: no text yet
  EXPECT_EQ(run.states[2].step, 3);          // >25, >28 and >31 in one frame
  EXPECT_EQ(run.states[2].shown, 3);
  EXPECT_EQ(run.states[2].lift, 255);
  EXPECT_EQ(run.states[2].overlay_step, 1);
  EXPECT_EQ(run.states[3].overlay_step, 2);
  EXPECT_LT(run.states[3].lift, 255);
  EXPECT_EQ(run.states[6].overlay_step, 2);  // position 3, row 0: waits
  EXPECT_EQ(run.states[6].step, 3);
  EXPECT_EQ(run.states[8].overlay_step, 3);  // row 1 of position 3
  EXPECT_EQ(run.states[8].step, 4);
}

TEST(Timeline, ClosingSceneWaitsWhileTheSongHasNotReachedItsRow) {
  // The song stops at position 42 row 20: the demo keeps polling on one picture.
  const FakeRun run = run_timeline(
      [](int, int& position, int& row, std::int32_t& ticks) {
        ticks++;
        position = 42;
        row = 20;
      },
      50, 42);
  EXPECT_EQ(run.frames.back().scene, 9);
  int closing_presentations = 0;
  for (const LogRow& f : run.frames) closing_presentations += f.scene == 9 ? f.presented : 0;
  EXPECT_EQ(closing_presentations, 1);
}
