#pragma once

// The MIDI input list as the tool last saw it, to tell when a device arrives or leaves while it
// waits for the controller. Inputs are told apart by name, duplicates counted: a device that comes
// back under its old name is an input more than the list before it had.
void NoteInputs();
// Whether an input is listed now that the noted list did not have; the list now is noted.
bool NewInputListed();
// Whether the list differs from the noted one in any way; nothing is noted.
bool InputsChanged();
