// host_state.cpp - the system's saver-running switch.
#include "win32/host/host_state.h"

int32_t SetSaverRunning(bool running) {
  UINT scratch = 0;
  return SystemParametersInfoA(SPI_SCREENSAVERRUNNING, running ? TRUE : FALSE, &scratch, 0);
}
