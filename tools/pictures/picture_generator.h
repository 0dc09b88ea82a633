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
// bitmaps with an AND mask, the 256-pixel one as PNG (files/png_file.h).
std::vector<uint8_t> MakeIconFile();
constexpr int32_t iconSizes[4] = {16, 32, 48, 256};
// The icon's picture at one of those sizes: RGBA, top row first.
std::vector<uint8_t> IconPixels(int32_t size);

// Sizes of the pictures.
constexpr int32_t floorWidth = 1024;
constexpr int32_t floorHeight = 768;
constexpr int32_t floorColourCount = 32;
constexpr int32_t faceWidth = 750;
constexpr int32_t faceHeight = 800;
