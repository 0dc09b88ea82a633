// bitmap_files.h - the renderer's files: BMP pictures in, frames out.
//
// Picture files become bitmap resources through image/bitmap_file.h. A frame goes out as an 8-bit bottom-up BMP or an
// 8-bit palettised PNG, written under a temporary name and renamed, so a
// failed write leaves no partial file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/scene_palette.h"
#include "render/render_options.h"

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);


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
