#pragma once

// Insists on exactly one MIDI input device, then opens the input and the first usable output.
// Prints the failure's message and returns false when the run must end.
bool OpenPorts();
