#pragma once

#include "platform/midi_byte_decoder.h"
#include "platform/winmm.h"
#include "sim/callback_thread.h"
#include "sim/device_firmware.h"
#include "sim/sim_counts.h"
#include "sim/sim_setup.h"

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

typedef void(CALLBACK* MidiInProc)(HMIDIIN, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR);

// The MIDI service as the Windows one behaves, over a device list and one simulated controller.
// Handles are never reused, so a closed handle stays invalid. Every input callback runs on the
// service's own thread, which also writes the received bytes into the host's buffers.
class MidiService {
public:
    MidiService();

    // Starts afresh: devices, faults, a new controller; ports left open are forgotten.
    void Configure(const SimSetup& setup);
    SimCounts Counts() const;
    bool RealTime() const;

    UINT DeviceCount(bool input) const;
    // The product name of a device, cut to fit the capability record; false for a bad number.
    bool DeviceName(bool input, UINT_PTR id, char (&name)[MAXPNAMELEN]) const;

    MMRESULT InOpen(HMIDIIN* handle, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
    MMRESULT InAddBuffer(HMIDIIN handle, MIDIHDR* header, UINT size);
    MMRESULT InStart(HMIDIIN handle);
    MMRESULT InStop(HMIDIIN handle);
    MMRESULT InReset(HMIDIIN handle);
    MMRESULT InClose(HMIDIIN handle);

    MMRESULT OutOpen(HMIDIOUT* handle, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
    MMRESULT OutLongMsg(HMIDIOUT handle, MIDIHDR* header, UINT size);
    MMRESULT OutReset(HMIDIOUT handle);
    MMRESULT OutClose(HMIDIOUT handle);

    // Both directions; `handle` is the port's handle value.
    MMRESULT PrepareHeader(uintptr_t handle, bool input, MIDIHDR* header, UINT size);
    MMRESULT UnprepareHeader(uintptr_t handle, bool input, MIDIHDR* header, UINT size);

    // Moves the controller's clock on by `ms` as the host sleeps, and starts delivering what is
    // due by then; the caller awaits the ticket before its sleep ends.
    CallbackThread::Ticket Advance(uint32_t ms);
    void AwaitDelivery(CallbackThread::Ticket ticket);

private:
    struct Port {
        bool input = true;
        UINT device = 0;
        MidiInProc callback = nullptr;
        DWORD_PTR instance = 0;
        bool started = false;
        uint64_t startedAtMs = 0;
        std::deque<MIDIHDR*> queue;
    };
    struct Delivery {
        MidiInProc callback = nullptr;
        uintptr_t handle = 0;
        DWORD_PTR instance = 0;
        DWORD_PTR param1 = 0;  // the header, or a short message
        DWORD_PTR timestamp = 0;
    };

    Port* FindLocked(uintptr_t handle, bool input);
    bool LeadsToController(const Port& port) const;
    bool DeviceBusyLocked(bool input, UINT id) const;
    MMRESULT OpenLocked(bool input, UINT id, MidiInProc callback, DWORD_PTR instance, DWORD flags,
                        uintptr_t* handle);
    Port* ListeningLocked(uintptr_t* handle);
    std::optional<uint64_t> NextDueLocked() const;
    std::vector<MidiMessage> TakeDueLocked();
    void Notify(const Delivery& delivery, UINT message);
    void Deliver(const std::vector<MidiMessage>& messages);
    void DeliverShort(DWORD packed);
    void DeliverSysex(const MidiMessage& message);
    void DeliverDue();

    mutable std::mutex mutex_;
    SimSetup setup_;
    DeviceFirmware firmware_;
    MidiMessageReader parser_;
    std::deque<uint64_t> strays_;  // when the next lone bytes are due, earliest first
    std::map<uintptr_t, Port> ports_;
    uintptr_t nextHandle_ = 0x5100;
    std::set<MIDIHDR*> prepared_;
    uint64_t clockMs_ = 0;
    unsigned controllerFrames_ = 0;
    bool unplugged_ = false;
    unsigned stillPlayingLeft_ = 0;
    SimCounts counts_;
    CallbackThread thread_;  // last: stops before the state it works on goes
};

// The one service of the process, behind the winmm calls.
MidiService& SimulatedMidiService();
