// The simulated service's open output.
#pragma once

#include "backends/winmm/midi_ports.h"

class SimOutput : public MidiOutputPort {
public:
    SimOutput(UINT device, uint64_t key) : device(device), key(key) {}
    ~SimOutput() override;

    MMRESULT Prepare(MIDIHDR* header, UINT size) override;
    MMRESULT Unprepare(MIDIHDR* header, UINT size) override;
    MMRESULT Send(const uint8_t* bytes, size_t size) override;
    MMRESULT Reset() override;

    const UINT device;
    const uint64_t key;  // the world's port: gone once its device leaves, whatever comes back
};
