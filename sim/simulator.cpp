#include "sim/simulator.h"

#include "sim/device_clock.h"
#include "sim/midi_service.h"

#include <cstdlib>

void ConfigureSimulator(const SimSetup& setup)
{
    StopDeviceClock();
    SimulatedMidiService().Configure(setup);
    StartDeviceClock();
    // After the service exists, so that the clock stops before the service goes.
    static const bool stopsAtExit = std::atexit(StopDeviceClock) == 0;
    (void)stopsAtExit;
}

SimCounts SimulatorCounts()
{
    return SimulatedMidiService().Counts();
}
