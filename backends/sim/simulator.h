#pragma once

#include "backends/sim/sim_setup.h"
#include "world/run_counts.h"

#include <cstdint>

// Sets the simulated MIDI service up afresh.
void ConfigureSimulator(const SimSetup& setup);
// Moves the controller's clock on as a host's Sleep of `ms` does, without sleeping: whatever the
// controller sends by then has reached the host when this returns. For tests in one process, on
// every platform.
void AdvanceSimulatedClock(uint32_t ms);
// What has happened since.
RunCounts SimulatorCounts();
