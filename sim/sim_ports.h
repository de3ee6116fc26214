// The simulated devices' open ports, a backend under platform/midi_ports.h like ALSA's and Web
// MIDI's: what the service needs of each.
#pragma once

#include "platform/queued_input.h"

class SimInput : public QueuedInput {
public:
    SimInput(UINT device, MidiInCallback callback, DWORD_PTR instance);
    ~SimInput() override;

    MMRESULT Prepare(MIDIHDR* header, UINT size) override;
    MMRESULT Unprepare(MIDIHDR* header, UINT size) override;
    MMRESULT AddBuffer(MIDIHDR* header, UINT size) override;
    MMRESULT Start() override;
    // On the service's thread, as Windows calls back.
    void Notify(UINT message, DWORD_PTR param1) override;

    const UINT device;
    bool started = false;  // guarded by the service's lock

private:
    MMRESULT StopListening() override;
};

class SimOutput : public MidiOutputPort {
public:
    explicit SimOutput(UINT device) : device(device) {}
    ~SimOutput() override;

    MMRESULT Prepare(MIDIHDR* header, UINT size) override;
    MMRESULT Unprepare(MIDIHDR* header, UINT size) override;
    MMRESULT LongMsg(MIDIHDR* header, UINT size) override;
    MMRESULT Reset() override;

    const UINT device;
};
