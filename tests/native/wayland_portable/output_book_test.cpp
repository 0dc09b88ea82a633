// The Wayland program's output bookkeeping: which outputs get a surface and
// lose it, which draw (an output the compositor does not show gets no
// frames), and the buffer's size and scale for each kind of output.
#include <gtest/gtest.h>

#include "wayland/portable/output_book.h"

namespace {

// A surface once its output is described, once; removed outputs give their
// surface up, closed ones get none again.
TEST(OutputBook, OutputsGetASurfaceOnceAndLoseItWhenRemovedOrClosed) {
  OutputBook book;
  book.Add(7), book.Add(9);
  book.SetMode(7, 1024, 768);
  EXPECT_TRUE(book.Done(7));
  EXPECT_FALSE(book.Done(7)) << "a second done (a new mode) keeps the surface";
  EXPECT_TRUE(book.Remove(7));
  EXPECT_FALSE(book.Remove(9)) << "never described: no surface to destroy";
  EXPECT_FALSE(book.Remove(9)) << "already gone";
  book.Add(11);
  EXPECT_TRUE(book.Done(11));
  book.Close(11);
  EXPECT_FALSE(book.Done(11)) << "the compositor closed it: it stays closed";
  EXPECT_EQ(book.Due(), std::vector<uint32_t>{});
  book.Hide(11);  // --idle hid the saver: showing it again makes every described output's surface anew
  EXPECT_TRUE(book.Reshow(11));
  EXPECT_TRUE(book.Done(11));
  EXPECT_FALSE(book.Reshow(12)) << "no such output";
}

// An output draws only when configured, asked for a frame and holding a
// free buffer: one the compositor stops showing never calls back and is
// never drawn again, while the others go on.
TEST(OutputBook, OnlyOutputsThatAskForAFrameAndHaveABufferDraw) {
  OutputBook book;
  for (uint32_t name : {1u, 2u}) {
    book.Add(name);
    book.SetMode(name, 640, 480);
    ASSERT_TRUE(book.Done(name));
  }
  EXPECT_EQ(book.Due(), std::vector<uint32_t>{}) << "not configured yet";
  EXPECT_FALSE(book.AnyDue());
  book.Configure(1, 640, 480, false), book.Configure(2, 640, 480, false);
  EXPECT_EQ(book.Due(), (std::vector<uint32_t>{1, 2}));
  EXPECT_TRUE(book.AnyDue());
  EXPECT_EQ(book.FreeBuffer(1), 0);
  book.Committed(1, 0), book.Committed(2, 0);
  EXPECT_EQ(book.Due(), std::vector<uint32_t>{}) << "no callback yet";
  EXPECT_FALSE(book.AnyDue()) << "no callback yet";
  book.FrameCallback(1);  // output 2 is hidden: it never calls back
  EXPECT_EQ(book.Due(), std::vector<uint32_t>{1});
  EXPECT_EQ(book.FreeBuffer(1), 1) << "the other buffer while the first is held";
  book.Committed(1, 1), book.FrameCallback(1);
  EXPECT_EQ(book.FreeBuffer(1), -1) << "both held";
  book.BufferReleased(1, 0);
  EXPECT_EQ(book.FreeBuffer(1), 0);
  for (int frame = 0; frame < 5; ++frame) EXPECT_EQ(book.Due(), std::vector<uint32_t>{1});
}

TEST(OutputBook, TheBufferHasTheOutputsPixels) {
  struct Case {
    int32_t width, height, modeWidth, modeHeight, scale;
    bool viewporter;
    SurfacePlan plan;
  } cases[] = {
      {1024, 768, 1024, 768, 1, true, {1024, 768, 1, false}},
      {512, 384, 1024, 768, 2, true, {1024, 768, 2, false}},    // a whole scale: set_buffer_scale
      {1280, 720, 1920, 1080, 2, true, {1920, 1080, 1, true}},  // 1.5, rounded up to 2: the viewport
      {1280, 720, 1920, 1080, 2, false, {2560, 1440, 2, false}},  // no viewport: the whole scale
      {0, 0, 1920, 1080, 1, false, {1920, 1080, 1, false}},     // the client chooses: the output's size
      {0, 0, 1920, 1080, 2, false, {1920, 1080, 2, false}},
      {0, 0, 1921, 1080, 2, true, {1921, 1080, 1, true}},
      {2000000000, 10, 0, 0, 2, false, {2000000000, 10, 1, false}},  // no overflow: scale 1
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + " at " + std::to_string(c.scale));
    const SurfacePlan plan = PlanSurface(c.width, c.height, c.modeWidth, c.modeHeight, c.scale, c.viewporter);
    EXPECT_EQ(plan.bufferWidth, c.plan.bufferWidth);
    EXPECT_EQ(plan.bufferHeight, c.plan.bufferHeight);
    EXPECT_EQ(plan.bufferScale, c.plan.bufferScale);
    EXPECT_EQ(plan.viewport, c.plan.viewport);
  }
}

}  // namespace
