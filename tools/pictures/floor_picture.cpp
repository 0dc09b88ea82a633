// floor_picture.cpp - the floor under the solids (bitmap 114).
//
// A tiled floor seen from the scene's default eye (0, 1800, -4000): floor
// point (x, 0, z) lies on column x * 4000 / (z + 4000) + 512 and on row
// 1800 * z / (z + 4000) counted from the bottom, so the 50-unit tiles line up
// with the floor grid overlay. Every pixel is the average of many samples
// taken in floor coordinates; the pattern's fine detail gives way to the
// tiles' mean colour where it would turn to noise, and the far floor fades
// into a pale haze along the top edge. The picture is then reduced to 32
// colours chosen from it (median cut refined by a few k-means passes) and
// kept clear of the display's static colours, of the face ramps and of their
// own shadow copies, so that every colour is found only at its own place in
// the scene palette.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "core/image/scene_palette.h"
#include "files/bitmap_writer.h"
#include "pictures/picture_generator.h"

namespace {

// The scene's default eye and frame, which the picture is drawn for.
constexpr double eyeHeight = 1800.0;
constexpr double eyeDistance = 4000.0;
constexpr double halfWidth = 512.0;
constexpr double tileSize = 50.0;

struct Rgb {
  double r, g, b;
};

Rgb Mix(const Rgb& a, const Rgb& b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// The floor's materials.
enum Material { cream, paleOchre, ochre, amber, umber, materialCount };
constexpr Rgb materialColours[materialCount] = {
    {247, 239, 219},  // cream ground of the stars
    {238, 214, 165},  // pale ochre rosettes
    {229, 188, 116},  // ochre crosses
    {194, 124, 50},   // amber outlines
    {140, 88, 44},    // umber joints
};
constexpr Rgb horizonColour = {250, 245, 233};

constexpr double root2 = 1.4142135623730951;

// Signed distance, roughly, to the edge of an eight-pointed star of the given
// circumradius (a square and a diamond joined), negative inside.
double StarEdge(double u, double v, double radius) {
  const double diamond = (u + v - radius) / root2;
  const double square = std::max(u, v) - radius / root2;
  return std::min(diamond, square);
}

// The material at floor point (x, z). Each 50-unit tile holds a star whose
// points touch its neighbours' at the middle of every tile edge; what is left
// between four stars is a cross centred on the tile corner, its arms along
// the joints.
Material FloorMaterial(double x, double z) {
  const double column = std::floor(x / tileSize);
  const double row = std::floor(z / tileSize);
  const double u = std::fabs(x - column * tileSize - tileSize / 2);  // 0 at the tile's centre
  const double v = std::fabs(z - row * tileSize - tileSize / 2);
  const double star = StarEdge(u, v, tileSize / 2);
  if (std::fabs(star) < 1.0) return amber;  // the star's outline
  if (star > 0) {
    // In a cross: the joint down the middle of its arms, a small diamond on
    // the tile corner.
    const double cu = tileSize / 2 - u;
    const double cv = tileSize / 2 - v;
    if (cu + cv < 5.0) return umber;
    if (std::min(cu, cv) < 0.7) return umber;
    return ochre;
  }
  const double rosette = StarEdge(u, v, 11.0);
  if (u * u + v * v < 2.2 * 2.2) return amber;
  if (std::fabs(rosette) < 0.8) return amber;
  if (rosette < 0) return paleOchre;
  return cream;
}

Rgb MaterialAverage(int32_t counts[materialCount], int32_t total) {
  Rgb sum = {0, 0, 0};
  for (int32_t m = 0; m < materialCount; ++m) {
    sum.r += materialColours[m].r * counts[m];
    sum.g += materialColours[m].g * counts[m];
    sum.b += materialColours[m].b * counts[m];
  }
  return {sum.r / total, sum.g / total, sum.b / total};
}

// The mean colour of a block of two by two tiles.
Rgb TileMean() {
  int32_t counts[materialCount] = {};
  constexpr int32_t steps = 400;
  for (int32_t i = 0; i < steps; ++i) {
    for (int32_t j = 0; j < steps; ++j) {
      const double x = (i + 0.5) * (2 * tileSize) / steps;
      const double z = (j + 0.5) * (2 * tileSize) / steps;
      ++counts[FloorMaterial(x, z)];
    }
  }
  return MaterialAverage(counts, steps * steps);
}

double Clamp01(double t) { return t < 0 ? 0 : (t > 1 ? 1 : t); }

double SmoothStep(double t) {
  t = Clamp01(t);
  return t * t * (3 - 2 * t);
}

// The colour of pixel (column, row), row counted from the bottom.
Rgb FloorPixel(int32_t column, int32_t row, const Rgb& tileMean) {
  // Floor units covered by one pixel along z at this row.
  const double centre = row + 0.5;
  const double depthStep = eyeDistance * eyeHeight / ((eyeHeight - centre) * (eyeHeight - centre));
  const int32_t across = 4;
  const int32_t along = static_cast<int32_t>(std::ceil(depthStep * 2.5));  // samples about 0.4 units apart
  int32_t counts[materialCount] = {};
  for (int32_t j = 0; j < along; ++j) {
    const double s = row + (j + 0.5) / along;
    const double z = eyeDistance * s / (eyeHeight - s);
    const double widen = (z + eyeDistance) / eyeDistance;
    for (int32_t i = 0; i < across; ++i) {
      const double t = column + (i + 0.5) / across;
      ++counts[FloorMaterial((t - halfWidth) * widen, z)];
    }
  }
  const Rgb sharp = MaterialAverage(counts, along * across);
  const double zc = eyeDistance * centre / (eyeHeight - centre);
  // Detail gives way to the tiles' mean colour as the tiles shrink, ...
  const Rgb soft = Mix(sharp, tileMean, 0.75 * SmoothStep((depthStep - 3.0) / 3.5));
  // ... and the far floor fades into the haze.
  return Mix(soft, horizonColour, 0.88 * SmoothStep((zc - 500.0) / 2500.0));
}

// --- Colour reduction ---------------------------------------------------

struct Colour {
  int32_t r, g, b;
};

bool SameColour(const Colour& a, const Colour& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

int32_t Distance(const Colour& a, const Colour& b) {
  const int32_t dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
  return 3 * dr * dr + 4 * dg * dg + 2 * db * db;  // green weighs most, blue least
}

int32_t Nearest(const std::vector<Colour>& palette, const Colour& c) {
  int32_t best = 0;
  int32_t bestDistance = Distance(palette[0], c);
  for (int32_t i = 1; i < static_cast<int32_t>(palette.size()); ++i) {
    const int32_t d = Distance(palette[i], c);
    if (d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  return best;
}

struct Weighted {
  Colour colour;
  int32_t count;
};

int32_t Channel(const Colour& c, int32_t k) { return k == 0 ? c.r : (k == 1 ? c.g : c.b); }

// Weighted squared spread of a set along one channel, times its weight.
int64_t Spread(const std::vector<Weighted>& set, int32_t k) {
  int64_t n = 0, sum = 0, squares = 0;
  for (const Weighted& w : set) {
    const int64_t v = Channel(w.colour, k);
    n += w.count;
    sum += v * w.count;
    squares += v * v * w.count;
  }
  return n == 0 ? 0 : squares * n - sum * sum;  // n^2 times the variance
}

Colour Mean(const std::vector<Weighted>& set) {
  int64_t n = 0, r = 0, g = 0, b = 0;
  for (const Weighted& w : set) {
    n += w.count;
    r += static_cast<int64_t>(w.colour.r) * w.count;
    g += static_cast<int64_t>(w.colour.g) * w.count;
    b += static_cast<int64_t>(w.colour.b) * w.count;
  }
  // Rounded to the nearest integer.
  return {static_cast<int32_t>((r + n / 2) / n), static_cast<int32_t>((g + n / 2) / n),
          static_cast<int32_t>((b + n / 2) / n)};
}

// Median cut: split the set with the largest spread at the weighted median
// of its widest channel until there are as many sets as colours wanted.
std::vector<Colour> MedianCut(const std::vector<Weighted>& colours, int32_t wanted) {
  std::vector<std::vector<Weighted>> sets = {colours};
  while (static_cast<int32_t>(sets.size()) < wanted) {
    size_t widest = 0;
    int32_t channel = 0;
    int64_t widestSpread = -1;
    for (size_t s = 0; s < sets.size(); ++s) {
      if (sets[s].size() < 2) continue;
      int64_t n = 0;
      for (const Weighted& w : sets[s]) n += w.count;
      for (int32_t k = 0; k < 3; ++k) {
        const int64_t spread = Spread(sets[s], k) / n;  // weight times variance
        if (spread > widestSpread) {
          widestSpread = spread;
          widest = s;
          channel = k;
        }
      }
    }
    if (widestSpread < 0) break;
    std::vector<Weighted> set = sets[widest];
    std::stable_sort(set.begin(), set.end(), [channel](const Weighted& a, const Weighted& b) {
      return Channel(a.colour, channel) < Channel(b.colour, channel);
    });
    int64_t total = 0;
    for (const Weighted& w : set) total += w.count;
    int64_t running = 0;
    size_t cut = 1;
    for (size_t i = 0; i + 1 < set.size(); ++i) {
      running += set[i].count;
      cut = i + 1;
      if (2 * running >= total) break;
    }
    sets[widest].assign(set.begin(), set.begin() + static_cast<std::ptrdiff_t>(cut));
    sets.emplace_back(set.begin() + static_cast<std::ptrdiff_t>(cut), set.end());
  }
  std::vector<Colour> palette;
  for (const std::vector<Weighted>& set : sets) palette.push_back(Mean(set));
  return palette;
}

// k-means passes: every colour to its nearest centre, every centre to the
// mean of its colours.
void Refine(std::vector<Colour>& palette, const std::vector<Weighted>& colours, int32_t passes) {
  for (int32_t pass = 0; pass < passes; ++pass) {
    std::vector<std::vector<Weighted>> members(palette.size());
    for (const Weighted& w : colours) members[Nearest(palette, w.colour)].push_back(w);
    for (size_t i = 0; i < palette.size(); ++i) {
      if (!members[i].empty()) palette[i] = Mean(members[i]);
    }
  }
}

// The scene's colour table for a palette of base colours (entries 0..31),
// as the scene builds it (core/image/scene_palette.h): each base colour's
// shadow copies and the face ramps after them.
std::vector<uint8_t> SceneColourTable(const std::vector<Colour>& palette) {
  std::vector<uint8_t> table(256 * 4, 0);
  for (size_t i = 0; i < palette.size(); ++i) {
    table[4 * i] = static_cast<uint8_t>(palette[i].b);
    table[4 * i + 1] = static_cast<uint8_t>(palette[i].g);
    table[4 * i + 2] = static_cast<uint8_t>(palette[i].r);
  }
  BuildSceneColours(table.data());
  return table;
}

// Whether palette[index] collides with a static colour of a 256-colour
// display, with another base colour, with a face ramp or with any base
// colour's shadow copy: with anything the scene palette holds beside it.
bool Collides(const std::vector<Colour>& palette, size_t index, const DisplayDescription& display) {
  const Colour& c = palette[index];
  for (const PaletteEntry& e : display.systemEntries) {
    if (SameColour({e.red, e.green, e.blue}, c)) return true;
  }
  const std::vector<uint8_t> table = SceneColourTable(palette);
  for (size_t i = 0; i < sceneColourCount; ++i) {
    if (i != index && SameColour({table[4 * i + 2], table[4 * i + 1], table[4 * i]}, c)) return true;
  }
  return false;
}

// Moves every colliding colour to the nearest free neighbour, searched in a
// fixed order of growing steps.
void KeepColoursApart(std::vector<Colour>& palette) {
  const DisplayDescription display = StandardStaticDisplay();
  bool moved = true;
  while (moved) {
    moved = false;
    for (size_t i = 0; i < palette.size(); ++i) {
      if (!Collides(palette, i, display)) continue;
      const Colour original = palette[i];
      for (int32_t step = 1; step < 8 && Collides(palette, i, display); ++step) {
        for (int32_t k = 0; k < 6; ++k) {
          const int32_t delta = (k & 1) ? -step : step;
          Colour c = original;
          if (k < 2)
            c.r = std::clamp(c.r + delta, 0, 255);
          else if (k < 4)
            c.g = std::clamp(c.g + delta, 0, 255);
          else
            c.b = std::clamp(c.b + delta, 0, 255);
          palette[i] = c;
          if (!Collides(palette, i, display)) break;
        }
      }
      moved = true;
    }
  }
}

// Floyd-Steinberg error diffusion in sixteenths, left to right on even rows
// and right to left on odd ones, so that the haze and the soft far tiles
// show no contour lines.
std::vector<uint8_t> Dither(const std::vector<Colour>& picture, const std::vector<Colour>& palette) {
  std::vector<uint8_t> pixels(picture.size());
  const size_t w = floorWidth;
  std::vector<Colour> error(2 * (w + 2), Colour{0, 0, 0});  // this row and the next, with a margin
  for (int32_t y = floorHeight - 1; y >= 0; --y) {
    Colour* here = &error[1];
    Colour* next = &error[w + 3];
    const bool backward = (y & 1) != 0;
    for (int32_t i = 0; i < floorWidth; ++i) {
      const int32_t x = backward ? floorWidth - 1 - i : i;
      const int32_t ahead = backward ? -1 : 1;
      const size_t at = static_cast<size_t>(y) * w + x;
      // The wanted colour plus the error carried here, kept within 0..255.
      const Colour wanted = {std::clamp(picture[at].r + here[x].r / 16, 0, 255),
                             std::clamp(picture[at].g + here[x].g / 16, 0, 255),
                             std::clamp(picture[at].b + here[x].b / 16, 0, 255)};
      const int32_t index = Nearest(palette, wanted);
      pixels[at] = static_cast<uint8_t>(index);
      const Colour e = {wanted.r - palette[index].r, wanted.g - palette[index].g, wanted.b - palette[index].b};
      const int32_t weights[4] = {7, 3, 5, 1};
      Colour* targets[4] = {&here[x + ahead], &next[x - ahead], &next[x], &next[x + ahead]};
      for (int32_t k = 0; k < 4; ++k) {
        targets[k]->r += e.r * weights[k];
        targets[k]->g += e.g * weights[k];
        targets[k]->b += e.b * weights[k];
      }
    }
    std::copy(error.begin() + static_cast<std::ptrdiff_t>(w + 2), error.end(), error.begin());
    std::fill(error.begin() + static_cast<std::ptrdiff_t>(w + 2), error.end(), Colour{0, 0, 0});
  }
  return pixels;
}

int32_t Luminance(const Colour& c) { return 299 * c.r + 587 * c.g + 114 * c.b; }

}  // namespace

std::vector<uint8_t> MakeFloorBitmapFile() {
  const Rgb tileMean = TileMean();
  std::vector<Colour> picture(static_cast<size_t>(floorWidth) * floorHeight);
  for (int32_t row = 0; row < floorHeight; ++row) {
    for (int32_t column = 0; column < floorWidth; ++column) {
      const Rgb p = FloorPixel(column, row, tileMean);
      // Rounded to 8 bits per channel.
      picture[static_cast<size_t>(row) * floorWidth + column] = {
          static_cast<int32_t>(p.r + 0.5), static_cast<int32_t>(p.g + 0.5), static_cast<int32_t>(p.b + 0.5)};
    }
  }

  // The distinct colours with their pixel counts, in a fixed order.
  std::vector<Weighted> colours;
  {
    std::vector<int32_t> keys(picture.size());
    for (size_t i = 0; i < picture.size(); ++i) keys[i] = picture[i].r << 16 | picture[i].g << 8 | picture[i].b;
    std::sort(keys.begin(), keys.end());
    for (size_t i = 0; i < keys.size();) {
      size_t j = i;
      while (j < keys.size() && keys[j] == keys[i]) ++j;
      colours.push_back({{keys[i] >> 16, keys[i] >> 8 & 255, keys[i] & 255}, static_cast<int32_t>(j - i)});
      i = j;
    }
  }
  std::vector<Colour> palette = MedianCut(colours, floorColourCount);
  Refine(palette, colours, 12);
  KeepColoursApart(palette);
  std::stable_sort(palette.begin(), palette.end(),
                   [](const Colour& a, const Colour& b) { return Luminance(a) > Luminance(b); });

  const std::vector<uint8_t> pixels = Dither(picture, palette);

  // Entries 32..255 are left black: the scene builds its own colours there.
  std::vector<uint8_t> table = SceneColourTable(palette);
  std::fill(table.begin() + 4 * floorColourCount, table.end(), 0);
  return MakeBitmapFile(floorWidth, floorHeight, 1, table, EncodeRle8(pixels, floorWidth, floorHeight));
}
