// host_state.cpp - the host's state record and its fresh-process values.
#include "host/host_state.h"

HostState hostState = {0, {0, 0}, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, noQuestionYet};

void ResetHostState() { hostState = {0, {0, 0}, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, noQuestionYet}; }
