#pragma once

#include <stdint.h>

// Opens the input and output of the controller: the device named with --device; the one input
// device and the first usable output; or, with several input devices, the pair that answers
// `identifyRequest` (the SysEx's `length` data bytes). Prints the failure's message and returns
// false when the run must end.
bool OpenPorts(const uint8_t* identifyRequest, unsigned length);
