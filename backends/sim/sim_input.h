// The simulated service's open input: a backend's port under backends/winmm/midi_ports.h, as
// ALSA's and Web MIDI's are.
#pragma once

#include "backends/winmm/midi_ports.h"

class SimInput : public MidiInputPort {
public:
    SimInput(UINT device, uint64_t key, MidiInCallback callback, DWORD_PTR instance);
    ~SimInput() override;

    MMRESULT Prepare(MIDIHDR* header, UINT size) override;
    MMRESULT Unprepare(MIDIHDR* header, UINT size) override;
    MMRESULT AddBuffer(MIDIHDR* header, UINT size) override;
    MMRESULT Start() override;
    // On the service's thread, as Windows calls back.
    void Notify(UINT message, DWORD_PTR param1) override;

    // What the device sends, as it reaches the port; how many SysEx bytes found no buffer.
    size_t Arrive(const uint8_t* bytes, size_t size) { return Receive(bytes, size); }
    // The service's fault: the buffer comes back holding a lone F0, as a whole message.
    size_t ArriveStray();

    const UINT device;
    const uint64_t key;  // the world's port: gone once its device leaves, whatever comes back
    bool started = false;  // guarded by the service's lock

private:
    MMRESULT StopListening() override;
};
