// committed_pictures.cpp - the built-in pictures as bitmap resources.
#include "scene/committed_pictures.h"

#include <string>
#include <vector>

#include "image/bitmap_file.h"
#include "image/scene_palette.h"

extern const uint8_t floorPictureBytes[];
extern const size_t floorPictureSize;
extern const uint8_t facePictureBytes[];
extern const size_t facePictureSize;

namespace {

// The resource form of a built-in picture, made once; {nullptr, 0} when the
// picture was not built in or is not a usable BMP file.
PictureBytes ResourceOf(const uint8_t* file, size_t size, std::vector<uint8_t>& resource) {
  std::string error;
  if (resource.empty() && (size == 0 || !BitmapFileToResource(file, size, resource, error))) return {nullptr, 0};
  return {resource.data(), resource.size()};
}

}  // namespace

PictureBytes CommittedBackground() {
  static std::vector<uint8_t> resource;
  return ResourceOf(floorPictureBytes, floorPictureSize, resource);
}

PictureBytes CommittedFacePattern() {
  static std::vector<uint8_t> resource;
  return ResourceOf(facePictureBytes, facePictureSize, resource);
}

SceneInitResult InitialiseCommittedScene(int32_t width, int32_t height) {
  static SoftwarePalette palette;
  palette = SoftwarePalette{};
  palette.display = TrueColourDisplay();
  return InitialiseSceneCore(width, height, CommittedBackground(), CommittedFacePattern(),
                             SoftwarePaletteBackend(palette));
}
