// face_picture.cpp - the pattern on every face of the solids (bitmap 113).
//
// Every face triangle maps its corners to (19, 744), (731, 744) and (374, 0)
// of this picture (counted from the top left), so the figure fills that
// triangle: a bold border with rounded outer corners and, inside, an emblem
// of brush strokes - a ring written with a broad pen, a dot in its middle, a
// tapering stroke rising to the apex and a spiral curling into each bottom
// corner. Faces are drawn small (down to a twelfth of this size) by affine
// mapping with no filtering, so every stroke is at least 30 pixels wide.
// Colour 0 is the white ground, colour 1 the dark figure.
#include <algorithm>
#include <cmath>
#include <cstddef>

#include "files/bitmap_writer.h"
#include "pictures/picture_generator.h"

namespace {

struct Point {
  double x, y;
};

Point Add(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
Point Sub(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
Point Scale(Point a, double s) { return {a.x * s, a.y * s}; }
double Dot(Point a, Point b) { return a.x * b.x + a.y * b.y; }
double Length(Point a) { return std::sqrt(Dot(a, a)); }

constexpr double pi = 3.14159265358979;

// Sine by its series after reduction to -pi..pi, so that the picture does
// not depend on the maths library's last bit.
double Sine(double a) {
  a -= 2 * pi * std::floor((a + pi) / (2 * pi));
  double term = a, sum = a;
  for (int32_t n = 1; n < 14; ++n) {
    term *= -a * a / ((2 * n) * (2 * n + 1));
    sum += term;
  }
  return sum;
}

double Cosine(double a) { return Sine(a + pi / 2); }

constexpr Point cornerLeft = {19, 744};
constexpr Point cornerRight = {731, 744};
constexpr Point cornerTop = {374, 0};

struct Figure {
  std::vector<uint8_t> pixels;  // one byte per pixel, rows from the top, faceWidth per row
};

void SetFigure(Figure& figure, int32_t x, int32_t y) {
  if (x < 0 || y < 0 || x >= faceWidth || y >= faceHeight) return;
  figure.pixels[static_cast<size_t>(y) * faceWidth + x] = 1;
}

// A filled disc: every pixel whose centre lies within radius of c.
void StampDisc(Figure& figure, Point c, double radius) {
  const int32_t x0 = static_cast<int32_t>(std::floor(c.x - radius));
  const int32_t x1 = static_cast<int32_t>(std::ceil(c.x + radius));
  const int32_t y0 = static_cast<int32_t>(std::floor(c.y - radius));
  const int32_t y1 = static_cast<int32_t>(std::ceil(c.y + radius));
  for (int32_t y = y0; y <= y1; ++y) {
    for (int32_t x = x0; x <= x1; ++x) {
      const Point d = Sub({x + 0.5, y + 0.5}, c);
      if (Dot(d, d) <= radius * radius) SetFigure(figure, x, y);
    }
  }
}

// A brush stroke: discs along a path, path(t) and width(t) for t in 0..1,
// close enough together that the stroke's edge is smooth.
template <typename Path, typename Width>
void Stroke(Figure& figure, Path path, Width width, int32_t steps) {
  for (int32_t i = 0; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    StampDisc(figure, path(t), width(t) / 2);
  }
}

// Distance from p to the segment a-b.
double SegmentDistance(Point p, Point a, Point b) {
  const Point ab = Sub(b, a);
  const double t = std::clamp(Dot(Sub(p, a), ab) / Dot(ab, ab), 0.0, 1.0);
  return Length(Sub(p, Add(a, Scale(ab, t))));
}

// Which side of the directed line a-b the point is on (positive: left, in
// picture coordinates with y down).
double Side(Point p, Point a, Point b) { return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x); }

// The border: every point within borderWidth outside the triangle inset by
// borderInset + borderWidth, which gives a band of even width with sharp
// inner and rounded outer corners.
void DrawBorder(Figure& figure, Point incentre, double inradius) {
  constexpr double borderInset = 14;
  constexpr double borderWidth = 42;
  const double shrink = (inradius - borderInset - borderWidth) / inradius;
  const Point core[3] = {Add(incentre, Scale(Sub(cornerLeft, incentre), shrink)),
                         Add(incentre, Scale(Sub(cornerTop, incentre), shrink)),
                         Add(incentre, Scale(Sub(cornerRight, incentre), shrink))};
  for (int32_t y = 0; y < faceHeight; ++y) {
    for (int32_t x = 0; x < faceWidth; ++x) {
      const Point p = {x + 0.5, y + 0.5};
      bool inside = true;
      double distance = 1e9;
      for (int32_t k = 0; k < 3; ++k) {
        const Point a = core[k], b = core[(k + 1) % 3];
        if (Side(p, a, b) < 0) inside = false;
        distance = std::min(distance, SegmentDistance(p, a, b));
      }
      if (!inside && distance <= borderWidth) SetFigure(figure, x, y);
    }
  }
}

// A pen held at 45 degrees: thickest where the stroke runs across it.
double PenWidth(double direction, double thin, double thick) {
  return thin + (thick - thin) * std::fabs(Sine(direction - pi / 4));
}

void DrawEmblem(Figure& figure) {
  const Point centre = {375, 522};

  // The ring, its width following the pen's angle.
  constexpr double ringRadius = 84;
  Stroke(
      figure,
      [&](double t) {
        return Add(centre, {ringRadius * Cosine(2 * pi * t), ringRadius * Sine(2 * pi * t)});
      },
      [](double t) { return PenWidth(2 * pi * t + pi / 2, 32, 54); }, 1200);

  // The stem through the ring, which the flame continues.
  Stroke(
      figure,
      [&](double t) {
        return Point{centre.x, centre.y + ringRadius * (1 - 2 * t)};
      },
      [](double) { return 34.0; }, 200);

  // The flame rising from the ring toward the apex: a stem that swells into
  // a leaf and narrows again to a round tip.
  const double rootY = centre.y - ringRadius;
  constexpr double tipY = 236;
  Stroke(
      figure,
      [&](double t) {
        return Point{centre.x, rootY + (tipY - rootY) * t};
      },
      [](double t) {
        const double swell = Sine(pi * std::min(1.0, std::max(0.0, (t - 0.3) / 0.7)));
        return 34 + 30 * swell;
      },
      600);

  // The two curls, mirror images, each leaving the ring low on its side,
  // running out over the top of a hub, down its outer side and along its
  // bottom, and ending in a ball.
  for (int32_t side = -1; side <= 1; side += 2) {
    const Point hub = {centre.x + side * 143.0, 614};
    const double start = side < 0 ? -pi / 4 : -3 * pi / 4;  // toward the ring
    const double turn = side < 0 ? -1 : 1;                  // over the top and outward
    const double sweep = 0.78 * 2 * pi;
    auto path = [&](double t) {
      const double angle = start + turn * t * sweep;
      const double radius = 62 - 30 * t;
      return Add(hub, {radius * Cosine(angle), radius * Sine(angle)});
    };
    Stroke(
        figure, path, [](double t) { return 40 - 8 * t; }, 1200);
    StampDisc(figure, path(1), 22);
  }
}

}  // namespace

std::vector<uint8_t> MakeFaceBitmapFile() {
  Figure figure;
  figure.pixels.assign(static_cast<size_t>(faceWidth) * faceHeight, 0);

  const double a = Length(Sub(cornerRight, cornerTop));  // side facing each corner
  const double b = Length(Sub(cornerLeft, cornerTop));
  const double c = Length(Sub(cornerRight, cornerLeft));
  const Point incentre =
      Scale(Add(Add(Scale(cornerLeft, a), Scale(cornerRight, b)), Scale(cornerTop, c)), 1 / (a + b + c));
  const double area = std::fabs(Side(cornerTop, cornerLeft, cornerRight)) / 2;
  DrawBorder(figure, incentre, area / ((a + b + c) / 2));
  DrawEmblem(figure);

  // Stored bottom row first, 752 bytes a row; the fill bytes are ground.
  const int32_t stride = (faceWidth + 3) & ~3;
  std::vector<uint8_t> data(static_cast<size_t>(stride) * faceHeight, 0);
  for (int32_t y = 0; y < faceHeight; ++y) {
    const uint8_t* from = &figure.pixels[static_cast<size_t>(y) * faceWidth];
    std::copy(from, from + faceWidth, &data[static_cast<size_t>(faceHeight - 1 - y) * stride]);
  }
  std::vector<uint8_t> table(256 * 4, 0);
  table[0] = table[1] = table[2] = 255;  // 0: white ground
  table[4] = 24;                         // 1: the dark figure (blue, green, red)
  table[5] = 28;
  table[6] = 36;
  return MakeBitmapFile(faceWidth, faceHeight, 0, table, data);
}
