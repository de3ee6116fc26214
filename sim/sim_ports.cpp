#include "sim/sim_ports.h"

#include "sim/inside_simulator.h"
#include "sim/midi_service.h"

#include <algorithm>
#include <type_traits>

namespace {

using Lock = std::lock_guard<std::mutex>;

bool Contains(const std::vector<uint32_t>& numbers, UINT n)
{
    return std::find(numbers.begin(), numbers.end(), n) != numbers.end();
}

OpenPortSet<SimInput>& OpenSetOf(MidiService& service, const SimInput*)
{
    return service.inputs;
}

OpenPortSet<SimOutput>& OpenSetOf(MidiService& service, const SimOutput*)
{
    return service.outputs;
}

// Runs `call` under the service's lock for a port the current setup opened; a setup forgets the
// ports it finds open, and they refuse every call.
template <typename Port, typename Call>
MMRESULT WhileOpen(const Port* port, Call call)
{
    SimulatorScope scope;
    MidiService& service = Service();
    Lock lock(service.mutex);
    return OpenSetOf(service, port).Holds(port) ? call(service) : MMSYSERR_INVALHANDLE;
}

template <typename Port>
void Forget(const Port* port)
{
    SimulatorScope scope;
    MidiService& service = Service();
    Lock lock(service.mutex);
    OpenPortSet<Port>& open = OpenSetOf(service, port);
    auto found = std::find(open.ports.begin(), open.ports.end(), port);
    if (found == open.ports.end()) return;
    open.ports.erase(found);
    ++open.closed;
}

// Opens `device` unless a fault or another program holds it.
template <typename Port, typename Base, typename... Args>
MMRESULT Open(UINT device, std::unique_ptr<Base>& port, Args... args)
{
    SimulatorScope scope;
    MidiService& service = Service();
    Lock lock(service.mutex);
    const bool input = std::is_same<Port, SimInput>::value;
    const SimSetup& setup = service.setup;
    if (device >= (input ? setup.devices.inputs : setup.devices.outputs).size()) return MMSYSERR_BADDEVICEID;
    OpenPortSet<Port>& open = OpenSetOf(service, static_cast<const Port*>(nullptr));
    bool busy = std::any_of(open.ports.begin(), open.ports.end(), [&](Port* p) { return p->device == device; });
    if (busy || Contains(input ? setup.failingInputOpens : setup.failingOutputOpens, device)) {
        return MMSYSERR_ALLOCATED;
    }
    auto opened = std::make_unique<Port>(device, args...);
    open.ports.push_back(opened.get());
    ++open.opened;
    port = std::move(opened);
    return MMSYSERR_NOERROR;
}

// Whether the service is still busy as the controller's `frame`-th frame is sent, as often as the
// setup asks.
bool NotReadyLocked(MidiService& service, uint32_t frame)
{
    for (SimSetup::NotReady& busy : service.notReadyLeft) {
        if (busy.frame != frame || busy.times == 0) continue;
        if (busy.times != ALWAYS) --busy.times;
        return true;
    }
    return false;
}

// Counts the headers prepared and not unprepared since: what a tool leaves behind.
MMRESULT Track(MidiService& service, MIDIHDR* header, bool prepare, MMRESULT result)
{
    if (result != MMSYSERR_NOERROR) return result;
    if (prepare) {
        service.prepared.insert(header);
    } else {
        service.prepared.erase(header);
    }
    return result;
}

}  // namespace

SimInput::SimInput(UINT device, MidiInCallback callback, DWORD_PTR instance)
    : MidiInputPort(callback, instance), device(device)
{
}

SimInput::~SimInput()
{
    Forget(this);
    // A delivery under way may still hold this port: let it end first.
    Service().thread.Run([] {});
}

MMRESULT SimInput::Prepare(MIDIHDR* header, UINT size)
{
    return WhileOpen(this, [&](MidiService& service) {
        return Track(service, header, true, MidiInputPort::Prepare(header, size));
    });
}

MMRESULT SimInput::Unprepare(MIDIHDR* header, UINT size)
{
    return WhileOpen(this, [&](MidiService& service) {
        return Track(service, header, false, MidiInputPort::Unprepare(header, size));
    });
}

MMRESULT SimInput::Start()
{
    return WhileOpen(this, [&](MidiService& service) {
        if (Contains(service.setup.failingStarts, device)) return MMRESULT(MMSYSERR_ERROR);
        SimController* controller = ControllerBehindLocked(true, device);
        if (!started && controller != nullptr) controller->reader = MidiMessageReader();
        started = true;
        return MMRESULT(MMSYSERR_NOERROR);
    });
}

MMRESULT SimInput::AddBuffer(MIDIHDR* header, UINT size)
{
    bool fails = false;
    MMRESULT result = WhileOpen(this, [&](MidiService& service) {
        fails = Contains(service.setup.failingAddBuffers, device);
        return MMRESULT(MMSYSERR_NOERROR);
    });
    if (result != MMSYSERR_NOERROR) return result;
    return fails ? MMRESULT(MMSYSERR_NOMEM) : MidiInputPort::AddBuffer(header, size);
}

// The controller's bytes no longer reach this input.
MMRESULT SimInput::StopListening()
{
    return WhileOpen(this, [&](MidiService&) {
        started = false;
        return MMRESULT(MMSYSERR_NOERROR);
    });
}

void SimInput::Notify(UINT message, DWORD_PTR param1)
{
    Service().thread.Run([&] {
        SimulatorScope host(false);
        MidiInputPort::Notify(message, param1);
    });
}

size_t SimInput::ArriveStray()
{
    const uint8_t start = 0xF0;
    size_t dropped = Receive(&start, 1);
    EndMessage(MIM_LONGDATA);
    return dropped;
}

SimOutput::~SimOutput()
{
    Forget(this);
}

MMRESULT SimOutput::Prepare(MIDIHDR* header, UINT size)
{
    return WhileOpen(this, [&](MidiService& service) {
        return Track(service, header, true, PrepareHeader(header, size));
    });
}

// Says the frame is still playing as often as the setup asks.
MMRESULT SimOutput::Unprepare(MIDIHDR* header, UINT size)
{
    return WhileOpen(this, [&](MidiService& service) {
        bool prepared = IsHeaderUsable(header, size) && (header->dwFlags & MHDR_PREPARED);
        if (prepared && service.stillPlayingLeft > 0) {
            if (service.stillPlayingLeft != ALWAYS) --service.stillPlayingLeft;
            return MMRESULT(MIDIERR_STILLPLAYING);
        }
        return Track(service, header, false, UnprepareHeader(header, size));
    });
}

// A frame is done when this returns. Whatever a controller sent up to now reaches the host before
// the frame reaches the controller; a loopback sends the frame straight back.
MMRESULT SimOutput::Send(const uint8_t* bytes, size_t size)
{
    SimController* controller = nullptr;
    std::vector<uint8_t> frame;
    std::vector<Delivery> due;
    MMRESULT result = WhileOpen(this, [&](MidiService& service) {
        controller = ControllerBehindLocked(false, device);
        bool first = controller == &service.controllers.front();
        if (first && NotReadyLocked(service, controller->session.FramesArrived() + 1)) {
            return MMRESULT(MIDIERR_NOTREADY);
        }
        if (controller != nullptr && !controller->session.Arrives()) {
            ++service.counts.failedSends;
            return MMRESULT(MIDIERR_NODEVICE);
        }
        frame.assign(bytes, bytes + size);
        service.counts.framesSent.push_back(frame);
        if (!first && !IsIdentifyRequest(frame)) ++service.counts.foreignFrames;
        if (first) {
            for (const SimSetup::Stall& stall : service.setup.stalls) {
                if (stall.frame == controller->session.FramesArrived()) service.clockMs += stall.ms;
            }
        }
        if (controller != nullptr) due = TakeDueLocked();
        const std::string& name = service.setup.devices.outputs[device];
        for (const MidiDevices::Loop& loop : service.setup.devices.loops) {
            if (loop.from == name) due.push_back({loop.to, frame});
        }
        return MMRESULT(MMSYSERR_NOERROR);
    });
    if (result != MMSYSERR_NOERROR) return result;
    SimulatorScope scope;
    Deliver(due);
    if (controller == nullptr) return result;
    MidiService& service = Service();
    Lock lock(service.mutex);
    controller->session.Take(frame, service.clockMs);
    return result;
}

// Hands back every frame still pending: a send the service held on to is over.
MMRESULT SimOutput::Reset()
{
    return WhileOpen(this, [](MidiService& service) {
        service.stillPlayingLeft = 0;
        return MMRESULT(MMSYSERR_NOERROR);
    });
}

unsigned MidiPortCount(bool input)
{
    Lock lock(Service().mutex);
    const MidiDevices& devices = Service().setup.devices;
    return unsigned((input ? devices.inputs : devices.outputs).size());
}

bool MidiPortName(bool input, UINT_PTR id, char (&name)[MAXPNAMELEN])
{
    SimulatorScope scope;
    Lock lock(Service().mutex);
    const MidiDevices& devices = Service().setup.devices;
    const std::vector<std::string>& names = input ? devices.inputs : devices.outputs;
    if (id >= names.size()) return false;
    std::fill(std::begin(name), std::end(name), '\0');
    names[id].copy(name, sizeof name - 1);
    return true;
}

MMRESULT OpenMidiInputPort(UINT id, MidiInCallback callback, DWORD_PTR instance,
                           std::unique_ptr<MidiInputPort>& port)
{
    return Open<SimInput>(id, port, callback, instance);
}

MMRESULT OpenMidiOutputPort(UINT id, std::unique_ptr<MidiOutputPort>& port)
{
    return Open<SimOutput>(id, port);
}
