#pragma once

#include "world/midi_devices.h"

#include <string>

// The statements of a setup script (see controller/script_words.h; the keys are described in
// docs/developing.md) that set up the devices a computer lists: takes a statement whose key is its
// own and says whether it was.
bool ReadDevicesStatement(MidiDevices& devices, const std::string& key, const std::string& value);
