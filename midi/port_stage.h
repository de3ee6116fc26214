#pragma once

#include <stdint.h>

// Opens the input and output of the controller: the device named with --device; the one input
// device and the first usable output; or, with several input devices, the pair that answers
// `identifyRequest` (the SysEx's `length` data bytes). Where nothing leads to the controller yet
// (no input, or none answers), waits up to WaitSeconds for it to be connected, looking again
// each time an input arrives; a named device that is not there ends the run at once. Prints the
// failure's message and returns false when the run must end.
bool OpenPorts(const uint8_t* identifyRequest, unsigned length);

// The same look at the devices as they are now, for a controller that left and came back: true
// with its ports open; false, printing nothing, with no port open.
bool OpenPortsAgain(const uint8_t* identifyRequest, unsigned length);

// Closes both ports, for a controller that left.
void ClosePorts();
