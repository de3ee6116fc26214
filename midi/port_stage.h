#pragma once

// Opens the input and output of the controller: the device named with --device; the one input
// device and the first usable output; or, with several input devices, the pair that answers the
// identification request. Prints the failure's message and returns false when the run must end.
bool OpenPorts();
