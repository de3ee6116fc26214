#pragma once

// Prints the MIDI input and output devices by the numbers the tool gives them, and which input
// and output an update would open, or why it would stop. Reads names only: opens no port.
void ListMidiDevices();
