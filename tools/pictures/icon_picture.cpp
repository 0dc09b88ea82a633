// icon_picture.cpp - the program icon (icon group 101).
//
// A pyramid and a dodecahedron on a patch of ochre floor, each with its
// shadow, drawn as flat polygons in the colours of the running scene. Each
// pixel is the average of 8 x 8 samples, so edges are smooth and the
// transparency around the floor patch is graded. Two sizes, 16 and 32, as
// 32-bit images with alpha and an AND mask.
#include <cstddef>

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
  static const double cosines[10] = {1.0, 0.8090169943749475, 0.3090169943749474, -0.3090169943749474,
                                     -0.8090169943749475, -1.0, -0.8090169943749475, -0.3090169943749474,
                                     0.3090169943749474, 0.8090169943749475};
  static const double sines[10] = {0.0, 0.5877852522924731, 0.9510565162951535, 0.9510565162951535,
                                   0.5877852522924731, 0.0, -0.5877852522924731, -0.9510565162951535,
                                   -0.9510565162951535, -0.5877852522924731};
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

std::vector<Shape> IconShapes() {
  std::vector<Shape> shapes;
  // The floor patch: an ochre rim round a cream tile, joints across it.
  shapes.push_back({{{0.0, 0.73}, {0.5, 0.48}, {1.0, 0.73}, {0.5, 0.98}}, 214, 160, 80});
  shapes.push_back({{{0.08, 0.73}, {0.5, 0.52}, {0.92, 0.73}, {0.5, 0.94}}, 246, 234, 208});
  shapes.push_back({{{0.27, 0.615}, {0.75, 0.855}, {0.73, 0.865}, {0.25, 0.625}}, 200, 146, 72});
  shapes.push_back({{{0.73, 0.615}, {0.25, 0.855}, {0.27, 0.865}, {0.75, 0.625}}, 200, 146, 72});
  // Shadows, thrown forward and to the right.
  shapes.push_back({{{0.34, 0.76}, {0.54, 0.63}, {0.62, 0.86}}, 190, 170, 136});
  shapes.push_back({Ring({0.80, 0.78}, 0.14, 0.4, 10, false), 190, 170, 136});
  // The pyramid: a shaded left face and a lit right face.
  shapes.push_back({{{0.30, 0.03}, {0.05, 0.66}, {0.34, 0.77}}, 78, 88, 150});
  shapes.push_back({{{0.30, 0.03}, {0.34, 0.77}, {0.55, 0.62}}, 150, 158, 206});
  // The dodecahedron: a ten-sided outline, five faces around a front pentagon.
  const Point centre = {0.73, 0.55};
  const std::vector<Point> outline = Ring(centre, 0.22, 1.0, 10, true);
  const std::vector<Point> inner = Ring({centre.x - 0.02, centre.y + 0.01}, 0.11, 1.0, 5, true);
  const uint8_t shades[5][3] = {{148, 196, 110}, {96, 156, 58}, {62, 120, 30}, {74, 134, 40}, {124, 180, 88}};
  shapes.push_back({outline, 40, 90, 20});
  for (int32_t i = 0; i < 5; ++i) {
    // Face i: the front pentagon's edge i and the three outline corners beyond it.
    shapes.push_back({{inner[i], outline[2 * i], outline[2 * i + 1], outline[(2 * i + 2) % 10], inner[(i + 1) % 5]},
                      shades[i][0], shades[i][1], shades[i][2]});
  }
  shapes.push_back({inner, 178, 214, 150});
  return shapes;
}

// One image: the 40-byte header (height doubled for the mask), BGRA rows
// bottom first, then the AND mask (1 = transparent), rows padded to 32 bits.
std::vector<uint8_t> IconImage(int32_t size, const std::vector<Shape>& shapes) {
  constexpr int32_t samples = 8;
  const int32_t maskStride = (size + 31) / 32 * 4;
  std::vector<uint8_t> out(40, 0);
  out[0] = 40;
  out[4] = static_cast<uint8_t>(size);
  out[8] = static_cast<uint8_t>(2 * size);
  out[12] = 1;
  out[14] = 32;
  const uint32_t imageSize = static_cast<uint32_t>(size * size * 4 + maskStride * size);
  for (int32_t k = 0; k < 4; ++k) out[20 + k] = static_cast<uint8_t>(imageSize >> (8 * k));
  std::vector<uint8_t> mask(static_cast<size_t>(maskStride) * size, 0);
  for (int32_t row = size - 1; row >= 0; --row) {
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
      out.push_back(static_cast<uint8_t>(covered ? (b + half) / covered : 0));
      out.push_back(static_cast<uint8_t>(covered ? (g + half) / covered : 0));
      out.push_back(static_cast<uint8_t>(covered ? (r + half) / covered : 0));
      out.push_back(static_cast<uint8_t>((covered * 255 + samples * samples / 2) / (samples * samples)));
      if (covered == 0) {
        mask[static_cast<size_t>(size - 1 - row) * maskStride + column / 8] |= static_cast<uint8_t>(0x80 >> (column % 8));
      }
    }
  }
  out.insert(out.end(), mask.begin(), mask.end());
  return out;
}


}  // namespace

std::vector<uint8_t> MakeIconFile() {
  const std::vector<Shape> shapes = IconShapes();
  const int32_t sizes[2] = {16, 32};
  std::vector<uint8_t> images[2] = {IconImage(sizes[0], shapes), IconImage(sizes[1], shapes)};
  std::vector<uint8_t> out;
  AppendLe16(out, 0);
  AppendLe16(out, 1);  // an icon, not a cursor
  AppendLe16(out, 2);
  uint32_t offset = 6 + 2 * 16;
  for (int32_t i = 0; i < 2; ++i) {
    out.push_back(static_cast<uint8_t>(sizes[i]));
    out.push_back(static_cast<uint8_t>(sizes[i]));
    out.push_back(0);  // no colour table
    out.push_back(0);
    AppendLe16(out, 1);
    AppendLe16(out, 32);
    AppendLe32(out, static_cast<uint32_t>(images[i].size()));
    AppendLe32(out, offset);
    offset += static_cast<uint32_t>(images[i].size());
  }
  for (const std::vector<uint8_t>& image : images) out.insert(out.end(), image.begin(), image.end());
  return out;
}
