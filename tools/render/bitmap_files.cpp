// bitmap_files.cpp - reading BMP pictures, writing BMP and PNG frames.
#include "render/bitmap_files.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/common/int_math.h"
#include "core/common/regular_file.h"
#include "files/bitmap_writer.h"
#include "files/png_file.h"

namespace {

std::string SystemError() { return std::strerror(errno); }

bool WriteAll(std::FILE* file, const uint8_t* data, size_t size) {
  return size == 0 || std::fwrite(data, 1, size, file) == size;
}

// The BMP file of a frame: pixel bytes as they are, the palette as its
// colour table.
std::vector<uint8_t> EncodeFrameBmp(const IndexedFrame& frame) {
  std::vector<uint8_t> table(256 * 4, 0);
  for (int i = 0; i < 256; ++i) {
    table[4 * i] = frame.palette[i].blue;
    table[4 * i + 1] = frame.palette[i].green;
    table[4 * i + 2] = frame.palette[i].red;
  }
  const std::vector<uint8_t> pixels(
      frame.pixels, frame.pixels + static_cast<size_t>(frame.stride) * static_cast<size_t>(frame.height));
  return MakeBitmapFile(frame.width, frame.height, 0, table, pixels);
}

// The frame's file in the format asked for; empty when it cannot be made.
std::vector<uint8_t> EncodeFrame(OutputFormat format, const IndexedFrame& frame) {
  if (format == OutputFormat::bmp) return EncodeFrameBmp(frame);
  uint8_t palette[768];
  for (int i = 0; i < 256; ++i) {
    palette[3 * i] = frame.palette[i].red, palette[3 * i + 1] = frame.palette[i].green;
    palette[3 * i + 2] = frame.palette[i].blue;
  }
  std::vector<uint8_t> file;
  EncodePng({frame.width, frame.height, PngPixels::indexed, frame.pixels, -frame.stride, palette}, file);
  return file;
}
}  // namespace

bool ReadFileBytes(const std::string& path, size_t limit, std::vector<uint8_t>& bytes, std::string& error) {
  std::string problem;
  if (ReadRegularFile(path.c_str(), limit, bytes, problem)) return true;
  error = "'" + path + "' " + problem;
  return false;
}

bool WriteFrameFile(const std::string& path, OutputFormat format, const IndexedFrame& frame, std::string& error) {
  const std::string temporary = path + ".partial-" + std::to_string(getpid());
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) {
    error = "cannot create '" + temporary + "': " + SystemError();
    return false;
  }
  const std::vector<uint8_t> bytes = EncodeFrame(format, frame);
  bool ok = !bytes.empty() && WriteAll(file, bytes.data(), bytes.size());
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
