// The command interpreter and the following of the active window, against the recording fake.
#include <gtest/gtest.h>

#include <climits>

#include "agent/active_follower.h"
#include "agent/command_interpreter.h"
#include "tests/agent/recording_agent.h"

namespace kv::agent {
namespace {

using Log = std::vector<std::string>;

struct Interpreter : ::testing::Test {
  test::RecordingCharacter character;
  test::RecordingControl control;
  Log own;
  int follows = 0;
  CommandTarget target{&character,
                       &control,
                       true,
                       false,
                       [this] { ++follows; },
                       [this](const std::string& t) { own.push_back(t); }};
  void Run(const std::vector<AgentValue>& values) { InterpretAgentValues(values, target); }
};

TEST_F(Interpreter, VoicePrefixChoosesModeAndSpeaksOnlyTheText) {
  Run({"}2Dobrý den"});
  EXPECT_EQ(character.log, (Log{"Mode {3FF7410D-A888-4A67-BAFC-55FAF3C5424D}", "Speak Dobrý den"}));
  character.log.clear();
  Run({"}9x"});  // not a voice: the prefix still goes
  EXPECT_EQ(character.log, (Log{"Speak x"}));
}

TEST_F(Interpreter, CommandsSplitAtCaretM) {
  Run({"STOPALL^mTeď mluvím."});
  EXPECT_EQ(character.log, (Log{"StopAll", "Speak Teď mluvím."}));
}

TEST_F(Interpreter, TildePlaysUpperCaseAnimationAndShowHide) {
  Run({"~wave", "~show", "{Hmm", "~HIDE", "stop"});
  EXPECT_EQ(character.log, (Log{"Play WAVE", "Show", "Think Hmm", "Hide", "Stop"}));
  character.log.clear();
  character.otherClients = true;
  Run({"~HIDE"});
  EXPECT_TRUE(character.log.empty());
}

TEST_F(Interpreter, OwnVoiceTakesTextsAndLeavesTheAgentAlone) {
  target.ownVoiceActive = true;
  Run({"~SHOW", "{myšlenka", "AF", "}2Ahoj", "STOPALL", 10, 20});
  EXPECT_TRUE(character.log.empty());
  EXPECT_EQ(follows, 0);
  EXPECT_EQ(own, (Log{"}2Ahoj", ""}));
}

TEST_F(Interpreter, IntegerPairsMoveAndPlacesFromTheDesktop) {
  control.active = Geometry{300, 200, 400, 300};
  Run({500, 400, "GOTOACTIVEFORM", "GOTOBOOTOM", "AF"});
  EXPECT_EQ(character.log, (Log{"MoveTo 400 375 1", "MoveTo 300 90 10", "MoveTo 924 633 10"}));
  EXPECT_EQ(follows, 1);
  character.log.clear();
  control.active.reset();  // no active window: the character stays where it is
  Run({"GOTOACTIVEFORM"});
  EXPECT_TRUE(character.log.empty());
  // Integers at the ends of their range land at the edge of the coordinates.
  Run({INT_MIN, INT_MAX, INT_MAX, INT_MIN});
  EXPECT_EQ(character.log, (Log{"MoveTo -32768 32767 1", "MoveTo 32767 -32768 1"}));
}

TEST_F(Interpreter, RefusedRequestsDoNotStopTheList) {
  character.dead = true;
  Run({"~SHOW", "text", 1, 2});
  character.dead = false;
  EXPECT_TRUE(character.log.empty());
}

TEST(Follower, MovesOnlyAfterTheWindowStoodStill) {
  ActiveFollower follower;
  const Geometry screen{0, 0, 1024, 768};
  const Geometry window{200, 300, 400, 200};
  std::vector<std::optional<Point>> moves;
  for (int tick = 0; tick < 5; ++tick) moves.push_back(follower.Step(window, screen, 100, 120));
  EXPECT_FALSE(moves[0] || moves[1] || moves[2]);
  ASSERT_TRUE(moves[3]);
  EXPECT_EQ(*moves[3], (Point{200, 300 - 120 + 8}));
  EXPECT_FALSE(moves[4]);  // once there, it stays
  // A window that moved on between ticks restarts the wait.
  EXPECT_FALSE(follower.Step({210, 300, 400, 200}, screen, 100, 120));
  EXPECT_FALSE(follower.Step(window, screen, 100, 120));
}

TEST(Follower, WindowAtTheTopPutsTheCharacterInItsLowerRightCorner) {
  ActiveFollower follower;
  const Geometry screen{0, 0, 1024, 768};
  auto move = follower.StepAtOnce({100, 0, 600, 500}, screen, 100, 120);
  ASSERT_TRUE(move);
  EXPECT_EQ(*move, (Point{600, 495 - 120 + 8}));
  // A short window at the top: the screen's lower right corner.
  move = follower.StepAtOnce({100, 0, 600, 50}, screen, 100, 120);
  ASSERT_TRUE(move);
  EXPECT_EQ(*move, (Point{924, 743 - 120 + 8}));
}

}  // namespace
}  // namespace kv::agent
