// host_state.cpp - the host's state record and the system's saver-running switch.
#include "host/host_state.h"

HostState hostState = {0, {0, 0}, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, noQuestionYet, {}, 0};

int32_t SetSaverRunning(int32_t running) {
  UINT scratch = 0;
  return SystemParametersInfoA(SPI_SCREENSAVERRUNNING, static_cast<UINT>(running), &scratch, 0);
}
