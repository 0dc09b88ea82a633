// host_state.cpp - the system's saver-running switch.
#include "win32/host/host_state.h"

int32_t SetSaverRunning(int32_t running) {
  UINT scratch = 0;
  return SystemParametersInfoA(SPI_SCREENSAVERRUNNING, static_cast<UINT>(running), &scratch, 0);
}
