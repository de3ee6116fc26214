#pragma once

#include "platform/winmm.h"

// The name a MIDI device gives itself, always ended; empty when the service gives none.
void ReadPortName(bool input, UINT id, char name[MAXPNAMELEN]);
