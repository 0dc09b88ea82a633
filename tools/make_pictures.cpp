// make_pictures.cpp - vimbrel-pictures OUTDIR: writes floor.bmp, face.bmp
// and vimbrel.ico, the pictures and icon that the resource script includes.
#include <cstdio>
#include <string>
#include <vector>

#include "pictures/picture_generator.h"

namespace {

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vimbrel-pictures OUTDIR\n");
    return 2;
  }
  const std::string directory = argv[1];
  const struct {
    const char* name;
    std::vector<uint8_t> (*make)();
  } files[] = {{"floor.bmp", MakeFloorBitmapFile}, {"face.bmp", MakeFaceBitmapFile}, {"vimbrel.ico", MakeIconFile}};
  for (const auto& file : files) {
    const std::string path = directory + "/" + file.name;
    if (!WriteFile(path, file.make())) {
      std::fprintf(stderr, "vimbrel-pictures: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
