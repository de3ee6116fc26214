#pragma once

#include "platform/winmm.h"

#include <stdint.h>

// Data bytes in one SysEx frame, without its 0xF0 and 0xF7.
const unsigned SYSEX_MAX_DATA = 46;

// Sends `length` bytes (at most SYSEX_MAX_DATA) framed as one SysEx on `handle`, through
// `header`, and returns once the service is done with the frame: 0, or the service's error. A
// frame the service still holds after 5 s counts as failed: it is taken back by a reset first.
uint16_t SendSysExOn(HMIDIOUT handle, MIDIHDR* header, const uint8_t* data, unsigned length);
// Takes back anything still pending on the output and closes it.
void CloseOutput(HMIDIOUT handle);
