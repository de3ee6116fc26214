#pragma once

#include "backends/sim/sim_setup.h"

#include <string>

// Reads a simulation script (its keys are described in docs/developing.md) into a setup, starting
// from the defaults: the service's statements, the devices' and the controller's. Throws
// std::invalid_argument naming the statement it cannot read.
SimSetup ParseSimScript(const std::string& script);
