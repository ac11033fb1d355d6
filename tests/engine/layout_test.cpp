#include <gtest/gtest.h>

#include "tests/fakes/engine_harness.h"

namespace orvantix::testing {
namespace {

class LayoutTest : public ::testing::Test {
 protected:
  EngineHarness h;
  void SetUp() override { h.Start().Form_Load(); }
  void ResizeTo(int width, int height) { h.form.SetWindowRect(Rect{1000, 1000, width, height}); }
};

TEST_F(LayoutTest, FrameFollowsTheWindowAndThePictureKeepsItsMargins) {
  const Rect frame = h.form.picFrame;
  ResizeTo(7950 + 1500, 5805 - 600);
  EXPECT_EQ(h.form.picFrame.width, frame.width + 1500);
  EXPECT_EQ(h.form.picFrame.height, frame.height - 600);
  EXPECT_EQ(h.form.kelvra.width, h.form.picFrame.width - 240);
  EXPECT_EQ(h.form.kelvra.height, h.form.picFrame.height - 240);
}

TEST_F(LayoutTest, TooSmallGivesZeroNeverNegativeAndGrowingBackRestores) {
  const Rect frame = h.form.picFrame;
  const Rect picture = h.form.kelvra;
  ResizeTo(100, 100);
  EXPECT_EQ(h.form.picFrame.width, 0);
  EXPECT_EQ(h.form.picFrame.height, 0);
  EXPECT_EQ(h.form.kelvra.width, 0);
  EXPECT_EQ(h.form.kelvra.height, 0);
  ResizeTo(7950, 5805);
  EXPECT_EQ(h.form.picFrame.width, frame.width);
  EXPECT_EQ(h.form.picFrame.height, frame.height);
  EXPECT_EQ(h.form.kelvra.width, picture.width);
  EXPECT_EQ(h.form.kelvra.height, picture.height);
}

TEST_F(LayoutTest, MarginsLeaveAFramePartlyVisible) {
  // 200 twips of frame are left: the frame keeps them, the picture cannot.
  const Rect frame = h.form.picFrame;
  ResizeTo(7950 - (frame.width - 200), 5805);
  EXPECT_EQ(h.form.picFrame.width, 200);
  EXPECT_EQ(h.form.kelvra.width, 0);
}

TEST_F(LayoutTest, MinimizedWindowIsLeftAloneAndRestoringLaysOutAgain) {
  const Rect frame = h.form.picFrame;
  h.form.minimized = true;
  ResizeTo(3000, 2000);
  EXPECT_EQ(h.form.picFrame.width, frame.width);
  h.form.minimized = false;
  h.engine->Form_Resize();
  EXPECT_EQ(h.form.picFrame.width, frame.width + 3000 - 7950);
}

}  // namespace
}  // namespace orvantix::testing
