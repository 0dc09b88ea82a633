// icon_picture.cpp - the program icon (icon group 101).
//
// A pyramid and a dodecahedron on a patch of ochre floor, drawn as flat
// polygons in the colours of the running scene. Four sizes: 48 and 256
// pixels show the whole picture with the tile joints and the shadows; 16 and
// 32 have layouts of their own, placed on whole pixels, without shadows and
// with a dark line round each solid, so that they stay legible. The small
// sizes are stored as 32-bit bitmaps with alpha and an AND mask, 256 as PNG.
#include <cmath>
#include <cstddef>

#include "core/common/int_math.h"
#include "files/png_file.h"
#include "pictures/picture_generator.h"

namespace {

struct Point {
  double x, y;  // 0..1 across the icon, y down
};

struct Shape {
  std::vector<Point> corners;  // convex, either winding
  uint8_t r, g, b;
};

bool Inside(const Shape& shape, Point p) {
  bool positive = false, negative = false;
  const size_t n = shape.corners.size();
  for (size_t i = 0; i < n; ++i) {
    const Point a = shape.corners[i], b = shape.corners[(i + 1) % n];
    const double side = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
    if (side > 0) positive = true;
    if (side < 0) negative = true;
  }
  return !(positive && negative);
}

// A regular polygon; the cosines and sines of multiples of 36 degrees,
// written out so that the icon does not depend on the maths library.
std::vector<Point> Ring(Point centre, double radius, double squash, int32_t corners, bool pointUp) {
  static const double cosines[10] = {
      1.0,  0.8090169943749475,  0.3090169943749474,  -0.3090169943749474, -0.8090169943749475,
      -1.0, -0.8090169943749475, -0.3090169943749474, 0.3090169943749474,  0.8090169943749475};
  static const double sines[10] = {
      0.0, 0.5877852522924731,  0.9510565162951535,  0.9510565162951535,  0.5877852522924731,
      0.0, -0.5877852522924731, -0.9510565162951535, -0.9510565162951535, -0.5877852522924731};
  std::vector<Point> points;
  const int32_t step = 10 / corners;
  for (int32_t i = 0; i < corners; ++i) {
    // Turned by a quarter turn (sine for cosine) so that a pentagon stands on a point or a side.
    const int32_t k = (i * step) % 10;
    const double c = pointUp ? sines[k] : cosines[k];
    const double s = pointUp ? -cosines[k] : sines[k];
    points.push_back({centre.x + radius * c, centre.y + radius * s * squash});
  }
  return points;
}

// The convex polygon grown by width on every side: each edge moved outward,
// the corners where the moved edges meet.
std::vector<Point> Grown(const std::vector<Point>& corners, double width) {
  const size_t n = corners.size();
  double area = 0;  // twice the signed area: its sign says which side is outside
  for (size_t i = 0; i < n; ++i) {
    area += corners[i].x * corners[(i + 1) % n].y - corners[(i + 1) % n].x * corners[i].y;
  }
  const double outward = area > 0 ? 1.0 : -1.0;
  std::vector<Point> starts, directions;
  for (size_t i = 0; i < n; ++i) {
    const Point a = corners[i], b = corners[(i + 1) % n];
    const double dx = b.x - a.x, dy = b.y - a.y, length = std::sqrt(dx * dx + dy * dy);
    starts.push_back({a.x + outward * width * dy / length, a.y - outward * width * dx / length});
    directions.push_back({dx, dy});
  }
  std::vector<Point> grown;
  for (size_t i = 0; i < n; ++i) {
    // Where moved edge i-1 meets moved edge i.
    const Point p = starts[(i + n - 1) % n], d = directions[(i + n - 1) % n];
    const Point q = starts[i], e = directions[i];
    const double t = ((q.x - p.x) * e.y - (q.y - p.y) * e.x) / (d.x * e.y - d.y * e.x);
    grown.push_back({p.x + t * d.x, p.y + t * d.y});
  }
  return grown;
}

// Where things go at one size. Coordinates count in 1/grid of the icon, so
// that the small sizes can be placed on whole pixels.
struct Layout {
  double grid;
  Point floorLeft, floorBack, floorRight, floorFront;  // the patch, a diamond
  double rim;                                          // the ochre rim's height; twice that across
  double joints;                                       // width of the joints across the tile; 0: none
  Point apex, baseLeft, baseFront, baseRight;          // the pyramid
  Point ballCentre;                                    // the dodecahedron
  double ballRadius;
  bool shadows;
  double outline;  // a dark line round each solid; 0: none
};

// 48 and 256 pixels: the whole picture, shadows and all.
constexpr Layout detailedLayout = {100,     {0, 73},  {50, 48}, {100, 73}, {50, 98}, 4,    2, {30, 3},
                                   {5, 66}, {34, 77}, {55, 62}, {73, 55},  22,       true, 0};
// 32 pixels: no shadows, a line round the solids, corners on whole pixels.
constexpr Layout smallLayout = {32,      {0, 23},  {16, 15}, {32, 23},     {16, 31}, 1.5,   0.75, {10, 1},
                                {1, 21}, {11, 25}, {18, 20}, {23.5, 17.5}, 7,        false, 1};
// 16 pixels: floor, pyramid and dodecahedron as large as they fit, outlined.
constexpr Layout tinyLayout = {16,  {0, 12},     {8, 8},        {16, 12},  {8, 16},       1,
                               0,   {4.5, 1.25}, {0.75, 11.25}, {5.5, 13}, {8.75, 10.75}, {11.75, 9.75},
                               3.5, false,       0.75};

Point Scaled(const Layout& layout, Point p) { return {p.x / layout.grid, p.y / layout.grid}; }

std::vector<Point> Scaled(const Layout& layout, std::vector<Point> points) {
  for (Point& p : points) p = Scaled(layout, p);
  return points;
}

Point Between(Point a, Point b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }

// A bar of the given width from a to b.
std::vector<Point> Bar(Point a, Point b, double width) {
  const double dx = b.x - a.x, dy = b.y - a.y, length = std::sqrt(dx * dx + dy * dy);
  const double nx = -dy / length * width / 2, ny = dx / length * width / 2;
  return {{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}};
}

void AddFloor(const Layout& layout, std::vector<Shape>& shapes) {
  const Point left = layout.floorLeft, back = layout.floorBack, right = layout.floorRight, front = layout.floorFront;
  const double rim = layout.rim;
  const Point innerLeft = {left.x + 2 * rim, left.y}, innerBack = {back.x, back.y + rim};
  const Point innerRight = {right.x - 2 * rim, right.y}, innerFront = {front.x, front.y - rim};
  shapes.push_back({Scaled(layout, {left, back, right, front}), 214, 160, 80});
  shapes.push_back({Scaled(layout, {innerLeft, innerBack, innerRight, innerFront}), 246, 234, 208});
  if (layout.joints == 0) return;
  shapes.push_back({Scaled(layout, Bar(Between(innerLeft, innerBack), Between(innerRight, innerFront), layout.joints)),
                    200, 146, 72});
  shapes.push_back({Scaled(layout, Bar(Between(innerBack, innerRight), Between(innerFront, innerLeft), layout.joints)),
                    200, 146, 72});
}

// Shadows thrown forward and to the right, as the scene's lights throw them.
void AddShadows(const Layout& layout, std::vector<Shape>& shapes) {
  const Point front = layout.baseFront, right = layout.baseRight, ball = layout.ballCentre;
  const double r = layout.ballRadius;
  shapes.push_back({Scaled(layout, {{front.x, front.y - 1}, {right.x - 1, right.y + 1}, {front.x + 28, front.y + 9}}),
                    190, 170, 136});
  shapes.push_back(
      {Scaled(layout, Ring({ball.x + 0.32 * r, ball.y + 1.05 * r}, 0.64 * r, 0.4, 10, false)), 190, 170, 136});
}

void AddPyramid(const Layout& layout, std::vector<Shape>& shapes) {
  if (layout.outline > 0) {
    shapes.push_back(
        {Scaled(layout, Grown({layout.apex, layout.baseLeft, layout.baseFront, layout.baseRight}, layout.outline)), 36,
         40, 84});
  }
  shapes.push_back({Scaled(layout, {layout.apex, layout.baseLeft, layout.baseFront}), 78, 88, 150});     // shaded
  shapes.push_back({Scaled(layout, {layout.apex, layout.baseFront, layout.baseRight}), 150, 158, 206});  // lit
}

// A ten-sided outline, five faces around a front pentagon.
void AddDodecahedron(const Layout& layout, std::vector<Shape>& shapes) {
  const Point centre = layout.ballCentre;
  const double radius = layout.ballRadius;
  const std::vector<Point> outline = Ring(centre, radius, 1.0, 10, true);
  const std::vector<Point> inner = Ring({centre.x - radius / 11, centre.y + radius / 22}, radius / 2, 1.0, 5, true);
  const uint8_t shades[5][3] = {{148, 196, 110}, {96, 156, 58}, {62, 120, 30}, {74, 134, 40}, {124, 180, 88}};
  shapes.push_back({Scaled(layout, layout.outline > 0 ? Grown(outline, layout.outline) : outline), 40, 90, 20});
  for (int32_t i = 0; i < 5; ++i) {
    // Face i: the front pentagon's edge i and the three outline corners beyond it.
    shapes.push_back(
        {Scaled(layout, {inner[i], outline[2 * i], outline[2 * i + 1], outline[(2 * i + 2) % 10], inner[(i + 1) % 5]}),
         shades[i][0], shades[i][1], shades[i][2]});
  }
  shapes.push_back({Scaled(layout, inner), 178, 214, 150});
}

std::vector<Shape> IconShapes(const Layout& layout) {
  std::vector<Shape> shapes;
  AddFloor(layout, shapes);
  if (layout.shadows) AddShadows(layout, shapes);
  AddPyramid(layout, shapes);
  AddDodecahedron(layout, shapes);
  return shapes;
}

const Layout& LayoutFor(int32_t size) {
  if (size <= 16) return tinyLayout;
  if (size <= 32) return smallLayout;
  return detailedLayout;
}

// The icon at size x size: RGBA, top row first. Each pixel is the average of
// samples x samples points, so edges are smooth and the transparency around
// the floor patch is graded.
std::vector<uint8_t> DrawIcon(int32_t size, const std::vector<Shape>& shapes) {
  const int32_t samples = size > 64 ? 4 : 8;  // 16 levels of edge are plenty where pixels are this small
  std::vector<uint8_t> out;
  for (int32_t row = 0; row < size; ++row) {
    for (int32_t column = 0; column < size; ++column) {
      int32_t covered = 0, r = 0, g = 0, b = 0;
      for (int32_t j = 0; j < samples; ++j) {
        for (int32_t i = 0; i < samples; ++i) {
          const Point p = {(column + (i + 0.5) / samples) / size, (row + (j + 0.5) / samples) / size};
          const Shape* top = nullptr;
          for (const Shape& shape : shapes) {
            if (Inside(shape, p)) top = &shape;
          }
          if (!top) continue;
          ++covered;
          r += top->r;
          g += top->g;
          b += top->b;
        }
      }
      const int32_t half = covered / 2;  // rounds the averages to the nearest value
      out.push_back(static_cast<uint8_t>(covered ? (r + half) / covered : 0));
      out.push_back(static_cast<uint8_t>(covered ? (g + half) / covered : 0));
      out.push_back(static_cast<uint8_t>(covered ? (b + half) / covered : 0));
      out.push_back(static_cast<uint8_t>((covered * 255 + samples * samples / 2) / (samples * samples)));
    }
  }
  return out;
}

// One image as the icon format stores the small sizes: the 40-byte header
// (height doubled for the mask), BGRA rows bottom first, then the AND mask
// (1 = transparent), rows padded to 32 bits.
std::vector<uint8_t> BitmapImage(int32_t size, const std::vector<uint8_t>& rgba) {
  const int32_t maskStride = (size + 31) / 32 * 4;
  std::vector<uint8_t> out(40, 0);
  WriteLe32(&out[0], 40);
  WriteLe32(&out[4], size);
  WriteLe32(&out[8], 2 * size);
  WriteLe16(&out[12], 1);
  WriteLe16(&out[14], 32);
  WriteLe32(&out[20], size * size * 4 + maskStride * size);
  std::vector<uint8_t> mask(static_cast<size_t>(maskStride) * size, 0);
  for (int32_t row = size - 1; row >= 0; --row) {
    for (int32_t column = 0; column < size; ++column) {
      const uint8_t* pixel = &rgba[(static_cast<size_t>(row) * size + column) * 4];
      out.insert(out.end(), {pixel[2], pixel[1], pixel[0], pixel[3]});
      if (pixel[3] == 0) {
        mask[static_cast<size_t>(size - 1 - row) * maskStride + column / 8] |=
            static_cast<uint8_t>(0x80 >> (column % 8));
      }
    }
  }
  out.insert(out.end(), mask.begin(), mask.end());
  return out;
}

// The largest image, as PNG; empty when libpng cannot make it.
std::vector<uint8_t> PngImage(int32_t size, const std::vector<uint8_t>& rgba) {
  std::vector<uint8_t> file;
  EncodePng({size, size, PngPixels::rgba, rgba.data(), 4 * size, nullptr}, file);
  return file;
}

}  // namespace

std::vector<uint8_t> IconPixels(int32_t size) { return DrawIcon(size, IconShapes(LayoutFor(size))); }

std::vector<uint8_t> MakeIconFile() {
  std::vector<std::vector<uint8_t>> images;
  for (int32_t size : iconSizes) {
    const std::vector<uint8_t> rgba = IconPixels(size);
    // Windows reads the largest image as PNG, the others as bitmaps with a mask.
    images.push_back(size == 256 ? PngImage(size, rgba) : BitmapImage(size, rgba));
  }
  std::vector<uint8_t> out(6 + 16 * images.size(), 0);
  WriteLe16(&out[2], 1);  // an icon, not a cursor
  WriteLe16(&out[4], static_cast<uint16_t>(images.size()));
  size_t offset = out.size();
  for (size_t i = 0; i < images.size(); ++i) {
    uint8_t* entry = &out[6 + 16 * i];
    entry[0] = entry[1] = static_cast<uint8_t>(iconSizes[i]);  // 256 is written as 0; no colour table
    WriteLe16(entry + 4, 1);
    WriteLe16(entry + 6, 32);
    WriteLe32(entry + 8, static_cast<int32_t>(images[i].size()));
    WriteLe32(entry + 12, static_cast<int32_t>(offset));
    offset += images[i].size();
  }
  for (const std::vector<uint8_t>& image : images) out.insert(out.end(), image.begin(), image.end());
  return out;
}
