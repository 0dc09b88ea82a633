// Edge walks, fills and shadows on small frames with known answers.
#include "raster/span_tables.h"

#include <random>

#include "raster/raster_fixture.h"

namespace {

using SpanTables = RasterScene;

constexpr int shadow = 3;

TEST_F(SpanTables, FlatEdgeIsMeasuredFromItsFirstEnd) {
  MakeFrame(20, 10);
  AddShadowEdge(shadow, 10, 0, 0, 3);
  AddShadowEdge(shadow + 1, 0, 3, 10, 0);
  const int32_t forward[] = {10, 7, 4, 0};
  const int32_t backward[] = {10, 6, 3, 0};  // quotients truncate toward zero from (0, 3)
  for (int32_t y = 0; y < 4; ++y) {
    EXPECT_EQ(Row(shadow, y).left, forward[y]) << y;
    EXPECT_EQ(Row(shadow, y).right, forward[y]) << y;
    EXPECT_EQ(Row(shadow + 1, y).left, backward[y]) << y;
    EXPECT_EQ(Row(shadow + 1, y).right, backward[y]) << y;
  }
  for (int32_t y = 4; y < 10; ++y) {
    EXPECT_EQ(Row(shadow, y).left, 20);
    EXPECT_EQ(Row(shadow, y).right, -1);
  }
}

TEST_F(SpanTables, EdgesOffTheFrameAreClampedToTheNearestRow) {
  MakeFrame(20, 10);
  const FramePoint below[] = {{30, -10}, {50, -2}};  // on row 0 the line is at column 55
  const FramePoint above[] = {{0, 12}, {40, 20}};    // on row 9 it is at column -15
  AddShadowEdge(shadow, below[0].x, below[0].y, below[1].x, below[1].y);
  AddShadowEdge(shadow + 1, above[0].x, above[0].y, above[1].x, above[1].y);
  EXPECT_EQ(Row(shadow, 0).left, 19);  // the flat walk clamps the column
  EXPECT_EQ(Row(shadow, 0).right, 19);
  EXPECT_EQ(Row(shadow + 1, 9).left, 0);
  EXPECT_EQ(Row(shadow + 1, 9).right, 0);
  for (int32_t y = 1; y < 10; ++y) EXPECT_GT(Row(shadow, y).left, Row(shadow, y).right) << y;
  for (int32_t y = 0; y < 9; ++y) EXPECT_GT(Row(shadow + 1, y).left, Row(shadow + 1, y).right) << y;

  MakeMask(8, 8, [](int32_t, int32_t) { return 0; });
  AddTexturedEdge(below, 0, 1, 0, 0, 0, 0);
  AddTexturedEdge(above, 0, 1, 0, 0, 0, 0);
  // The textured walk does not clamp, so a column off the frame only moves
  // the side it lies beyond, and the fill leaves the row alone.
  EXPECT_EQ(Row(faceTable, 0).left, 20);
  EXPECT_EQ(Row(faceTable, 0).right, 55);
  EXPECT_EQ(Row(faceTable, 9).left, -15);
  EXPECT_EQ(Row(faceTable, 9).right, -1);
}

TEST_F(SpanTables, HorizontalEdgesOutsideTheRowsChangeNothing) {
  MakeFrame(20, 10);
  MakeMask(8, 8, [](int32_t, int32_t) { return 0; });
  const FramePoint under[] = {{2, -1}, {8, -1}};
  const FramePoint over[] = {{2, 10}, {8, 10}};
  AddShadowEdge(shadow, 2, -1, 8, -1);
  AddShadowEdge(shadow, 2, 10, 8, 10);
  AddTexturedEdge(under, 0, 1, 0, 0, 1, 1);
  AddTexturedEdge(over, 0, 1, 0, 0, 1, 1);
  for (int32_t y = 0; y < 10; ++y) {
    EXPECT_EQ(Row(shadow, y).left, 20);
    EXPECT_EQ(Row(shadow, y).right, -1);
    EXPECT_EQ(Row(faceTable, y).left, 20);
    EXPECT_EQ(Row(faceTable, y).right, -1);
  }
}

TEST_F(SpanTables, HorizontalEdgesClampColumnsAndMaskColumnsButNotMaskRows) {
  MakeFrame(20, 10);
  MakeMask(8, 6, [](int32_t, int32_t) { return 0; });
  AddShadowEdge(shadow, 30, 4, -5, 4);
  EXPECT_EQ(Row(shadow, 4).left, 0);
  EXPECT_EQ(Row(shadow, 4).right, 19);

  const FramePoint edge[] = {{-5, 4}, {30, 4}};
  AddTexturedEdge(edge, 0, 1, -3, 9, 12, -2);
  EXPECT_EQ(Row(faceTable, 4).left, 0);
  EXPECT_EQ(Row(faceTable, 4).right, 19);
  EXPECT_EQ(Row(faceColumnTable, 4).left, 0);
  EXPECT_EQ(Row(faceColumnTable, 4).right, 7);
  EXPECT_EQ(Row(faceRowTable, 4).left, 6 - 1 - 9);  // storage rows stay as given
  EXPECT_EQ(Row(faceRowTable, 4).right, 6 - 1 + 2);
}

TEST_F(SpanTables, TexturedEdgeInterpolatesMaskPositionsInStorageRows) {
  MakeFrame(20, 16);
  MakeMask(750, 800, [](int32_t, int32_t) { return 0; });
  const FramePoint points[] = {{0, 0}, {10, 10}};
  AddTexturedEdge(points, 0, 1, 19, 744, 374, 0);
  EXPECT_EQ(Row(faceTable, 5).left, 5);
  EXPECT_EQ(Row(faceColumnTable, 5).left, 196);  // 19 + 5 * 355 / 10
  EXPECT_EQ(Row(faceRowTable, 5).left, 427);     // 55 + 5 * 744 / 10
  EXPECT_EQ(Row(faceColumnTable, 0).right, 19);
  EXPECT_EQ(Row(faceRowTable, 0).right, 55);  // mask row 744 is storage row 55
  EXPECT_EQ(Row(faceColumnTable, 10).right, 374);
  EXPECT_EQ(Row(faceRowTable, 10).right, 799);  // mask row 0 is storage row 799
  EXPECT_EQ(Row(faceTable, 11).left, 20);
}

TEST_F(SpanTables, TheEdgeWalkedFirstKeepsATiedColumn) {
  MakeFrame(20, 16);
  MakeMask(300, 300, [](int32_t, int32_t) { return 0; });
  const FramePoint points[] = {{5, 0}, {5, 10}, {15, 10}, {0, 10}};
  // Three edges leave (5, 0); on row 0 all reach column 5.
  AddTexturedEdge(points, 0, 1, 100, 0, 100, 0);
  AddTexturedEdge(points, 0, 2, 200, 0, 200, 0);
  AddTexturedEdge(points, 0, 3, 250, 0, 250, 0);
  EXPECT_EQ(Row(faceColumnTable, 0).left, 100);
  EXPECT_EQ(Row(faceColumnTable, 0).right, 100);
  EXPECT_EQ(Row(faceColumnTable, 10).left, 250);
  EXPECT_EQ(Row(faceColumnTable, 10).right, 200);

  ResetSpanTable(faceTable, 16, 20);
  AddTexturedEdge(points, 0, 2, 200, 0, 200, 0);
  AddTexturedEdge(points, 0, 1, 100, 0, 100, 0);
  EXPECT_EQ(Row(faceColumnTable, 0).left, 200);
  EXPECT_EQ(Row(faceColumnTable, 0).right, 200);
}

// Mask byte at (column, storage row) = column + 32 * row, so a pixel tells
// which mask position it sampled.
uint8_t PositionPattern(int32_t x, int32_t y) { return static_cast<uint8_t>(x + 32 * y); }

TEST_F(SpanTables, SpanSamplesOneStepInAndEndsOnItsLastPosition) {
  MakeFrame(12, 4, 7);
  MakeMask(32, 8, PositionPattern);
  FillTexturedSpan(100, 1, 3, 7, 10, 1, 20, 6);
  const int32_t columns[] = {12, 14, 16, 18, 20};
  for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(*Pixel(3 + i, 1), static_cast<uint8_t>(100 + columns[i] + 32 * (2 + i))) << i;
  EXPECT_EQ(*Pixel(2, 1), 7);
  EXPECT_EQ(*Pixel(8, 1), 7);

  // 10 mask columns over 3 pixels: steps of 853/256 truncate, so the last
  // pixel falls just short of column 10; walking back it ends on column 0.
  FillTexturedSpan(0, 2, 0, 2, 0, 0, 10, 0);
  FillTexturedSpan(0, 3, 0, 2, 10, 0, 0, 0);
  EXPECT_EQ(*Pixel(0, 2), 3);
  EXPECT_EQ(*Pixel(1, 2), 6);
  EXPECT_EQ(*Pixel(2, 2), 9);
  EXPECT_EQ(*Pixel(0, 3), 6);
  EXPECT_EQ(*Pixel(1, 3), 3);
  EXPECT_EQ(*Pixel(2, 3), 0);
  EXPECT_TRUE(GuardsIntact());
}

TEST_F(SpanTables, ColourBaseAndSampleAddModulo256) {
  MakeFrame(8, 2);
  MakeMask(4, 4, [](int32_t, int32_t) { return 16; });
  FillTexturedSpan(250, 0, 0, 7, 0, 0, 3, 3);
  FillTexturedSpan(-1, 1, 0, 7, 0, 0, 3, 3);
  for (int32_t x = 0; x < 8; ++x) {
    EXPECT_EQ(*Pixel(x, 0), 10);
    EXPECT_EQ(*Pixel(x, 1), 15);
  }
}

TEST_F(SpanTables, FaceRowsThatDoNotFitAreDroppedWhole) {
  MakeFrame(10, 9, 1);
  MakeMask(6, 6, [](int32_t, int32_t) { return 16; });
  SpanRow* columns = scene.spanTables[faceTable];
  SpanRow* us = scene.spanTables[faceColumnTable];
  SpanRow* vs = scene.spanTables[faceRowTable];
  for (int32_t y = 0; y < 9; ++y) {
    columns[y] = {2, 6};
    us[y] = {0, 5};
    vs[y] = {5, 0};
  }
  columns[1] = {4, 4};   // a single column
  columns[3] = {-1, 5};  // starts left of the frame
  columns[5] = {3, 10};  // ends right of it
  us[6].right = 6;       // leaves the mask
  vs[7].left = -1;
  columns[8] = {20, -1};  // empty
  MarkSpanTableWritten(faceTable);
  FillTexturedSpans(faceTable, 40);
  const bool drawn[] = {true, false, true, false, true, false, false, false, false};
  for (int32_t y = 0; y < 9; ++y) {
    for (int32_t x = 0; x < 10; ++x) {
      const bool inside = drawn[y] && x >= 2 && x <= 6;
      EXPECT_EQ(*Pixel(x, y), inside ? 56 : 1) << x << "," << y;
    }
  }
  EXPECT_TRUE(GuardsIntact());
}

TEST_F(SpanTables, ShadowsDarkenEveryCoveredPixelOncePerTable) {
  MakeFrame(10, 6, 5);
  for (int t = 3; t <= 10; ++t) {
    AddShadowEdge(t, 2, 1, 2, 3);
    AddShadowEdge(t, 6, 1, 6, 3);
  }
  AddShadowEdge(4, 8, 5, 8, 5);  // one column, one row: still darkened
  ApplyShadowTable(3);
  ApplyShadowTable(4);
  for (int32_t y = 0; y < 6; ++y) {
    for (int32_t x = 0; x < 10; ++x) {
      const bool covered = y >= 1 && y <= 3 && x >= 2 && x <= 6;
      const int expected = covered ? 5 + 64 : (x == 8 && y == 5 ? 5 + 32 : 5);
      EXPECT_EQ(*Pixel(x, y), expected) << x << "," << y;
    }
  }
  for (int t = 5; t <= 10; ++t) ApplyShadowTable(t);
  EXPECT_EQ(*Pixel(4, 2), 5);  // eight shadows wrap back to the first index
  EXPECT_EQ(*Pixel(8, 5), 37);

  const std::vector<uint8_t> before = Visible();
  ResetSpanTable(shadow, 6, 10);
  ApplyShadowTable(shadow);  // a reset table is empty on every row
  EXPECT_EQ(Visible(), before);
  EXPECT_TRUE(GuardsIntact());
}

// Walks note their rows so that resets and fills skip the rest; whatever
// was walked or written, a reset still empties every row it reaches.
TEST_F(SpanTables, ResetEmptiesEveryRowItReachesAfterWalksAndWrites) {
  MakeFrame(10, 12, 5);
  const auto allEmpty = [&](int table, int32_t left) {
    for (int32_t y = 0; y < 12; ++y)
      if (Row(table, y).left != left || Row(table, y).right != -1) return false;
    return true;
  };
  const FramePoint edge[] = {{1, 2}, {8, 5}};
  AddTexturedEdge(edge, 0, 1, 0, 0, 0, 0);
  AddShadowEdge(shadow, 1, 3, 8, 9);
  scene.spanTables[shadow][11] = {0, 9};
  MarkSpanTableWritten(shadow);
  for (int t = faceTable; t <= faceRowTable; ++t) ResetSpanTable(t, 12, 10);
  ResetSpanTable(shadow, 12, 10);
  EXPECT_TRUE(allEmpty(faceTable, 10));
  EXPECT_TRUE(allEmpty(shadow, 10));

  AddShadowEdge(shadow, 2, 4, 2, 6);
  ResetSpanTable(shadow, 12, 7);  // another left value reaches the unwalked rows too
  EXPECT_TRUE(allEmpty(shadow, 7));

  AddShadowEdge(shadow, 2, 3, 2, 9);
  ResetSpanTable(shadow, 6, 7);  // rows 6..9 keep their spans and are still darkened
  ApplyShadowTable(shadow);
  for (int32_t y = 0; y < 12; ++y) EXPECT_EQ(*Pixel(2, y), y >= 6 && y <= 9 ? 37 : 5) << "row " << y;
  ResetSpanTable(shadow, 12, 7);
  EXPECT_TRUE(allEmpty(shadow, 7));
  EXPECT_TRUE(GuardsIntact());
}

TEST_F(SpanTables, DarkenSpanStaysInsideTheFrame) {
  MakeFrame(10, 3, 0);
  DarkenSpan(1, INT32_MIN, INT32_MAX);
  DarkenSpan(-1, 0, 9);
  DarkenSpan(3, 0, 9);
  DarkenSpan(0, 5, 4);
  for (int32_t x = 0; x < 10; ++x) {
    EXPECT_EQ(*Pixel(x, 0), 0);
    EXPECT_EQ(*Pixel(x, 1), 32);
    EXPECT_EQ(*Pixel(x, 2), 0);
  }
  EXPECT_TRUE(GuardsIntact());
}

TEST_F(SpanTables, ClampTestsTheLowBoundFirst) {
  EXPECT_EQ(Clamp(-3, 0, 9), 0);
  EXPECT_EQ(Clamp(12, 0, 9), 9);
  EXPECT_EQ(Clamp(4, 0, 9), 4);
  EXPECT_EQ(Clamp(5, 7, 3), 7);  // crossed bounds: low wins below it
  EXPECT_EQ(Clamp(8, 7, 3), 3);
}

TEST_F(SpanTables, TablesAreMadeOnceAndOnlyGrow) {
  EXPECT_EQ(AllocateSpanTables(0), 0);
  EXPECT_EQ(scene.spanTables[0], nullptr);
  ASSERT_EQ(AllocateSpanTables(50), 1);
  SpanRow* first[spanTableCount];
  std::memcpy(first, scene.spanTables, sizeof first);
  for (SpanRow* table : first) ASSERT_NE(table, nullptr);
  ASSERT_EQ(AllocateSpanTables(50), 1);
  EXPECT_EQ(std::memcmp(first, scene.spanTables, sizeof first), 0);
  ASSERT_EQ(AllocateSpanTables(30), 1);
  EXPECT_EQ(std::memcmp(first, scene.spanTables, sizeof first), 0);

  // A taller frame than the tables were made for: walks stay within them.
  MakeFrame(4, 40);  // allocates nothing new for 40 rows
  scene.frameHeight = 200;
  AddShadowEdge(shadow, 1, -5, 2, 500);
  ResetSpanTable(shadow, 200, 4);
  ASSERT_EQ(AllocateSpanTables(200), 1);  // asking for more rows makes new tables
  scene.spanTables[shadow][199] = {0, 3};
  EXPECT_EQ(scene.spanTables[shadow][199].right, 3);
}

// The fused copy must give the bytes of a whole copy followed by one pass
// per table, whatever the tables hold and whichever tables it is given.
TEST_F(SpanTables, BackgroundCopiedWithShadowsEqualsTheCopyThenEachTable) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 200; ++trial) {
    MakeFrame(1 + random() % 70, 1 + random() % 30);  // runs of 16 pixels and more, and shorter
    const int32_t width = scene.frameWidth, height = scene.frameHeight;
    std::vector<uint8_t> background(storage_.begin() + guardBytes, storage_.end() - guardBytes);
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) background[static_cast<size_t>(y) * scene.frameStride + x] = random();
    for (int t = 3; t <= 10; ++t)
      for (int e = random() % 4; e > 0; --e)
        AddShadowEdge(t, random() % (width + 20) - 10, random() % (height + 20) - 10, random() % (width + 20) - 10,
                      random() % (height + 20) - 10);
    const int first = 3 + random() % 9, last = 2 + random() % 9;  // sometimes first > last: no tables
    std::memcpy(scene.framePixels, background.data(), background.size());
    for (int t = first; t <= last; ++t) ApplyShadowTable(t);
    const std::vector<uint8_t> expected = Visible();
    std::memset(scene.framePixels, 0, background.size());
    CopyBackgroundWithShadows(background.data(), first, last);
    ASSERT_EQ(Visible(), expected) << "trial " << trial;
    ASSERT_TRUE(GuardsIntact()) << "trial " << trial;  // the padding comes from the background
  }
}

}  // namespace
