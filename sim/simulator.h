#pragma once

#include "sim/sim_counts.h"
#include "sim/sim_setup.h"

// Sets the simulated MIDI service up afresh and sets the controller's clock going.
void ConfigureSimulator(const SimSetup& setup);
// What has happened since.
SimCounts SimulatorCounts();
