// What the simulated service keeps of an open port. The ports themselves, the backend's under
// platform/midi_ports.h, are in sim_ports.cpp.
#pragma once

#include "platform/midi_ports.h"

#include <cstdint>
#include <deque>

struct SimPort {
    UINT device = 0;
    // An input's: its host, and the buffers queued for it.
    MidiInCallback callback = nullptr;
    DWORD_PTR instance = 0;
    HMIDIIN handle = nullptr;
    bool started = false;
    uint64_t startedAtMs = 0;
    std::deque<MIDIHDR*> queue;
};

// Calls the host back on the service's thread; `timestamp` as MIM_DATA and MIM_LONGDATA have it.
void CallBack(const SimPort& input, UINT message, DWORD_PTR param1, DWORD_PTR timestamp);
void MarkDone(MIDIHDR* header);
