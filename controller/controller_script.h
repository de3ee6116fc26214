#pragma once

#include "controller/controller_setup.h"
#include "controller/midi_devices.h"

#include <string>

// The statements of a setup script (see script_words.h; the keys are described in
// docs/developing.md) that set up a controller, and those that set up the devices a computer
// lists. Each takes a statement whose key is its own and says whether it was.
bool ReadControllerStatement(ControllerSetup& setup, const std::string& key, const std::string& value);
bool ReadDevicesStatement(MidiDevices& devices, const std::string& key, const std::string& value);
