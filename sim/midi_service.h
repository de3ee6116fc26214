#pragma once

#include "platform/midi_byte_decoder.h"
#include "platform/midi_ports.h"
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

// The simulated devices behind the ports of platform/midi_ports.h: a device list, one simulated
// controller and the faults of the setup. The winmm calls over them are platform/midi_calls.cpp's,
// header rules included. Every input callback runs on the service's own thread, which also writes
// the received bytes into the host's buffers.
class MidiService {
public:
    using PortId = uint64_t;

    MidiService();

    // Starts afresh: devices, faults, a new controller. Ports left open are forgotten: every later
    // call on them is refused.
    void Configure(const SimSetup& setup);
    SimCounts Counts() const;
    bool RealTime() const;

    UINT DeviceCount(bool input) const;
    // The product name of a device, cut to fit the capability record; false for a bad number.
    bool DeviceName(bool input, UINT_PTR id, char (&name)[MAXPNAMELEN]) const;

    // `handle` is the port's handle, as its callback is given it.
    MMRESULT Open(bool input, UINT device, MidiInCallback callback, DWORD_PTR instance,
                  HMIDIIN handle, PortId* id);
    void Close(PortId id);

    MMRESULT Prepare(PortId id, MIDIHDR* header, UINT size);
    MMRESULT Unprepare(PortId id, MIDIHDR* header, UINT size);
    MMRESULT AddBuffer(PortId id, MIDIHDR* header, UINT size);
    MMRESULT Start(PortId id);
    MMRESULT Stop(PortId id);
    MMRESULT Reset(PortId id);
    bool HasQueuedHeaders(PortId id);
    void Notify(PortId id, UINT message);
    MMRESULT LongMsg(PortId id, MIDIHDR* header);
    MMRESULT OutReset(PortId id);

    // Moves the controller's clock on by `ms` as the host sleeps, and starts delivering what is
    // due by then; the caller awaits the ticket before its sleep ends.
    CallbackThread::Ticket Advance(uint32_t ms);
    void AwaitDelivery(CallbackThread::Ticket ticket);

private:
    struct Port {
        bool input = true;
        UINT device = 0;
        MidiInCallback callback = nullptr;
        HMIDIIN handle = nullptr;
        DWORD_PTR instance = 0;
        bool started = false;
        uint64_t startedAtMs = 0;
        std::deque<MIDIHDR*> queue;
    };
    struct Delivery {
        MidiInCallback callback = nullptr;
        HMIDIIN handle = nullptr;
        DWORD_PTR instance = 0;
        DWORD_PTR param1 = 0;  // the header, or a short message
        DWORD_PTR timestamp = 0;
    };

    Port* FindLocked(PortId id);
    bool LeadsToController(const Port& port) const;
    Port* ListeningLocked();
    Delivery DeliveryLocked(const Port& port, DWORD_PTR param1) const;
    std::optional<uint64_t> NextDueLocked() const;
    std::vector<MidiMessage> TakeDueLocked();
    void Notify(const Delivery& delivery, UINT message);
    void Deliver(const std::vector<MidiMessage>& messages);
    void DeliverShort(uint32_t packed);
    void DeliverSysex(const MidiMessage& message);
    void DeliverDue();

    mutable std::mutex mutex_;
    SimSetup setup_;
    DeviceFirmware firmware_;
    MidiMessageReader reader_;
    std::deque<uint64_t> strays_;  // when the next lone bytes are due, earliest first
    std::map<PortId, Port> ports_;
    PortId nextId_ = 1;
    std::set<MIDIHDR*> prepared_;
    uint64_t clockMs_ = 0;
    unsigned controllerFrames_ = 0;
    bool unplugged_ = false;
    unsigned stillPlayingLeft_ = 0;
    SimCounts counts_;
    CallbackThread thread_;  // last: stops before the state it works on goes
};

// The one service of the process, behind the ports.
MidiService& SimulatedMidiService();
