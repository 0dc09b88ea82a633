// linux_clock.h - the clocks both Linux programs pace and meter their
// frames by, and the --fps meter.
//
//   RateMeter meter;
//   CountFrames(meter, drawn, "vimbrel");  // after each turn that drew
#pragma once

#include <cstdint>

// The monotonic clock in milliseconds; the scene's running clock is it,
// wrapping every 49.7 days.
uint64_t MonotonicMilliseconds();
// The CPU time the process has used, in seconds.
double CpuSeconds();

// Frames per second and the share of one core used, over intervals of a
// second. Both clocks are read together after a frame, so the CPU time and
// the wall time cover the same interval, whatever happened between frames.
struct RateMeter {
  uint64_t since = 0;  // 0: no frame yet; the first count opens the interval
  double cpuSince = 0;
  int frames = 0;
  double rate = -1, cpuShare = 0;  // the last interval's; rate -1: none yet
};

// Counts the frames drawn just now; once a second keeps the interval's rate
// and share and prints them on stderr after the program's name.
void CountFrames(RateMeter& meter, int frames, const char* program);
