#include "sim/midi_service.h"

#include "sim/inside_simulator.h"
#include "sim/simulator.h"

#include <algorithm>

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
SimInput* ListeningLocked()
{
    for (SimInput* input : Service().inputs.ports) {
        if (input->started && LeadsToControllerLocked(true, input->device)) return input;
    }
    return nullptr;
}

// On the callback thread; the input cannot close before the delivery ends.
void DeliverOne(const MidiMessage& message)
{
    MidiService& service = Service();
    SimInput* input;
    {
        Lock lock(service.mutex);
        input = ListeningLocked();
        if (input == nullptr) {
            ++service.counts.messagesDropped;
            return;
        }
    }
    if (!message.sysex) {
        input->Notify(MIM_DATA, message.packed);
        return;
    }
    const std::vector<uint8_t>& bytes = message.bytes;
    size_t laid = input->DeliverMessage(bytes.data(), bytes.size(), !message.complete);
    Lock lock(service.mutex);
    if (laid > 0 && message.complete) service.counts.messagesDelivered.push_back(bytes);
    if (laid < bytes.size()) ++service.counts.messagesDropped;
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
        for (const MidiMessage& message : messages) DeliverOne(message);
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
    service.inputs = {};
    service.outputs = {};
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
    counts.inputsOpened = service.inputs.opened;
    counts.inputsClosed = service.inputs.closed;
    counts.outputsOpened = service.outputs.opened;
    counts.outputsClosed = service.outputs.closed;
    counts.inputsOpen = service.inputs.ports.size();
    counts.outputsOpen = service.outputs.ports.size();
    for (SimInput* input : service.inputs.ports) counts.headersQueued += input->QueuedHeaders();
    counts.headersPrepared = service.prepared.size();
    counts.identifyRequests = service.firmware.IdentifyRequests();
    counts.acceptedRecords = service.firmware.AcceptedRecords();
    counts.droppedRecords = service.firmware.DroppedRecords();
    counts.flash = service.firmware.Flash();
    counts.clockMs = service.clockMs;
    return counts;
}
