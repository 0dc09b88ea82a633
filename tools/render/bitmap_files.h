// bitmap_files.h - the renderer's files: BMP pictures in, frames out.
//
// A picture file (an 8-bit BMP with its 14-byte file header) becomes the
// form of a bitmap resource: the 40-byte header, a full 256-entry colour
// table and the pixel data. A frame goes out as an 8-bit bottom-up BMP or an
// 8-bit palettised PNG, written under a temporary name and renamed, so a
// failed write leaves no partial file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/scene_palette.h"
#include "render/render_options.h"

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);

// The resource form of an 8-bit BMP file (BI_RGB or BI_RLE8, bottom-up). A
// colour table shorter than 256 entries is padded with black. Returns false
// with a description when the bytes are not such a picture.
bool BitmapFileToResource(const std::vector<uint8_t>& file, std::vector<uint8_t>& resource,
                          std::string& error);

struct IndexedFrame {
  int32_t width, height, stride;
  const uint8_t* pixels;  // stride x height bytes, bottom row first
  const PaletteEntry* palette;  // 256 entries
};

// The BMP file of a frame: pixel bytes as they are, the palette as its
// colour table.
std::vector<uint8_t> EncodeFrameBmp(const IndexedFrame& frame);

bool WriteFrameFile(const std::string& path, OutputFormat format, const IndexedFrame& frame,
                    std::string& error);
