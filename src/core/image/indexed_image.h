// indexed_image.h - 8-bit palettised bottom-up pictures.
//
// An IndexedImage owns four blocks: the pixel buffer (stride x height bytes,
// bottom row first), the 1064-byte header (BITMAPINFOHEADER + 256 colour
// entries blue, green, red, reserved), the optional 552-byte
// paletteIndexHeader (the header with biClrUsed 0 and the 16-bit indices
// 0..255, for drawing through the realised palette) and the 256-byte
// remapTable. It releases them when it goes; it moves and is never copied.
// Pictures come from the bytes of a bitmap resource (LoadImageBytes; the
// Win32 shell finds the resource), are scaled by ScaleImage and remapped to
// the scene palette (scene_palette.h).
//
//   IndexedImage image;
//   if (LoadImageBytes(image, data, size) && ScaleImage(image, 2.0, 2.0)) ... ImagePixels(image) ...
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

constexpr int32_t bitmapFileHeaderSize = 14;  // "BM", sizes and the pixel offset; not in a resource
constexpr int32_t bitmapInfoHeaderSize = 40;
constexpr int32_t biClrUsedOffset = 32;                   // colours used, in the info header
constexpr int32_t imageHeaderSize = 40 + 256 * 4;         // 1064
constexpr int32_t paletteIndexHeaderSize = 40 + 256 * 2;  // 552

// The largest picture any operation makes: each side at most maxImageSide
// pixels and the pixel buffer at most maxImagePixelBytes.
constexpr int32_t maxImageSide = 32768;
constexpr size_t maxImagePixelBytes = size_t{512} << 20;

// The bytes of a bitmap resource: the info header, the colour table and
// the pixels, as a BMP file holds them after its file header.
struct PictureBytes {
  const uint8_t* data;  // null: the picture is missing
  size_t size;
};

struct IndexedImage {
  std::unique_ptr<uint8_t[]> pixels;
  std::unique_ptr<uint8_t[]> header;
  std::unique_ptr<uint8_t[]> paletteIndexHeader;  // null for a loaded picture
  std::unique_ptr<uint8_t[]> remapTable;
};

// True when an image of this size can be made: both sides 1..maxImageSide and
// stride x height within maxImagePixelBytes.
bool ImageSizeUsable(int32_t width, int32_t height);

// True for an image that holds a picture: made, loaded or scaled.
inline bool ImageExists(const IndexedImage& image) { return image.pixels != nullptr && image.header != nullptr; }

// Makes `image` a new image of the given size whose colour table is copied
// from model (zeroed when model is null), with its paletteIndexHeader. The
// pixel buffer and remapTable start zeroed. False, leaving `image` empty,
// when a block cannot be allocated or the size is unusable (ImageSizeUsable).
bool CreateImage(IndexedImage& image, int32_t width, int32_t height, const IndexedImage* model);

// Makes `image` hold a bitmap resource in its stored form (40-byte header,
// 256-entry colour table, pixel data); false, leaving it empty, when the
// bytes are not such a picture or memory runs out. Never reads past size
// bytes. The pixel buffer starts zeroed, so bytes that the data does not
// reach are 0.
bool LoadImageBytes(IndexedImage& image, const uint8_t* resource, size_t size);

// BMP RLE8 into a pixel buffer of destinationSize bytes whose row length is
// the stride of the header's width. Stops at end of bitmap, at the end of
// the source, or where a write would leave the buffer. Returns the write
// position after the last byte written.
uint8_t* DecodeRle8(const uint8_t* source, size_t sourceSize, uint8_t* destination, size_t destinationSize,
                    const uint8_t* header);
// DecodeRle8 that also gives the number of source bytes read (up to and
// including the end-of-bitmap escape when there is one).
uint8_t* DecodeRle8Counted(const uint8_t* source, size_t sourceSize, uint8_t* destination, size_t destinationSize,
                           const uint8_t* header, size_t& consumed);

// Pixel column x of row y counted from the top of the picture.
uint8_t* PixelAddress(const IndexedImage& image, int32_t x, int32_t y);

// Replaces the image with a nearest-neighbour copy scaled by sx, sy. False,
// leaving it unchanged, when the new image cannot be made (a new size below
// 1 or beyond ImageSizeUsable included).
bool ScaleImage(IndexedImage& image, double sx, double sy);

uint8_t* ImagePixels(const IndexedImage& image);
uint8_t* ImageHeader(const IndexedImage& image);
uint8_t* ImageColourTable(const IndexedImage& image);
int32_t ImageWidth(const IndexedImage& image);
int32_t ImageHeight(const IndexedImage& image);
int32_t ImageStride(const IndexedImage& image);
