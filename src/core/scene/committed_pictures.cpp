// committed_pictures.cpp - the built-in pictures as bitmap resources.
#include "core/scene/committed_pictures.h"

#include <string>

#include "core/image/bitmap_file.h"
#include "core/image/scene_palette.h"

extern const uint8_t floorPictureBytes[];
extern const size_t floorPictureSize;
extern const uint8_t facePictureBytes[];
extern const size_t facePictureSize;

namespace {

// The resource form of a built-in picture; empty when the picture was not
// built in or is not a usable BMP file.
std::vector<uint8_t> ResourceOf(const uint8_t* file, size_t size) {
  std::vector<uint8_t> resource;
  std::string error;
  if (size == 0 || !BitmapFileToResource(file, size, resource, error)) resource.clear();
  return resource;
}

// A picture's resource as MakeScene reads it; an empty one is no picture.
PictureBytes PictureOf(const std::vector<uint8_t>& resource) {
  return {resource.empty() ? nullptr : resource.data(), resource.size()};
}

}  // namespace

CommittedPictures LoadCommittedPictures() {
  return {ResourceOf(floorPictureBytes, floorPictureSize), ResourceOf(facePictureBytes, facePictureSize)};
}

SceneInitResult MakeCommittedScene(Scene& scene, const CommittedPictures& pictures, int32_t width, int32_t height) {
  SoftwarePalette palette{};
  palette.display = TrueColourDisplay();
  return MakeScene(scene, width, height, PictureOf(pictures.background), PictureOf(pictures.facePattern),
                   SoftwarePaletteBackend(palette));
}
