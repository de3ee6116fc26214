#include "sim/simulator.h"

#include "sim/inside_simulator.h"
#include "sim/midi_service.h"

void ConfigureSimulator(const SimSetup& setup)
{
    SimulatedMidiService().Configure(setup);
}

void AdvanceSimulatedClock(uint32_t ms)
{
    SimulatorScope scope;
    MidiService& service = SimulatedMidiService();
    service.AwaitDelivery(service.Advance(ms));
}

SimCounts SimulatorCounts()
{
    return SimulatedMidiService().Counts();
}
