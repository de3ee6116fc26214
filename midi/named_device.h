#pragma once

#include "platform/winmm.h"

// The device the user named with --device: nullptr when none was named.
extern const char* NamedDevice;

const int NO_PORT = -1;

// The first input and the first output whose names hold NamedDevice, ignoring ASCII case; false
// when either direction has none.
bool FindNamedPorts(UINT* input, UINT* output);
