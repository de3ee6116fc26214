#pragma once

#include "platform/winmm.h"

// The device the user named with --device: nullptr when none was named.
extern const char* NamedDevice;

const int NO_PORT = -1;

// The first device of one direction whose name holds NamedDevice, ignoring ASCII case; NO_PORT
// when none does.
int FindNamedPort(bool input);
