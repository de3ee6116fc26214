#include "sim/sim_ports.h"

#include "platform/midi_header.h"
#include "sim/inside_simulator.h"
#include "sim/midi_service.h"

#include <algorithm>
#include <cstring>

namespace {

using Lock = std::lock_guard<std::mutex>;

bool Contains(const std::vector<uint32_t>& numbers, UINT n)
{
    return std::find(numbers.begin(), numbers.end(), n) != numbers.end();
}

template <typename Port>
bool IsOpen(const std::vector<Port*>& open, const Port* port)
{
    return std::find(open.begin(), open.end(), port) != open.end();
}

// Runs `call` under the service's lock on a port the current setup opened; any other is refused.
template <typename Port, typename Call>
MMRESULT WhileOpen(const Port& port, Call call)
{
    SimulatorScope scope;
    Lock lock(Service().mutex);
    return port.LiveLocked() ? call(Service()) : MMSYSERR_INVALHANDLE;
}

template <typename Port>
void Forget(std::vector<Port*>& open, const Port* port, uint64_t& closed)
{
    SimulatorScope scope;
    Lock lock(Service().mutex);
    auto found = std::find(open.begin(), open.end(), port);
    if (found == open.end()) return;
    open.erase(found);
    ++closed;
}

MMRESULT Prepare(MidiService& service, MIDIHDR* header, UINT size)
{
    MMRESULT result = PrepareHeader(header, size);
    if (result == MMSYSERR_NOERROR) service.prepared.insert(header);
    return result;
}

MMRESULT Unprepare(MidiService& service, MIDIHDR* header, UINT size)
{
    MMRESULT result = UnprepareHeader(header, size);
    if (result == MMSYSERR_NOERROR) service.prepared.erase(header);
    return result;
}

// Opens `device` in the service's list for the direction unless a fault or another program holds it.
template <typename Port, typename Base, typename... Args>
MMRESULT Open(std::vector<Port*>& open, bool input, UINT device, std::unique_ptr<Base>& port,
              Args... args)
{
    SimulatorScope scope;
    MidiService& service = Service();
    Lock lock(service.mutex);
    if (device >= (input ? service.setup.inputs : service.setup.outputs).size()) {
        return MMSYSERR_BADDEVICEID;
    }
    const SimSetup& setup = service.setup;
    bool busy = std::any_of(open.begin(), open.end(), [&](Port* p) { return p->device == device; });
    if (busy || Contains(input ? setup.failingInputOpens : setup.failingOutputOpens, device)) {
        return MMSYSERR_ALLOCATED;
    }
    auto opened = std::make_unique<Port>(device, args...);
    open.push_back(opened.get());
    ++(input ? service.counts.inputsOpened : service.counts.outputsOpened);
    port = std::move(opened);
    return MMSYSERR_NOERROR;
}

}  // namespace

void MarkDone(MIDIHDR* header)
{
    header->dwFlags = (header->dwFlags & ~DWORD(MHDR_INQUEUE)) | MHDR_DONE;
}

SimInput::SimInput(UINT device, MidiInCallback callback, DWORD_PTR instance)
    : device(device), callback_(callback), instance_(instance)
{
}

SimInput::~SimInput()
{
    Forget(Service().inputs, this, Service().counts.inputsClosed);
    // A delivery under way may still hold this port: let it end first.
    Service().thread.Run([] {});
}

bool SimInput::LiveLocked() const
{
    return IsOpen(Service().inputs, this);
}

MMRESULT SimInput::Prepare(MIDIHDR* header, UINT size)
{
    return WhileOpen(*this, [&](MidiService& service) { return ::Prepare(service, header, size); });
}

MMRESULT SimInput::Unprepare(MIDIHDR* header, UINT size)
{
    return WhileOpen(*this, [&](MidiService& service) { return ::Unprepare(service, header, size); });
}

MMRESULT SimInput::AddBuffer(MIDIHDR* header, UINT size)
{
    return WhileOpen(*this, [&](MidiService&) {
        MMRESULT result = QueueHeader(header, size);
        if (result == MMSYSERR_NOERROR) queue.push_back(header);
        return result;
    });
}

MMRESULT SimInput::Start()
{
    return WhileOpen(*this, [&](MidiService& service) {
        if (Contains(service.setup.failingStarts, device)) return MMSYSERR_ERROR;
        if (!started) {
            startedAtMs = service.clockMs;
            service.reader = MidiMessageReader();
        }
        started = true;
        return MMSYSERR_NOERROR;
    });
}

MMRESULT SimInput::Stop()
{
    return WhileOpen(*this, [&](MidiService&) {
        started = false;
        return MMSYSERR_NOERROR;
    });
}

// Every queued buffer comes back through the callback, marked done, before this returns.
MMRESULT SimInput::Reset()
{
    std::deque<MIDIHDR*> returned;
    MMRESULT result = WhileOpen(*this, [&](MidiService&) {
        started = false;
        returned.swap(queue);
        return MMSYSERR_NOERROR;
    });
    MidiService& service = Service();
    service.thread.Run([&] {
        for (MIDIHDR* header : returned) {
            {
                Lock lock(service.mutex);
                MarkDone(header);
            }
            CallBack(MIM_LONGDATA, DWORD_PTR(header), 0);
        }
    });
    return result;
}

bool SimInput::HasQueuedHeaders()
{
    Lock lock(Service().mutex);
    return !queue.empty();
}

void SimInput::Notify(UINT message, DWORD_PTR param1)
{
    CallBack(message, param1, 0);
}

void SimInput::CallBack(UINT message, DWORD_PTR param1, DWORD_PTR timestamp)
{
    if (callback_ == nullptr) return;
    Service().thread.Run([&] {
        SimulatorScope host(false);
        callback_(Handle(), message, instance_, param1, timestamp);
    });
}

SimOutput::SimOutput(UINT device) : device(device) {}

SimOutput::~SimOutput()
{
    Forget(Service().outputs, this, Service().counts.outputsClosed);
}

bool SimOutput::LiveLocked() const
{
    return IsOpen(Service().outputs, this);
}

MMRESULT SimOutput::Prepare(MIDIHDR* header, UINT size)
{
    return WhileOpen(*this, [&](MidiService& service) { return ::Prepare(service, header, size); });
}

MMRESULT SimOutput::Unprepare(MIDIHDR* header, UINT size)
{
    return WhileOpen(*this, [&](MidiService& service) {
        bool prepared = IsHeaderUsable(header, size) && (header->dwFlags & MHDR_PREPARED);
        if (prepared && service.stillPlayingLeft > 0) {
            --service.stillPlayingLeft;
            return MMRESULT(MIDIERR_STILLPLAYING);
        }
        return ::Unprepare(service, header, size);
    });
}

// A frame is done when this returns. Whatever the controller sent up to now reaches the host
// before the frame reaches the controller.
MMRESULT SimOutput::LongMsg(MIDIHDR* header, UINT)
{
    SimulatorScope scope;
    MidiService& service = Service();
    std::vector<uint8_t> frame;
    std::vector<MidiMessage> due;
    {
        Lock lock(service.mutex);
        if (!LiveLocked()) return MMSYSERR_INVALHANDLE;
        bool toController = LeadsToControllerLocked(false, device);
        uint32_t unplugAt = service.setup.unplugAtFrame;
        if (toController && unplugAt != 0 && ++service.controllerFrames >= unplugAt) {
            service.unplugged = true;
        }
        if (toController && service.unplugged) {
            ++service.counts.failedSends;
            return MIDIERR_NODEVICE;
        }
        const uint8_t* data = reinterpret_cast<const uint8_t*>(header->lpData);
        frame.assign(data, data + header->dwBufferLength);
        service.counts.framesSent.push_back(frame);
        MarkDone(header);
        if (!toController) return MMSYSERR_NOERROR;
        due = TakeDueLocked();
    }
    Deliver(due);
    Lock lock(service.mutex);
    service.firmware.Receive(frame, service.clockMs);
    return MMSYSERR_NOERROR;
}

MMRESULT SimOutput::Reset()
{
    return WhileOpen(*this, [](MidiService&) { return MMRESULT(MMSYSERR_NOERROR); });
}

unsigned MidiPortCount(bool input)
{
    Lock lock(Service().mutex);
    return unsigned((input ? Service().setup.inputs : Service().setup.outputs).size());
}

bool MidiPortName(bool input, UINT_PTR id, char (&name)[MAXPNAMELEN])
{
    SimulatorScope scope;
    Lock lock(Service().mutex);
    const std::vector<std::string>& names = input ? Service().setup.inputs : Service().setup.outputs;
    if (id >= names.size()) return false;
    std::memset(name, 0, sizeof name);
    names[id].copy(name, sizeof name - 1);
    return true;
}

MMRESULT OpenMidiInputPort(UINT id, MidiInCallback callback, DWORD_PTR instance,
                           std::unique_ptr<MidiInputPort>& port)
{
    return Open<SimInput>(Service().inputs, true, id, port, callback, instance);
}

MMRESULT OpenMidiOutputPort(UINT id, std::unique_ptr<MidiOutputPort>& port)
{
    return Open<SimOutput>(Service().outputs, false, id, port);
}
