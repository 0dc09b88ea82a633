// bitmap_files.cpp - reading BMP pictures, writing BMP and PNG frames.
#include "render/bitmap_files.h"

#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/common/int_math.h"
#include "core/common/regular_file.h"
#include "core/image/indexed_image.h"

namespace {
constexpr size_t fileHeaderSize = bitmapFileHeaderSize;
constexpr size_t colourTableBytes = 256 * 4;

std::string SystemError() { return std::strerror(errno); }

bool WriteAll(std::FILE* file, const uint8_t* data, size_t size) {
  return size == 0 || std::fwrite(data, 1, size, file) == size;
}

bool WriteBmp(std::FILE* file, const IndexedFrame& frame) {
  const std::vector<uint8_t> bytes = EncodeFrameBmp(frame);
  return WriteAll(file, bytes.data(), bytes.size());
}

bool WritePng(std::FILE* file, const IndexedFrame& frame) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(frame.width), static_cast<png_uint_32>(frame.height), 8,
               PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_color colours[256];
  for (int i = 0; i < 256; ++i) colours[i] = {frame.palette[i].red, frame.palette[i].green, frame.palette[i].blue};
  png_set_PLTE(png, info, colours, 256);
  png_write_info(png, info);
  // The frame is stored bottom row first, the PNG top row first.
  for (int32_t row = frame.height - 1; row >= 0; --row)
    png_write_row(png, frame.pixels + static_cast<size_t>(row) * static_cast<size_t>(frame.stride));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}
}  // namespace

bool ReadFileBytes(const std::string& path, size_t limit, std::vector<uint8_t>& bytes, std::string& error) {
  std::string problem;
  if (ReadRegularFile(path.c_str(), limit, bytes, problem)) return true;
  error = "'" + path + "' " + problem;
  return false;
}

std::vector<uint8_t> EncodeFrameBmp(const IndexedFrame& frame) {
  const size_t pixelBytes = static_cast<size_t>(frame.stride) * static_cast<size_t>(frame.height);
  const size_t offset = fileHeaderSize + bitmapInfoHeaderSize + colourTableBytes;
  std::vector<uint8_t> bytes(offset + pixelBytes, 0);
  uint8_t* p = bytes.data();
  p[0] = 'B', p[1] = 'M';
  WriteLe32(p + 2, static_cast<int32_t>(bytes.size()));
  WriteLe32(p + 10, static_cast<int32_t>(offset));
  uint8_t* info = p + fileHeaderSize;
  WriteLe32(info, bitmapInfoHeaderSize);
  WriteLe32(info + 4, frame.width);
  WriteLe32(info + 8, frame.height);  // positive: bottom row first
  WriteLe16(info + 12, 1);
  WriteLe16(info + 14, 8);
  WriteLe32(info + 20, static_cast<int32_t>(pixelBytes));
  WriteLe32(info + 32, 256);
  uint8_t* table = info + bitmapInfoHeaderSize;
  for (int i = 0; i < 256; ++i) {
    table[4 * i] = frame.palette[i].blue;
    table[4 * i + 1] = frame.palette[i].green;
    table[4 * i + 2] = frame.palette[i].red;
  }
  std::memcpy(p + offset, frame.pixels, pixelBytes);
  return bytes;
}

bool WriteFrameFile(const std::string& path, OutputFormat format, const IndexedFrame& frame, std::string& error) {
  const std::string temporary = path + ".partial-" + std::to_string(getpid());
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) {
    error = "cannot create '" + temporary + "': " + SystemError();
    return false;
  }
  bool ok = format == OutputFormat::bmp ? WriteBmp(file, frame) : WritePng(file, frame);
  ok = std::fflush(file) == 0 && ok;
  ok = std::fclose(file) == 0 && ok;
  if (!ok) {
    std::remove(temporary.c_str());
    error = "cannot write '" + path + "'";
    return false;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    error = "cannot rename '" + temporary + "' to '" + path + "': " + SystemError();
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}
