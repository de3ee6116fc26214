// What the simulated ports' calls share: each runs under the service's lock, on a port the current
// setup opened.
#pragma once

#include "backends/sim/inside_simulator.h"
#include "backends/sim/midi_service.h"

#include <algorithm>
#include <mutex>

// Runs `call` under the service's lock for a port the current setup opened; a setup forgets the
// ports it finds open, and they refuse every call.
template <typename Port, typename Call>
MMRESULT WhileOpen(const Port* port, Call call)
{
    SimulatorScope scope;
    MidiService& service = Service();
    std::lock_guard<std::mutex> lock(service.mutex);
    return OpenSetOf(service, port).Holds(port) ? call(service) : MMSYSERR_INVALHANDLE;
}

// Forgets a port that closes; a setup already forgot those it found open.
template <typename Port>
void Forget(const Port* port)
{
    SimulatorScope scope;
    MidiService& service = Service();
    std::lock_guard<std::mutex> lock(service.mutex);
    OpenPortSet<Port>& open = OpenSetOf(service, port);
    auto found = std::find(open.ports.begin(), open.ports.end(), port);
    if (found == open.ports.end()) return;
    open.ports.erase(found);
    ++open.closed;
}

// Counts the headers prepared and not unprepared since: what a tool leaves behind.
inline MMRESULT Track(MidiService& service, MIDIHDR* header, bool prepare, MMRESULT result)
{
    if (result != MMSYSERR_NOERROR) return result;
    if (prepare) {
        service.prepared.insert(header);
    } else {
        service.prepared.erase(header);
    }
    return result;
}

