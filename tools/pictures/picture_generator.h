// picture_generator.h - draws the program's two pictures and its icon.
//
// Every picture is computed from nothing but the code below: the floor that
// the solids stand on (bitmap 114, 1024 x 768, RLE8), the face pattern
// (bitmap 113, 750 x 800, two colours) and the program icon (16, 32, 48 and
// 256 pixels). The results are the exact bytes of the files that the resource
// script includes; the same code always gives the same bytes.
#pragma once

#include <cstdint>
#include <vector>

// The floor picture as a BMP file (14-byte file header first).
std::vector<uint8_t> MakeFloorBitmapFile();
// The face pattern as a BMP file.
std::vector<uint8_t> MakeFaceBitmapFile();
// The icon as an .ico file with an image of each of iconSizes: 32-bit
// bitmaps with an AND mask, the 256-pixel one as PNG.
std::vector<uint8_t> MakeIconFile();
constexpr int32_t iconSizes[4] = {16, 32, 48, 256};
// The icon's picture at one of those sizes: RGBA, top row first.
std::vector<uint8_t> IconPixels(int32_t size);

// A PNG file of RGBA pixels (top row first), compressed by this code alone.
std::vector<uint8_t> MakePngFile(int32_t width, int32_t height, const std::vector<uint8_t>& rgba);

// Sizes of the pictures.
constexpr int32_t floorWidth = 1024;
constexpr int32_t floorHeight = 768;
constexpr int32_t floorColourCount = 32;
constexpr int32_t faceWidth = 750;
constexpr int32_t faceHeight = 800;

// Pixel rows (width bytes each, bottom row first) as BMP RLE8: encoded runs
// of 1..255, absolute runs of 3..255 padded to an even length, an end of
// line after every row but the last and an end of bitmap after the last.
std::vector<uint8_t> EncodeRle8(const std::vector<uint8_t>& pixels, int32_t width, int32_t height);

// A whole 8-bit BMP file: file header, 40-byte info header, the 1024-byte
// colour table and the pixel data as given.
std::vector<uint8_t> MakeBitmapFile(int32_t width, int32_t height, uint32_t compression,
                                    const std::vector<uint8_t>& colourTable, const std::vector<uint8_t>& pixelData);

// Little-endian fields appended to a file being written.
void AppendLe16(std::vector<uint8_t>& out, uint32_t v);
void AppendLe32(std::vector<uint8_t>& out, uint32_t v);
