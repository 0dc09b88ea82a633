// Reading a bounded regular file whole, as vimbrel and vimbrel-render read
// --config and picture files: what is not a regular file, or is longer than
// the limit, is refused with the phrase the one-line message carries.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "common/regular_file_posix.h"

namespace {

TEST(RegularFile, ReadsFilesUpToTheLimitAndSaysWhatElseItFound) {
  const std::string scratch = std::string(VIMBREL_BINARY_DIR) + "/regular-file-" + std::to_string(getpid());
  const std::string fifo = scratch + ".fifo", socketPath = scratch + ".socket", empty = scratch + ".empty",
                    ten = scratch + ".ten", eleven = scratch + ".eleven", large = scratch + ".large";
  std::string largeText(70000, 'x');  // more than one read's buffer
  largeText[69999] = 'y';
  std::ofstream(empty, std::ios::binary).flush();
  std::ofstream(ten, std::ios::binary) << "0123456789";
  std::ofstream(eleven, std::ios::binary) << "0123456789A";
  std::ofstream(large, std::ios::binary) << largeText;
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0) << socketPath;

  const struct {
    std::string path;
    size_t limit;
    std::string problem;  // empty: read, with these contents
    std::string contents;
  } cases[] = {
      {empty, 10, "", ""},
      {ten, 10, "", "0123456789"},
      {eleven, 10, "is longer than 10 bytes", ""},
      {large, 100000, "", largeText},
      {large, 69999, "is longer than 69999 bytes", ""},
      {scratch + ".none", 10, "cannot be opened: No such file or directory", ""},
      {"/", 10, "is a directory", ""},
      {fifo, 10, "is a FIFO, not a regular file", ""},  // no writer: must not block
      {"/dev/null", 10, "is a device, not a regular file", ""},
      {socketPath, 10, "cannot be opened: No such device or address", ""},  // open() refuses a socket
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    std::vector<uint8_t> bytes{1};
    std::string problem;
    EXPECT_EQ(ReadRegularFile(c.path.c_str(), c.limit, bytes, problem), c.problem.empty());
    EXPECT_EQ(problem, c.problem);
    if (c.problem.empty()) {
      EXPECT_EQ(std::string(bytes.begin(), bytes.end()), c.contents);
    }
  }
  close(listener);
  for (const std::string& path : {fifo, socketPath, empty, ten, eleven, large}) std::remove(path.c_str());
}

}  // namespace
