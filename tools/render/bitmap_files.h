// bitmap_files.h - the renderer's files: BMP pictures in, frames out.
//
// Picture files become bitmap resources through core/image/bitmap_file.h. A frame goes out as an 8-bit bottom-up BMP or
// an 8-bit palettised PNG, written under a temporary name and renamed, so a failed write leaves no partial file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/image/indexed_image.h"
#include "core/image/scene_palette.h"
#include "render/render_options.h"

// A regular file of at most limit bytes (core/common/regular_file.h).
bool ReadFileBytes(const std::string& path, size_t limit, std::vector<uint8_t>& bytes, std::string& error);

// The longest picture file read: the largest pixel buffer the loader makes,
// twice over for RLE8's worst case of two bytes a pixel, with room for the
// headers and the colour table. A longer file is refused unread.
constexpr size_t maxPictureFileBytes = 2 * maxImagePixelBytes + 65536;

struct IndexedFrame {
  int32_t width, height, stride;
  const uint8_t* pixels;        // stride x height bytes, bottom row first
  const PaletteEntry* palette;  // 256 entries
};

bool WriteFrameFile(const std::string& path, OutputFormat format, const IndexedFrame& frame, std::string& error);
