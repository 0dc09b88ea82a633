// linux_clock.cpp - the monotonic and CPU clocks, and the frame meter.
#include "linux_options/linux_clock.h"

#include <cstdio>
#include <ctime>

uint64_t MonotonicMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000;
}

double CpuSeconds() {
  timespec used{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
  return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) / 1e9;
}

void CountFrames(RateMeter& meter, int frames, const char* program) {
  const uint64_t now = MonotonicMilliseconds();
  const double cpu = CpuSeconds();
  if (meter.since == 0) {
    meter.since = now, meter.cpuSince = cpu, meter.frames = 0;
    return;
  }
  meter.frames += frames;
  if (now - meter.since < 1000) return;
  const double seconds = static_cast<double>(now - meter.since) / 1000;
  meter.rate = meter.frames / seconds;
  meter.cpuShare = 100 * (cpu - meter.cpuSince) / seconds;
  std::fprintf(stderr, "%s: %.1f frames/s, %.1f%% CPU\n", program, meter.rate, meter.cpuShare);
  meter.since = now, meter.cpuSince = cpu, meter.frames = 0;
}
