// regular_file.h - reading an input file whose size has a limit.
//
// The native programs take their records and pictures from files named on
// the command line. ReadRegularFile opens one without waiting (a FIFO with
// no writer does not block), refuses anything but a regular file, and reads
// at most limit bytes: a longer file is refused by its size before any read,
// and one that grows meanwhile when the read passes the limit. A refusal
// says in a few words what is wrong ("is a directory", "is longer than 152
// bytes"), for a one-line message that names the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

bool ReadRegularFile(const char* path, size_t limit, std::vector<uint8_t>& bytes, std::string& problem);
