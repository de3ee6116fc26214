#pragma once

#include "controller/controller_setup.h"

#include <string>

// The statements of a setup script (see script_words.h; the keys are described in
// docs/developing.md) that set up a controller: takes a statement whose key is its own and says
// whether it was.
bool ReadControllerStatement(ControllerSetup& setup, const std::string& key, const std::string& value);
