// The committed pictures and icon are exactly what the generator makes, so
// that a change to the generator cannot drift from the files the program
// and the golden frames are built from.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pictures/picture_generator.h"

namespace {

std::vector<uint8_t> ReadSourceFile(const std::string& name) {
  std::ifstream in(std::string(VIMBREL_SOURCE_DIR) + "/src/resources/" + name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(Pictures, CommittedFilesAreWhatTheGeneratorMakes) {
  EXPECT_TRUE(ReadSourceFile("floor.bmp") == MakeFloorBitmapFile()) << "regenerate with vimbrel-pictures src/resources";
  EXPECT_TRUE(ReadSourceFile("face.bmp") == MakeFaceBitmapFile()) << "regenerate with vimbrel-pictures src/resources";
  EXPECT_TRUE(ReadSourceFile("vimbrel.ico") == MakeIconFile()) << "regenerate with vimbrel-pictures src/resources";
}

}  // namespace
