#include "sim/midi_service.h"

#include "sim/inside_simulator.h"
#include "sim/simulator.h"

#include <algorithm>
#include <cstring>

namespace {

using Lock = std::lock_guard<std::mutex>;

std::optional<uint64_t> NextDueLocked()
{
    MidiService& service = Service();
    std::optional<uint64_t> next = service.firmware.NextDue();
    if (!service.strays.empty() && (!next || service.strays.front() < *next)) {
        next = service.strays.front();
    }
    return next;
}

// The started input that leads to the controller, if any.
SimPort* ListeningLocked()
{
    for (SimPort* input : Service().inputs) {
        if (input->started && LeadsToControllerLocked(true, input->device)) return input;
    }
    return nullptr;
}

void DeliverShort(uint32_t packed)
{
    SimPort* input;
    DWORD_PTR timestamp;
    {
        Lock lock(Service().mutex);
        input = ListeningLocked();
        if (input == nullptr) {
            ++Service().counts.messagesDropped;
            return;
        }
        timestamp = DWORD_PTR(Service().clockMs - input->startedAtMs);
    }
    CallBack(*input, MIM_DATA, packed, timestamp);
}

// The bytes go into the first queued buffer, from where it is filled to, as every backend writes
// them, and the buffer goes back to the host; a message longer than the buffer goes on in the
// next queued one, and only its last part can say that it was cut short.
void DeliverSysex(const MidiMessage& message)
{
    MidiService& service = Service();
    const std::vector<uint8_t>& bytes = message.bytes;
    size_t offset = 0;
    while (offset < bytes.size()) {
        SimPort* input;
        MIDIHDR* header;
        DWORD_PTR timestamp;
        {
            Lock lock(service.mutex);
            input = ListeningLocked();
            header = input == nullptr || input->queue.empty() ? nullptr : input->queue.front();
            DWORD filled = header == nullptr ? 0 : std::min(header->dwBytesRecorded, header->dwBufferLength);
            size_t length = header == nullptr ? 0 : std::min<size_t>(bytes.size() - offset, header->dwBufferLength - filled);
            // None queued, or one queued full: the rules that queued it would be wrong.
            if (length == 0) {
                ++service.counts.messagesDropped;
                return;
            }
            input->queue.pop_front();
            std::memcpy(header->lpData + filled, bytes.data() + offset, length);
            header->dwBytesRecorded = DWORD(filled + length);
            MarkDone(header);
            if (offset == 0 && message.complete) service.counts.messagesDelivered.push_back(bytes);
            offset += length;
            timestamp = DWORD_PTR(service.clockMs - input->startedAtMs);
        }
        bool cut = offset == bytes.size() && !message.complete;
        CallBack(*input, cut ? MIM_LONGERROR : MIM_LONGDATA, DWORD_PTR(header), timestamp);
    }
}

void DeliverDue()
{
    std::vector<MidiMessage> due;
    {
        Lock lock(Service().mutex);
        due = TakeDueLocked();
    }
    Deliver(due);
}

}  // namespace

MidiService& Service()
{
    static MidiService service;
    return service;
}

bool LeadsToControllerLocked(bool input, UINT device)
{
    const SimSetup& setup = Service().setup;
    return (input ? setup.inputs : setup.outputs)[device] == setup.controllerName;
}

// Read from the controller's bytes while an input listens to them (bytes sent to no listener are
// lost). An unplugged controller's bytes never arrive.
std::vector<MidiMessage> TakeDueLocked()
{
    MidiService& service = Service();
    std::vector<MidiMessage> due;
    for (; !service.strays.empty() && service.strays.front() <= service.clockMs; service.strays.pop_front()) {
        due.push_back({true, true, {0xF0}, 0});
    }
    std::vector<std::vector<uint8_t>> sent = service.firmware.TakeDue(service.clockMs);
    if (service.unplugged) return {};
    for (const std::vector<uint8_t>& bytes : sent) {
        if (ListeningLocked() == nullptr) {
            ++service.counts.messagesDropped;
            continue;
        }
        for (MidiMessage& message : service.reader.Feed(bytes.data(), bytes.size())) {
            due.push_back(std::move(message));
        }
    }
    return due;
}

void Deliver(const std::vector<MidiMessage>& messages)
{
    if (messages.empty()) return;
    Service().thread.Run([&] {
        for (const MidiMessage& message : messages) {
            if (message.sysex) {
                DeliverSysex(message);
            } else {
                DeliverShort(message.packed);
            }
        }
    });
}

CallbackThread::Ticket AdvanceClock(uint32_t ms)
{
    MidiService& service = Service();
    Lock lock(service.mutex);
    service.clockMs += ms;
    ++service.counts.sleeps;
    service.counts.sleptMs += ms;
    std::optional<uint64_t> next = NextDueLocked();
    // A Sleep inside a callback only moves the clock: the thread cannot wait for itself.
    if (!next || *next > service.clockMs || service.thread.IsCurrent()) return 0;
    return service.thread.Post(DeliverDue);
}

void ConfigureSimulator(const SimSetup& setup)
{
    MidiService& service = Service();
    Lock lock(service.mutex);
    service.setup = setup;
    service.firmware = DeviceFirmware(setup.firmware);
    service.reader = MidiMessageReader();
    service.strays.assign(setup.strayAtMs.begin(), setup.strayAtMs.end());
    std::sort(service.strays.begin(), service.strays.end());
    service.inputs.clear();
    service.outputs.clear();
    service.prepared.clear();
    service.clockMs = 0;
    service.controllerFrames = 0;
    service.unplugged = false;
    service.stillPlayingLeft = setup.stillPlayingUnprepares;
    service.counts = SimCounts();
}

void AdvanceSimulatedClock(uint32_t ms)
{
    SimulatorScope scope;
    Service().thread.Await(AdvanceClock(ms));
}

SimCounts SimulatorCounts()
{
    MidiService& service = Service();
    Lock lock(service.mutex);
    SimCounts counts = service.counts;
    counts.inputsOpen = service.inputs.size();
    counts.outputsOpen = service.outputs.size();
    for (const SimPort* input : service.inputs) counts.headersQueued += input->queue.size();
    counts.headersPrepared = service.prepared.size();
    counts.identifyRequests = service.firmware.IdentifyRequests();
    counts.acceptedRecords = service.firmware.AcceptedRecords();
    counts.droppedRecords = service.firmware.DroppedRecords();
    counts.flash = service.firmware.Flash();
    counts.clockMs = service.clockMs;
    return counts;
}
