// bitmap_writer.h - 8-bit BMP files, as the picture generator and the
// renderer write them.
#pragma once

#include <cstdint>
#include <vector>

// A whole 8-bit BMP file: the file header, the 40-byte info header (positive
// height: bottom row first), the full colour table of 256 entries (blue,
// green, red, 0; entries beyond the given table are 0) and the pixel data as
// given, which compression (0 rows as they are, 1 RLE8) describes.
std::vector<uint8_t> MakeBitmapFile(int32_t width, int32_t height, uint32_t compression,
                                    const std::vector<uint8_t>& colourTable, const std::vector<uint8_t>& pixelData);

// Pixel rows (width bytes each, bottom row first) as BMP RLE8: encoded runs
// of 1..255, absolute runs of 3..255 padded to an even length, an end of
// line after every row but the last and an end of bitmap after the last.
std::vector<uint8_t> EncodeRle8(const std::vector<uint8_t>& pixels, int32_t width, int32_t height);
