// Reading a bounded regular file whole, as vimbrel and vimbrel-render read
// --config and picture files: what is not a regular file, or is longer than
// the limit, is refused with the phrase the one-line message carries.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "core/common/regular_file.h"

namespace {

TEST(RegularFile, ReadsFilesUpToTheLimitAndSaysWhatElseItFound) {
  const std::string scratch = std::string(VIMBREL_BINARY_DIR) + "/regular-file-" + std::to_string(getpid());
  const std::string fifo = scratch + ".fifo", empty = scratch + ".empty", large = scratch + ".large";
  const std::string largeText = std::string(69999, 'x') + 'y';  // more than one read's buffer
  std::ofstream(empty, std::ios::binary).flush();
  std::ofstream(large, std::ios::binary) << largeText;
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

  // path, limit, the problem (empty: read, with these contents), contents
  const std::tuple<std::string, size_t, std::string, std::string> cases[] = {
      {empty, 10, "", ""},
      {large, 70000, "", largeText},
      {large, 69999, "is longer than 69999 bytes", ""},
      {scratch + ".none", 10, "cannot be opened: No such file or directory", ""},
      {"/", 10, "is a directory", ""},
      {fifo, 10, "is a FIFO, not a regular file", ""},  // no writer: must not block
      {"/dev/null", 10, "is a device, not a regular file", ""},
  };
  for (const auto& [path, limit, expected, contents] : cases) {
    SCOPED_TRACE(path);
    std::vector<uint8_t> bytes{1};
    std::string problem;
    EXPECT_EQ(ReadRegularFile(path.c_str(), limit, bytes, problem), expected.empty());
    EXPECT_EQ(problem, expected);
    if (expected.empty()) {
      EXPECT_EQ(std::string(bytes.begin(), bytes.end()), contents);
    }
  }
  for (const std::string& path : {fifo, empty, large}) std::remove(path.c_str());
}

}  // namespace
