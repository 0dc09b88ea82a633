// regular_file.cpp - a regular file of limited size read whole.
#include "core/common/regular_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

namespace fs = std::filesystem;

const char* KindOf(fs::file_type type) {
  switch (type) {
    case fs::file_type::directory: return "is a directory";
    case fs::file_type::fifo: return "is a FIFO, not a regular file";
    case fs::file_type::character:
    case fs::file_type::block: return "is a device, not a regular file";
    default: return "is not a regular file";
  }
}

std::string TooLong(size_t limit) { return "is longer than " + std::to_string(limit) + " bytes"; }

// The file's kind and size are asked of the file system before it is
// opened, so that a FIFO without a writer is turned away instead of waited on.
bool CheckKindAndSize(const char* path, size_t limit, std::string& problem) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error) {
    problem = "cannot be opened: " + error.message();
    return false;
  }
  if (status.type() != fs::file_type::regular) {
    problem = KindOf(status.type());
    return false;
  }
  const uintmax_t size = fs::file_size(path, error);
  if (error) {
    problem = "cannot be examined: " + error.message();
    return false;
  }
  if (size > limit) {
    problem = TooLong(limit);
    return false;
  }
  return true;
}

}  // namespace

bool ReadRegularFile(const char* path, size_t limit, std::vector<uint8_t>& bytes, std::string& problem) {
  bytes.clear();
  if (!CheckKindAndSize(path, limit, problem)) return false;
  FILE* file = std::fopen(path, "rb");
  if (!file) {
    problem = std::string("cannot be opened: ") + std::strerror(errno);
    return false;
  }
  // One byte beyond the limit is asked for, so that a file grown since its
  // size was read is still seen to be too long.
  bool ok = true;
  while (ok) {
    uint8_t buffer[65536];
    const size_t want = std::min(sizeof buffer, limit + 1 - bytes.size());
    const size_t got = std::fread(buffer, 1, want, file);
    bytes.insert(bytes.end(), buffer, buffer + got);
    if (bytes.size() > limit) ok = false, problem = TooLong(limit);
    if (got < want) {
      if (std::ferror(file)) ok = false, problem = "cannot be read";
      break;
    }
  }
  std::fclose(file);
  return ok;
}
