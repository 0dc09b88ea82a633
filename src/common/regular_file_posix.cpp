// regular_file_posix.cpp - a regular file of limited size read whole.
#include "common/regular_file_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "is a directory";
  if (S_ISFIFO(mode)) return "is a FIFO, not a regular file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device, not a regular file";
  if (S_ISSOCK(mode)) return "is a socket, not a regular file";
  return "is not a regular file";
}

std::string TooLong(size_t limit) { return "is longer than " + std::to_string(limit) + " bytes"; }

}  // namespace

bool ReadRegularFile(const char* path, size_t limit, std::vector<uint8_t>& bytes, std::string& problem) {
  // O_NONBLOCK: opening a FIFO without a writer returns at once, and the
  // file type below turns it away; a regular file ignores the flag.
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    problem = std::string("cannot be opened: ") + std::strerror(errno);
    return false;
  }
  struct stat status {};
  bool ok = fstat(fd, &status) == 0;
  if (!ok) problem = std::string("cannot be examined: ") + std::strerror(errno);
  else if (!S_ISREG(status.st_mode)) ok = false, problem = KindOf(status.st_mode);
  else if (static_cast<uintmax_t>(status.st_size) > limit) ok = false, problem = TooLong(limit);
  bytes.clear();
  // One byte beyond the limit is asked for, so that a file grown since
  // fstat is still seen to be too long.
  while (ok) {
    uint8_t buffer[65536];
    const size_t want = std::min(sizeof buffer, limit + 1 - bytes.size());
    const ssize_t got = read(fd, buffer, want);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) ok = false, problem = std::string("cannot be read: ") + std::strerror(errno);
    if (got <= 0) break;
    bytes.insert(bytes.end(), buffer, buffer + got);
    if (bytes.size() > limit) ok = false, problem = TooLong(limit);
  }
  close(fd);
  return ok;
}
