// committed_pictures.cpp - the built-in pictures as bitmap resources.
#include "committed_pictures.h"

#include "common/int_math.h"
#include "image/scene_palette.h"

extern const uint8_t floorPictureBytes[];
extern const size_t floorPictureSize;
extern const uint8_t facePictureBytes[];
extern const size_t facePictureSize;

namespace {

constexpr size_t fileHeaderSize = 14;
constexpr int32_t resourcePixelOffset = 40 + 256 * 4;  // header and full colour table

// The resource form of a BMP file whose pixels follow a full colour table.
PictureBytes ResourceOf(const uint8_t* file, size_t size) {
  if (size < fileHeaderSize || file[0] != 'B' || file[1] != 'M') return {nullptr, 0};
  if (ReadLe32(file + 10) != static_cast<int32_t>(fileHeaderSize) + resourcePixelOffset) return {nullptr, 0};
  return {file + fileHeaderSize, size - fileHeaderSize};
}

}  // namespace

PictureBytes CommittedBackground() { return ResourceOf(floorPictureBytes, floorPictureSize); }
PictureBytes CommittedFacePattern() { return ResourceOf(facePictureBytes, facePictureSize); }

SceneInitResult InitialiseCommittedScene(int32_t width, int32_t height) {
  static SoftwarePalette palette;
  palette = SoftwarePalette{};
  palette.display = TrueColourDisplay();
  return InitialiseSceneCore(width, height, CommittedBackground(), CommittedFacePattern(),
                             SoftwarePaletteBackend(palette));
}
