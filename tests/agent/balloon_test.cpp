// The balloon's text: tags out of sight, and the engine's word positions found in it.
#include <gtest/gtest.h>

#include "agent/balloon_text.h"

namespace kv::agent {
namespace {

TEST(BalloonText, TagsHideAndPositionsCountAsTheEngineCounts) {
  // Backslash tags do not count, brace tags do, a run of blanks counts once.
  const BalloonText text("  \\spd=90\\Jedna {ton=2}dva\r\n tri");
  EXPECT_EQ(text.Shown(), "  Jedna dva\r\n tri");
  EXPECT_EQ(text.WordCount(), 3u);
  EXPECT_EQ(text.UpTo(0), "  Jedna");
  EXPECT_EQ(text.UpTo(6), "  Jedna dva");  // after "jedna " and the tag's 7 characters
  EXPECT_EQ(text.UpTo(17), "  Jedna dva\r\n tri");
  EXPECT_EQ(text.UpTo(999), text.Shown());  // the end of the text
  EXPECT_EQ(text.FirstWords(0), "");
  EXPECT_EQ(text.FirstWords(2), "  Jedna dva");
  EXPECT_EQ(BalloonText("\\ton=1\\").WordCount(), 0u);
}

}  // namespace
}  // namespace kv::agent
