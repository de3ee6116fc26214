// The simulated service's ports, as platform/midi_ports.h has a backend give them.
#pragma once

#include "platform/midi_ports.h"

#include <cstdint>
#include <deque>

class SimInput : public MidiInputPort {
public:
    SimInput(UINT device, MidiInCallback callback, DWORD_PTR instance);
    ~SimInput() override;

    MMRESULT Prepare(MIDIHDR* header, UINT size) override;
    MMRESULT Unprepare(MIDIHDR* header, UINT size) override;
    MMRESULT AddBuffer(MIDIHDR* header, UINT size) override;
    MMRESULT Start() override;
    // Messages are delivered whole, so no buffer holds part of one to hand back here.
    MMRESULT Stop() override;
    MMRESULT Reset() override;
    bool HasQueuedHeaders() override;
    void Notify(UINT message, DWORD_PTR param1) override;
    // Calls the host back on the service's thread; `timestamp` as MIM_DATA and MIM_LONGDATA have it.
    void CallBack(UINT message, DWORD_PTR param1, DWORD_PTR timestamp);

    // Under the service's lock.
    bool LiveLocked() const;
    const UINT device;
    bool started = false;
    uint64_t startedAtMs = 0;
    std::deque<MIDIHDR*> queue;

private:
    const MidiInCallback callback_;
    const DWORD_PTR instance_;
};

class SimOutput : public MidiOutputPort {
public:
    explicit SimOutput(UINT device);
    ~SimOutput() override;

    MMRESULT Prepare(MIDIHDR* header, UINT size) override;
    // Says the frame is still playing as often as the setup asks.
    MMRESULT Unprepare(MIDIHDR* header, UINT size) override;
    MMRESULT LongMsg(MIDIHDR* header, UINT size) override;
    MMRESULT Reset() override;

    bool LiveLocked() const;
    const UINT device;
};

void MarkDone(MIDIHDR* header);
