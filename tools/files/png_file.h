// png_file.h - PNG files through libpng, for the tools and the tests.
//
// One encoder and one decoder: pictures of 8-bit palette indices (with a
// palette of 256 RGB triples, stored as the PLTE so that the indices read
// back exactly), RGB or RGBA pixels. The same pixels and the same libpng
// give the same bytes; a test that checks a PNG compares its decoded pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum class PngPixels { indexed, rgb, rgba };

struct PngPicture {
  int32_t width, height;
  PngPixels kind;
  const uint8_t* pixels;   // the buffer's first byte
  int32_t stride;          // bytes from one row to the next; negative when the buffer holds the bottom row first
  const uint8_t* palette;  // indexed: 256 x (red, green, blue); otherwise unused
};

// The picture as a PNG file; false when libpng refuses it.
bool EncodePng(const PngPicture& picture, std::vector<uint8_t>& file);

// A PNG file decoded to the given kind, rows top first and tightly packed;
// to indexed, the file's palette in `palette` (256 x RGB, entries the file
// lacks 0). False when the file is not a readable PNG.
bool DecodePng(const uint8_t* file, size_t size, PngPixels kind, int32_t& width, int32_t& height,
               std::vector<uint8_t>& pixels, std::vector<uint8_t>* palette = nullptr);
