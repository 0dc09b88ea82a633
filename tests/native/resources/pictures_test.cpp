// The generated pictures: the committed files are what the generator makes,
// and each picture has the form and the properties the scene relies on.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "common/int_math.h"
#include "pictures/picture_generator.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Colour = std::tuple<int, int, int>;

Bytes ReadSourceFile(const std::string& name) {
  std::ifstream in(std::string(VIMBREL_SOURCE_DIR) + "/src/resources/" + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const Bytes& Floor() {
  static const Bytes bytes = MakeFloorBitmapFile();
  return bytes;
}

const Bytes& Face() {
  static const Bytes bytes = MakeFaceBitmapFile();
  return bytes;
}

constexpr size_t infoAt = 14;              // the info header follows the file header
constexpr size_t tableAt = infoAt + 40;    // the colour table follows the info header
constexpr size_t pixelsAt = tableAt + 1024;

Colour TableColour(const Bytes& file, int index) {
  const size_t at = tableAt + 4 * static_cast<size_t>(index);
  return {file[at + 2], file[at + 1], file[at]};
}

// A plain RLE8 reader that also records the form of the data.
struct Rle8Reading {
  std::vector<std::vector<uint8_t>> rows;  // bottom row first
  int endOfLines = 0;
  int endsOfBitmap = 0;
  int deltas = 0;
  int shortAbsoluteRuns = 0;  // absolute runs of fewer than 3 bytes are not valid RLE8
  size_t consumed = 0;        // bytes read up to and including the end of bitmap
  bool overran = false;
};

Rle8Reading ReadRle8(const uint8_t* data, size_t size) {
  Rle8Reading reading;
  reading.rows.emplace_back();
  size_t p = 0;
  while (p + 2 <= size) {
    const uint8_t n = data[p], v = data[p + 1];
    p += 2;
    if (n > 0) {
      reading.rows.back().insert(reading.rows.back().end(), n, v);
    } else if (v == 0) {
      ++reading.endOfLines;
      reading.rows.emplace_back();
    } else if (v == 1) {
      ++reading.endsOfBitmap;
      reading.consumed = p;
      return reading;
    } else if (v == 2) {
      ++reading.deltas;
      p += 2;
    } else {
      if (v < 3) ++reading.shortAbsoluteRuns;
      if (p + v > size) break;
      reading.rows.back().insert(reading.rows.back().end(), data + p, data + p + v);
      p += v + (v & 1);  // an odd run is followed by one fill byte
    }
  }
  reading.overran = true;
  return reading;
}

Rle8Reading ReadFloorPixels() {
  return ReadRle8(Floor().data() + pixelsAt, Floor().size() - pixelsAt);
}

std::set<Colour> ForbiddenColours() {
  std::set<Colour> forbidden = {
      {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
      {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
      {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
      {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
  const int starts[3][3] = {{57, 66, 123}, {50, 121, 6}, {41, 41, 49}};
  const int spans[3][3] = {{198, 189, 132}, {205, 134, 249}, {157, 107, 91}};
  for (int ramp = 0; ramp < 3; ++ramp) {
    for (int k = 0; k < 32; ++k) {
      forbidden.insert({starts[ramp][0] + k * spans[ramp][0] / 31, starts[ramp][1] + k * spans[ramp][1] / 31,
                        starts[ramp][2] + k * spans[ramp][2] / 31});
    }
  }
  return forbidden;
}

int Luminance(const Colour& c) { return 3 * std::get<0>(c) + 6 * std::get<1>(c) + std::get<2>(c); }

TEST(Pictures, CommittedFilesAreWhatTheGeneratorMakes) {
  EXPECT_TRUE(ReadSourceFile("floor.bmp") == Floor()) << "regenerate with vimbrel-pictures src/resources";
  EXPECT_TRUE(ReadSourceFile("face.bmp") == Face()) << "regenerate with vimbrel-pictures src/resources";
  EXPECT_TRUE(ReadSourceFile("vimbrel.ico") == MakeIconFile()) << "regenerate with vimbrel-pictures src/resources";
}

TEST(Pictures, EncoderRoundTripsRunsPairsAndOddAbsoluteRuns) {
  const int32_t width = 600;
  Bytes pixels;
  for (int32_t x = 0; x < width; ++x) pixels.push_back(static_cast<uint8_t>(x < 300 ? 7 : x % 5));  // long run, then variety
  for (int32_t x = 0; x < width; ++x) pixels.push_back(static_cast<uint8_t>(x % 7 < 2 ? 9 : x));    // pairs among singles
  for (int32_t x = 0; x < width; ++x) pixels.push_back(static_cast<uint8_t>(x == 599 ? 1 : 0));     // a lone last pixel
  const Bytes data = EncodeRle8(pixels, width, 3);
  const Rle8Reading reading = ReadRle8(data.data(), data.size());
  EXPECT_FALSE(reading.overran);
  EXPECT_EQ(reading.consumed, data.size());
  EXPECT_EQ(reading.endOfLines, 2);
  EXPECT_EQ(reading.shortAbsoluteRuns, 0);
  ASSERT_EQ(reading.rows.size(), 3u);
  for (int32_t y = 0; y < 3; ++y) {
    EXPECT_TRUE(reading.rows[y] == Bytes(pixels.begin() + y * width, pixels.begin() + (y + 1) * width)) << "row " << y;
  }
}

TEST(FloorPicture, HeadersDescribeAnRle8PictureOfTheBackgroundSize) {
  const Bytes& file = Floor();
  ASSERT_GT(file.size(), pixelsAt);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(static_cast<size_t>(ReadLe32(&file[2])), file.size());
  EXPECT_EQ(ReadLe32(&file[10]), static_cast<int32_t>(pixelsAt));
  EXPECT_EQ(ReadLe32(&file[infoAt]), 40);
  EXPECT_EQ(ReadLe32(&file[infoAt + 4]), 1024);
  EXPECT_EQ(ReadLe32(&file[infoAt + 8]), 768);
  EXPECT_EQ(ReadLe16(&file[infoAt + 12]), 1);
  EXPECT_EQ(ReadLe16(&file[infoAt + 14]), 8);
  EXPECT_EQ(ReadLe32(&file[infoAt + 16]), 1);
  EXPECT_EQ(static_cast<size_t>(ReadLe32(&file[infoAt + 20])), file.size() - pixelsAt);
}

TEST(FloorPicture, RowsEndWithEndOfLineAndTheLastWithEndOfBitmap) {
  const Rle8Reading reading = ReadFloorPixels();
  ASSERT_FALSE(reading.overran);
  EXPECT_EQ(reading.endOfLines, 767);
  EXPECT_EQ(reading.endsOfBitmap, 1);
  EXPECT_EQ(reading.deltas, 0);
  EXPECT_EQ(reading.shortAbsoluteRuns, 0);
  EXPECT_EQ(reading.consumed, Floor().size() - pixelsAt);  // the end of bitmap is the last pair
  ASSERT_EQ(reading.rows.size(), 768u);
  std::set<int> used;
  for (size_t y = 0; y < reading.rows.size(); ++y) {
    ASSERT_EQ(reading.rows[y].size(), 1024u) << "row " << y;
    used.insert(reading.rows[y].begin(), reading.rows[y].end());
  }
  EXPECT_EQ(*used.rbegin(), 31) << "pixels use the base colours 0..31 only";
  EXPECT_EQ(used.size(), 32u) << "every base colour is used";
}

TEST(FloorPicture, BaseColoursOccurOnlyOnceInTheScenePalette) {
  const std::set<Colour> forbidden = ForbiddenColours();
  std::set<Colour> base, shadows;
  for (int i = 0; i < 32; ++i) {
    const Colour c = TableColour(Floor(), i);
    base.insert(c);
    EXPECT_EQ(forbidden.count(c), 0u) << "base colour " << i << " is a static or ramp colour";
    const auto [r, g, b] = c;
    shadows.insert({(r >> 1) + (r >> 2), (g >> 1) + (g >> 2), (b >> 1) + (b >> 2)});
    shadows.insert({r >> 1, g >> 1, b >> 1});
    shadows.insert({r >> 2, g >> 2, b >> 2});
  }
  EXPECT_EQ(base.size(), 32u) << "base colours are distinct";
  for (const Colour& c : base) EXPECT_EQ(shadows.count(c), 0u) << "a base colour equals a shadow copy";
}

TEST(FloorPicture, FadesToAPaleEvenHorizonAtTheTop) {
  const Rle8Reading reading = ReadFloorPixels();
  ASSERT_EQ(reading.rows.size(), 768u);
  // Mean and spread of the luminance over rows first..last.
  auto rowStats = [&](size_t first, size_t last, double& mean, int& spread) {
    int lowest = 1 << 30, highest = 0;
    double sum = 0;
    for (size_t y = first; y <= last; ++y) {
      for (uint8_t index : reading.rows[y]) {
        const int l = Luminance(TableColour(Floor(), index));
        sum += l;
        lowest = std::min(lowest, l);
        highest = std::max(highest, l);
      }
    }
    mean = sum / (1024.0 * (last - first + 1));
    spread = highest - lowest;
  };
  double topMean, bottomMean;
  int topSpread, bottomSpread;
  rowStats(760, 767, topMean, topSpread);
  rowStats(0, 39, bottomMean, bottomSpread);
  EXPECT_GT(topMean, bottomMean + 200);  // clearly paler (luminance in tenths of a channel value)
  EXPECT_GT(topMean, 2300);
  EXPECT_LT(topSpread, 100);             // no pattern left near the horizon
  EXPECT_GT(bottomSpread, 800);          // a crisp pattern near the viewer
}

TEST(FloorPicture, TileJointsLieUnderTheFloorGrid) {
  // Near the viewer the joints between tiles (every 50 floor units) are the
  // darkest lines of the pattern; where the grid overlay projects a line,
  // the picture is darker than the row around it.
  const Rle8Reading reading = ReadFloorPixels();
  ASSERT_EQ(reading.rows.size(), 768u);
  for (int z = 100; z <= 300; z += 50) {
    const int depth = z + 10;  // near a tile corner, where a joint runs down each cross
    const int row = 1800 * depth / (depth + 4000);
    double rowMean = 0;
    for (uint8_t index : reading.rows[row]) rowMean += Luminance(TableColour(Floor(), index));
    rowMean /= 1024;
    for (int x = -500; x <= 500; x += 50) {
      const int column = x * 4000 / (depth + 4000) + 512;
      int darkest = 1 << 30;
      for (int c = column - 1; c <= column + 1; ++c) {
        darkest = std::min(darkest, Luminance(TableColour(Floor(), reading.rows[row][c])));
      }
      EXPECT_LT(darkest, rowMean - 150) << "joint x " << x << " at row " << row;
    }
  }
}

// --- Face pattern ---------------------------------------------------------

constexpr int faceW = 750, faceH = 800, faceStride = 752;

// Figure (1) or ground (0) at (x, y) counted from the top left; outside is ground.
int FaceAt(const Bytes& file, int x, int y) {
  if (x < 0 || y < 0 || x >= faceW || y >= faceH) return 0;
  return file[pixelsAt + static_cast<size_t>(faceH - 1 - y) * faceStride + x];
}

// Signed distance of a pixel centre inside the face triangle (positive inside).
double InsideTriangleBy(double px, double py) {
  const double corners[3][2] = {{19, 744}, {374, 0}, {731, 744}};
  double least = 1e9;
  for (int k = 0; k < 3; ++k) {
    const double ax = corners[k][0], ay = corners[k][1];
    const double bx = corners[(k + 1) % 3][0], by = corners[(k + 1) % 3][1];
    const double length = std::sqrt((bx - ax) * (bx - ax) + (by - ay) * (by - ay));
    least = std::min(least, ((bx - ax) * (py - ay) - (by - ay) * (px - ax)) / length);
  }
  return least;
}

TEST(FacePicture, IsATwoColourUncompressedPictureWithGroundFirst) {
  const Bytes& file = Face();
  ASSERT_EQ(file.size(), pixelsAt + 601600);
  EXPECT_EQ(ReadLe32(&file[10]), static_cast<int32_t>(pixelsAt));
  EXPECT_EQ(ReadLe32(&file[infoAt + 4]), faceW);
  EXPECT_EQ(ReadLe32(&file[infoAt + 8]), faceH);
  EXPECT_EQ(ReadLe16(&file[infoAt + 14]), 8);
  EXPECT_EQ(ReadLe32(&file[infoAt + 16]), 0);
  EXPECT_EQ(ReadLe32(&file[infoAt + 20]), 601600);
  EXPECT_EQ(TableColour(file, 0), Colour(255, 255, 255));
  EXPECT_LT(Luminance(TableColour(file, 1)), 500);  // a dark figure
  for (int i = 2; i < 256; ++i) EXPECT_EQ(TableColour(file, i), Colour(0, 0, 0)) << i;
  EXPECT_EQ(file[pixelsAt], 0) << "the first stored pixel is ground";
  for (size_t row = 0; row < faceH; ++row) {
    for (size_t x = 0; x < faceStride; ++x) {
      const uint8_t v = file[pixelsAt + row * faceStride + x];
      ASSERT_LE(v, x < faceW ? 1 : 0) << "row " << row << " byte " << x;
    }
  }
}

TEST(FacePicture, FigureFillsTheFaceTriangleAndStaysInsideIt) {
  const Bytes& file = Face();
  int figure = 0, outside = 0;
  for (int y = 0; y < faceH; ++y) {
    for (int x = 0; x < faceW; ++x) {
      if (!FaceAt(file, x, y)) continue;
      ++figure;
      if (InsideTriangleBy(x + 0.5, y + 0.5) < 6) ++outside;
    }
  }
  EXPECT_EQ(outside, 0) << "figure pixels closer than 6 pixels to the triangle's edge or beyond it";
  const double triangleArea = 712.0 * 744.0 / 2;
  EXPECT_GT(figure, 0.25 * triangleArea);
  EXPECT_LT(figure, 0.65 * triangleArea);
  // The figure reaches into all three corners.
  const int corners[3][2] = {{19, 744}, {374, 0}, {731, 744}};
  for (const auto& corner : corners) {
    bool near = false;
    for (int y = corner[1] - 90; y <= corner[1] + 90 && !near; ++y) {
      for (int x = corner[0] - 90; x <= corner[0] + 90 && !near; ++x) near = FaceAt(file, x, y) != 0;
    }
    EXPECT_TRUE(near) << "corner " << corner[0] << ", " << corner[1];
  }
}

// Two-pass 3-4 chamfer distance (three units a pixel) from the pixels where
// seed is true.
std::vector<int> ChamferDistance(const std::vector<bool>& seed) {
  const int big = 1 << 28;
  std::vector<int> d(seed.size());
  for (size_t i = 0; i < seed.size(); ++i) d[i] = seed[i] ? 0 : big;
  auto at = [&](int x, int y) { return (x < 0 || y < 0 || x >= faceW || y >= faceH) ? big : d[y * faceW + x]; };
  for (int y = 0; y < faceH; ++y) {
    for (int x = 0; x < faceW; ++x) {
      int& v = d[y * faceW + x];
      v = std::min({v, at(x - 1, y) + 3, at(x, y - 1) + 3, at(x - 1, y - 1) + 4, at(x + 1, y - 1) + 4});
    }
  }
  for (int y = faceH - 1; y >= 0; --y) {
    for (int x = faceW - 1; x >= 0; --x) {
      int& v = d[y * faceW + x];
      v = std::min({v, at(x + 1, y) + 3, at(x, y + 1) + 3, at(x + 1, y + 1) + 4, at(x - 1, y + 1) + 4});
    }
  }
  return d;
}

TEST(FacePicture, StrokesAreBoldEverywhere) {
  // Faces show this picture at down to a twelfth of its size without
  // filtering, so no stroke may be thin: every figure pixel lies in a disc
  // of radius 12 pixels made of figure alone (the figure is unchanged by an
  // opening with that disc).
  const Bytes& file = Face();
  constexpr int radius = 12;
  std::vector<bool> ground(faceW * faceH);
  for (int y = 0; y < faceH; ++y) {
    for (int x = 0; x < faceW; ++x) ground[y * faceW + x] = FaceAt(file, x, y) == 0;
  }
  // The picture's edge counts as ground: the chamfer pass sees 'big' beyond
  // it, so add a ring of ground distance by hand.
  std::vector<int> toGround = ChamferDistance(ground);
  for (int y = 0; y < faceH; ++y) {
    for (int x = 0; x < faceW; ++x) {
      const int edge = 3 * (1 + std::min({x, y, faceW - 1 - x, faceH - 1 - y}));
      toGround[y * faceW + x] = std::min(toGround[y * faceW + x], edge);
    }
  }
  std::vector<bool> centres(faceW * faceH);
  for (size_t i = 0; i < centres.size(); ++i) centres[i] = toGround[i] >= 3 * radius;
  const std::vector<int> toCentre = ChamferDistance(centres);
  int thin = 0;
  for (size_t i = 0; i < ground.size(); ++i) {
    if (!ground[i] && toCentre[i] > 3 * (radius + 2)) ++thin;  // 2 pixels for the chamfer's error
  }
  EXPECT_EQ(thin, 0);
}

// --- Icon -----------------------------------------------------------------

// Pixels of one stored icon image, RGBA top row first: a 32-bit bitmap with
// its AND mask (which must be set exactly where alpha is 0), or a PNG read
// by libpng.
Bytes StoredIconPixels(const uint8_t* image, size_t bytes, int size) {
  if (bytes >= 8 && image[0] == 0x89 && image[1] == 'P') {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, image, bytes)) return {};
    png.format = PNG_FORMAT_RGBA;
    Bytes rgba(PNG_IMAGE_SIZE(png));
    if (static_cast<int>(png.width) != size || static_cast<int>(png.height) != size ||
        !png_image_finish_read(&png, nullptr, rgba.data(), 0, nullptr))
      return {};
    return rgba;
  }
  const size_t maskStride = (size + 31) / 32 * 4;
  if (bytes != 40 + size * size * 4 + maskStride * size || ReadLe32(image) != 40 || ReadLe32(image + 4) != size ||
      ReadLe32(image + 8) != 2 * size || ReadLe16(image + 14) != 32)  // height counts colour and mask
    return {};
  Bytes rgba;
  for (int y = 0; y < size; ++y) {
    const int stored = size - 1 - y;  // bottom row first
    for (int x = 0; x < size; ++x) {
      const uint8_t* bgra = image + 40 + (stored * size + x) * 4;
      const bool masked = (image[40 + size * size * 4 + stored * maskStride + x / 8] >> (7 - x % 8)) & 1;
      if (masked != (bgra[3] == 0)) return {};
      rgba.insert(rgba.end(), {bgra[2], bgra[1], bgra[0], bgra[3]});
    }
  }
  return rgba;
}

TEST(IconFile, HoldsFourSizesTheLargestAsPngEachShowingItsDrawing) {
  const Bytes icon = MakeIconFile();
  ASSERT_GE(icon.size(), 6u + 4 * 16);
  EXPECT_EQ(ReadLe16(&icon[0]), 0);
  EXPECT_EQ(ReadLe16(&icon[2]), 1);
  ASSERT_EQ(ReadLe16(&icon[4]), 4);
  const int sizes[4] = {16, 32, 48, 256};
  for (int i = 0; i < 4; ++i) {
    const int size = sizes[i];
    const uint8_t* entry = &icon[6 + 16 * i];
    EXPECT_EQ(entry[0], size % 256) << "256 is written as 0";
    EXPECT_EQ(entry[1], size % 256);
    EXPECT_EQ(ReadLe16(entry + 6), 32);
    const size_t bytes = static_cast<size_t>(ReadLe32(entry + 8));
    const size_t offset = static_cast<size_t>(ReadLe32(entry + 12));
    ASSERT_LE(offset + bytes, icon.size());
    EXPECT_EQ(icon[offset] == 0x89, size == 256) << "only the largest is PNG";
    const Bytes stored = StoredIconPixels(&icon[offset], bytes, size);
    const Bytes drawn = IconPixels(size);
    ASSERT_EQ(stored.size(), static_cast<size_t>(size * size * 4)) << size << ": unreadable image";
    EXPECT_TRUE(stored == drawn) << size;
    int opaque = 0, clear = 0;
    for (size_t k = 3; k < drawn.size(); k += 4) {
      opaque += drawn[k] == 255;
      clear += drawn[k] == 0;
    }
    EXPECT_GT(opaque, size * size / 3) << size;
    EXPECT_GT(clear, size * size / 8) << size;
  }
  // The PNG is compressed, not merely wrapped.
  EXPECT_LT(ReadLe32(&icon[6 + 16 * 3 + 8]), 256 * 256);
}

}  // namespace
