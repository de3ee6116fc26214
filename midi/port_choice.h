#pragma once

#include "platform/winmm.h"

// The rules by which an update chooses its ports, for the port stage and for the device list.

// Ports of the system's own software synthesizers and mappers, never the device.
bool IsSystemPort(const char* name);
// The output number an update tries first: 1 when output 0 is the system's General MIDI
// synthesizer and another output exists, else 0.
UINT FirstOutputId();
