#include "backends/sim/midi_service.h"

#include "backends/sim/inside_simulator.h"
#include "backends/sim/simulator.h"

#include <algorithm>

namespace {

using Lock = std::lock_guard<std::mutex>;

std::optional<uint64_t> NextDueLocked()
{
    MidiService& service = Service();
    std::optional<uint64_t> next = service.world.NextDue();
    if (!service.strays.empty() && (!next || service.strays.front() < *next)) {
        next = service.strays.front();
    }
    return next;
}

// The started input of this name, if any.
SimInput* ListeningLocked(const std::string& name)
{
    for (SimInput* input : Service().inputs.ports) {
        if (!input->started) continue;
        std::optional<size_t> listed = Service().world.PortListed(true, input->key);
        if (listed && Service().world.Ports(true)[*listed] == name) return input;
    }
    return nullptr;
}

// Only the first controller's messages are counted: the report is about it.
bool CountedLocked(const Delivery& delivery)
{
    return delivery.input == Service().world.Devices().controllerName;
}

// On the callback thread; the input cannot close before the delivery ends.
void DeliverOne(const Delivery& delivery)
{
    MidiService& service = Service();
    SimInput* input;
    bool counted;
    {
        Lock lock(service.mutex);
        input = ListeningLocked(delivery.input);
        counted = CountedLocked(delivery);
        if (input == nullptr) {
            if (counted) ++service.counts.messagesDropped;
            return;
        }
    }
    const std::vector<uint8_t>& bytes = delivery.bytes;
    size_t dropped = delivery.stray ? input->ArriveStray() : input->Arrive(bytes.data(), bytes.size());
    if (!counted) return;
    Lock lock(service.mutex);
    if (dropped > 0) {
        ++service.counts.messagesDropped;
    } else if (delivery.stray) {
        service.counts.messagesDelivered.push_back(bytes);
    }
    if (delivery.stray) return;
    // The whole SysEx messages among them, as the host's input read them.
    for (const MidiMessage& message : service.firstReader.Feed(bytes.data(), bytes.size())) {
        if (dropped == 0 && message.sysex && message.complete) service.counts.messagesDelivered.push_back(message.bytes);
    }
}

void DeliverDue()
{
    std::vector<Delivery> due;
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

// Read from the controllers' bytes while an input listens to them (bytes sent to no listener are
// lost). An unplugged controller sends nothing. Strays come on the first controller's input.
std::vector<Delivery> TakeDueLocked()
{
    MidiService& service = Service();
    std::vector<Delivery> due;
    for (; !service.strays.empty() && service.strays.front() <= service.clockMs; service.strays.pop_front()) {
        due.push_back({service.world.Devices().controllerName, {0xF0}, true});
    }
    for (WorldMessage& message : service.world.TakeDue(service.clockMs)) {
        if (ListeningLocked(message.input) == nullptr) {
            if (message.controller == 0) ++service.counts.messagesDropped;
            continue;
        }
        due.push_back({message.input, std::move(message.bytes)});
    }
    return due;
}

void Deliver(const std::vector<Delivery>& deliveries)
{
    if (deliveries.empty()) return;
    Service().thread.Run([&] {
        for (const Delivery& delivery : deliveries) DeliverOne(delivery);
    });
}

CallbackThread::Ticket AdvanceClock(uint32_t ms)
{
    MidiService& service = Service();
    Lock lock(service.mutex);
    service.clockMs += ms;
    service.world.MoveTo(service.clockMs);
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
    service.world = SimulatedWorld(setup.devices, setup.controller);
    service.firstReader = MidiMessageReader();
    service.strays.assign(setup.strayAtMs.begin(), setup.strayAtMs.end());
    std::sort(service.strays.begin(), service.strays.end());
    service.inputs = {};
    service.outputs = {};
    service.prepared.clear();
    service.clockMs = 0;
    service.stillPlayingLeft = setup.stillPlayingUnprepares;
    service.notReadyLeft = setup.notReady;
    service.counts = RunCounts();
}

void AdvanceSimulatedClock(uint32_t ms)
{
    SimulatorScope scope;
    Service().thread.Await(AdvanceClock(ms));
}

RunCounts SimulatorCounts()
{
    MidiService& service = Service();
    Lock lock(service.mutex);
    RunCounts counts = service.counts;
    counts.inputsOpened = service.inputs.opened;
    counts.inputsClosed = service.inputs.closed;
    counts.outputsOpened = service.outputs.opened;
    counts.outputsClosed = service.outputs.closed;
    counts.inputsOpen = service.inputs.ports.size();
    counts.outputsOpen = service.outputs.ports.size();
    for (SimInput* input : service.inputs.ports) counts.headersQueued += input->QueuedHeaders();
    counts.headersPrepared = service.prepared.size();
    service.world.Report(counts);
    counts.clockMs = service.clockMs;
    return counts;
}
