// bitmap_fuzzer.cpp - hostile bitmap resources.
//
// The input is the bytes of a BMP file, as the programs read picture files:
// BitmapFileToResource makes the bitmap resource of it (40-byte header,
// 256-entry colour table, stored or RLE8 pixel data), or says in a line why
// it cannot. The resource goes through LoadImageBytes, then through a chain
// of scalings: down to at most 200 x 150, by two factors taken from the
// input, and on to 37 x 23, 2 x 3 and 1 x 1 and up again from a single pixel
// (which must fill every pixel with it); then through the scene palette, the remap and
// the face mask. A picture of at most 4 MB also serves as both pictures of a
// 37 x 29 scene, which draws a frame. Separately, the whole input is decoded
// as RLE8 data into a small buffer whose size the first two bytes choose.
//
//   vimbrel-fuzz-bitmap -max_total_time=600 WORKDIR fuzz/corpus/bitmap
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/common/int_math.h"
#include "core/image/bitmap_file.h"
#include "core/image/indexed_image.h"
#include "core/image/scene_palette.h"
#include "core/scene/scene.h"
#include "core/scene/settings_record.h"

namespace {

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "bitmap fuzzer: %s\n", what);
  std::abort();
}

// The RLE8 decoder alone, into an exactly sized buffer of at most 23 x 7.
void DecodeIntoSmallBuffer(const uint8_t* data, size_t size) {
  if (size < 2) return;
  const int32_t width = 1 + data[0] % 23, height = 1 + data[1] % 7;
  uint8_t header[bitmapInfoHeaderSize] = {};
  WriteLe32(header, bitmapInfoHeaderSize), WriteLe32(header + 4, width), WriteLe32(header + 8, height);
  std::vector<uint8_t> destination(static_cast<size_t>(StrideOf(width)) * static_cast<size_t>(height));
  size_t consumed = 0;
  const uint8_t* end = DecodeRle8Counted(data + 2, size - 2, destination.data(), destination.size(), header, consumed);
  Require(consumed <= size - 2, "the decoder read past its source");
  Require(end >= destination.data() && end <= destination.data() + destination.size(),
          "the decoder's end lies outside its buffer");
}

// Scales the image by (sx, sy); when it succeeds the new size must be the
// truncated products. Returns whether it scaled.
bool ScaleChecked(IndexedImage& holder, double sx, double sy) {
  const int32_t width = ImageWidth(holder), height = ImageHeight(holder);
  const uint8_t* before = ImagePixels(holder);
  if (!ScaleImage(holder, sx, sy)) {
    Require(ImagePixels(holder) == before, "a refused scaling changed the image");
    return false;
  }
  Require(ImageWidth(holder) == DoubleToInt32(width * sx) && ImageHeight(holder) == DoubleToInt32(height * sy),
          "the scaled size is not the truncated product");
  return true;
}

bool ScaleTo(IndexedImage& holder, int32_t width, int32_t height) {
  return ScaleChecked(holder, static_cast<double>(width) / ImageWidth(holder),
                      static_cast<double>(height) / ImageHeight(holder));
}

// From a single pixel every pixel of the enlargement is that pixel.
void CheckEnlargedPixel(IndexedImage& holder) {
  const uint8_t pixel = ImagePixels(holder)[0];
  if (!ScaleChecked(holder, 9.0, 7.0)) return;
  for (int32_t r = 0; r < 7; ++r)
    for (int32_t c = 0; c < 9; ++c)
      Require(ImagePixels(holder)[r * ImageStride(holder) + c] == pixel, "an enlarged pixel differs");
}

void PaletteAndMask(IndexedImage& image) {
  SoftwarePalette state{};
  state.display = StandardStaticDisplay();
  ScenePaletteValues values{};
  Require(BuildScenePalette(image, SoftwarePaletteBackend(state), values), "the software palette failed");
  const int32_t stride = ImageStride(image), height = ImageHeight(image);
  BuildFaceMask(ImagePixels(image), stride, height);
  const uint8_t* mask = ImagePixels(image);
  for (size_t i = 0; i < static_cast<size_t>(stride) * static_cast<size_t>(height); ++i)
    Require(mask[i] == 0 || mask[i] == 16, "a mask byte is neither 0 nor 16");
}

// The picture as background and face pattern of a small scene: a face
// pattern of any size and colours, a background of any colours.
void DrawWithPicture(const uint8_t* data, size_t size, const IndexedImage& image) {
  if (static_cast<int64_t>(ImageStride(image)) * ImageHeight(image) > (int64_t{4} << 20)) return;
  SoftwarePalette state{};
  state.display = TrueColourDisplay();
  const PictureBytes picture{data, size};
  Scene scene;
  if (MakeScene(scene, 37, 29, picture, picture, SoftwarePaletteBackend(state)) == SceneInitResult::ok) {
    SettingsRecord settings = DefaultSettings();
    settings.showGrid = settings.showPalette = 1;
    DrawSceneFrame(scene, settings, 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* file, size_t fileSize) {
  DecodeIntoSmallBuffer(file, fileSize);
  std::vector<uint8_t> resource;
  std::string error;
  if (!BitmapFileToResource(file, fileSize, resource, error)) {
    Require(!error.empty() && error.find('\n') == std::string::npos, "a refused file without a one-line reason");
    return 0;
  }
  const uint8_t* data = resource.data();
  const size_t size = resource.size();
  IndexedImage image;
  if (!LoadImageBytes(image, data, size)) return 0;
  Require(ImageSizeUsable(ImageWidth(image), ImageHeight(image)), "a loaded picture has an unusable size");
  DrawWithPicture(data, size, image);

  const int32_t width = ImageWidth(image), height = ImageHeight(image);
  ScaleTo(image, width < 200 ? width : 200, height < 150 ? height : 150);
  const double sx = (1 + data[size - 1]) / 37.0, sy = (1 + data[size - 2]) / 41.0;  // 0.03 .. 6.9
  ScaleChecked(image, sx, sy);
  ScaleTo(image, 37, 23);
  ScaleTo(image, 2, 3);
  if (ScaleTo(image, 1, 1)) CheckEnlargedPixel(image);
  PaletteAndMask(image);
  return 0;
}
