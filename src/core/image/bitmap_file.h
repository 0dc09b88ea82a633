// bitmap_file.h - BMP files in the form of bitmap resources.
//
// The resource compiler stores a bitmap as the file without its 14-byte file
// header. The programs that read picture files (the headless renderer, the
// benchmark, the tests) make that form here: the 40-byte info header, a full
// 256-entry colour table and the pixel data, so that LoadImageBytes sees
// what the Win32 program finds in its resources.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The resource form of an 8-bit BMP file (BI_RGB or BI_RLE8, bottom-up). A
// colour table shorter than 256 entries is padded with black. Returns false
// with a description when the bytes are not such a picture.
bool BitmapFileToResource(const uint8_t* file, size_t size, std::vector<uint8_t>& resource, std::string& error);
