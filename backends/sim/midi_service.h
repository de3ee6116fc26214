// The simulated service over the simulated computer's devices: what every simulated port and the
// host's Sleep share. The winmm calls over the ports, header rules included, are
// backends/winmm/midi_calls.cpp's.
#pragma once

#include "backends/sim/callback_thread.h"
#include "backends/sim/sim_input.h"
#include "backends/sim/sim_output.h"
#include "backends/sim/sim_setup.h"
#include "backends/winmm/midi_byte_decoder.h"
#include "backends/winmm/midi_ports.h"
#include "world/run_counts.h"
#include "world/simulated_world.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <mutex>
#include <set>
#include <vector>

// The ports of one direction open since the last setup; those it found open are forgotten.
template <typename Port>
struct OpenPortSet {
    std::vector<Port*> ports;
    uint64_t opened = 0;
    uint64_t closed = 0;

    bool Holds(const Port* port) const { return std::find(ports.begin(), ports.end(), port) != ports.end(); }
};

// Bytes on their way to the input of this name; a stray is the service's lone F0 (simulator.h).
struct Delivery {
    std::string input;
    std::vector<uint8_t> bytes;
    bool stray = false;
};

// Everything here is guarded by `mutex`. Every input callback runs on `thread`, never under the
// lock: a callback calls back in, to queue its buffer again.
struct MidiService {
    std::mutex mutex;
    SimSetup setup;
    SimulatedWorld world;
    // The whole messages among the first controller's bytes, as the host's input reads them.
    MidiMessageReader firstReader;
    std::deque<uint64_t> strays;  // when the next lone bytes are due, earliest first
    OpenPortSet<SimInput> inputs;
    OpenPortSet<SimOutput> outputs;
    std::set<const MIDIHDR*> prepared;
    uint64_t clockMs = 0;
    uint32_t stillPlayingLeft = 0;
    std::vector<SimSetup::NotReady> notReadyLeft;
    RunCounts counts;
    CallbackThread thread;  // last: stops before the state it works on goes
};

MidiService& Service();

inline OpenPortSet<SimInput>& OpenSetOf(MidiService& service, const SimInput*)
{
    return service.inputs;
}

inline OpenPortSet<SimOutput>& OpenSetOf(MidiService& service, const SimOutput*)
{
    return service.outputs;
}

// What reaches the host by now of the controllers' bytes; the caller delivers it without the lock.
std::vector<Delivery> TakeDueLocked();
// On the callback thread, each delivery to its input, if it listens.
void Deliver(const std::vector<Delivery>& deliveries);
// Moves the controller's clock on by `ms` as the host sleeps, and starts delivering what is due by
// then; the caller awaits the ticket before its sleep ends.
CallbackThread::Ticket AdvanceClock(uint32_t ms);
