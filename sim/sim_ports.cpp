#include "sim/sim_ports.h"

#include "platform/midi_header.h"
#include "sim/inside_simulator.h"
#include "sim/midi_service.h"

#include <algorithm>
#include <cstring>

namespace {

using Lock = std::lock_guard<std::mutex>;
using Ports = std::vector<SimPort*>;

bool Contains(const std::vector<uint32_t>& numbers, UINT n)
{
    return std::find(numbers.begin(), numbers.end(), n) != numbers.end();
}

// Runs `call` under the service's lock on a port the current setup opened; any other is refused.
template <typename Call>
MMRESULT WhileOpen(Ports MidiService::*open, const SimPort& port, Call call)
{
    SimulatorScope scope;
    MidiService& service = Service();
    Lock lock(service.mutex);
    const Ports& ports = service.*open;
    bool live = std::find(ports.begin(), ports.end(), &port) != ports.end();
    return live ? call(service) : MMSYSERR_INVALHANDLE;
}

void Forget(Ports MidiService::*open, const SimPort& port, uint64_t SimCounts::*closed)
{
    SimulatorScope scope;
    MidiService& service = Service();
    Lock lock(service.mutex);
    Ports& ports = service.*open;
    auto found = std::find(ports.begin(), ports.end(), &port);
    if (found == ports.end()) return;
    ports.erase(found);
    ++(service.counts.*closed);
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

class SimInput : public MidiInputPort {
public:
    SimInput(UINT device, MidiInCallback callback, DWORD_PTR instance)
    {
        port_.device = device;
        port_.callback = callback;
        port_.instance = instance;
        port_.handle = Handle();
    }

    ~SimInput() override
    {
        Forget(&MidiService::inputs, port_, &SimCounts::inputsClosed);
        // A delivery under way may still hold this port: let it end first.
        Service().thread.Run([] {});
    }

    SimPort& Port() { return port_; }

    MMRESULT Prepare(MIDIHDR* header, UINT size) override
    {
        return Locked([&](MidiService& service) { return ::Prepare(service, header, size); });
    }

    MMRESULT Unprepare(MIDIHDR* header, UINT size) override
    {
        return Locked([&](MidiService& service) { return ::Unprepare(service, header, size); });
    }

    MMRESULT AddBuffer(MIDIHDR* header, UINT size) override
    {
        return Locked([&](MidiService&) {
            MMRESULT result = QueueHeader(header, size);
            if (result == MMSYSERR_NOERROR) port_.queue.push_back(header);
            return result;
        });
    }

    MMRESULT Start() override
    {
        return Locked([&](MidiService& service) {
            if (Contains(service.setup.failingStarts, port_.device)) return MMSYSERR_ERROR;
            if (!port_.started) {
                port_.startedAtMs = service.clockMs;
                service.reader = MidiMessageReader();
            }
            port_.started = true;
            return MMSYSERR_NOERROR;
        });
    }

    // Messages are delivered whole, so no buffer holds part of one to hand back here.
    MMRESULT Stop() override
    {
        return Locked([&](MidiService&) {
            port_.started = false;
            return MMSYSERR_NOERROR;
        });
    }

    // Every queued buffer comes back through the callback, marked done, before this returns.
    MMRESULT Reset() override
    {
        std::deque<MIDIHDR*> returned;
        MMRESULT result = Locked([&](MidiService&) {
            port_.started = false;
            returned.swap(port_.queue);
            return MMSYSERR_NOERROR;
        });
        MidiService& service = Service();
        service.thread.Run([&] {
            for (MIDIHDR* header : returned) {
                {
                    Lock lock(service.mutex);
                    MarkDone(header);
                }
                CallBack(port_, MIM_LONGDATA, DWORD_PTR(header), 0);
            }
        });
        return result;
    }

    bool HasQueuedHeaders() override
    {
        Lock lock(Service().mutex);
        return !port_.queue.empty();
    }

    void Notify(UINT message, DWORD_PTR param1) override { CallBack(port_, message, param1, 0); }

private:
    template <typename Call>
    MMRESULT Locked(Call call)
    {
        return WhileOpen(&MidiService::inputs, port_, call);
    }

    SimPort port_;
};

class SimOutput : public MidiOutputPort {
public:
    explicit SimOutput(UINT device) { port_.device = device; }
    ~SimOutput() override { Forget(&MidiService::outputs, port_, &SimCounts::outputsClosed); }

    SimPort& Port() { return port_; }

    MMRESULT Prepare(MIDIHDR* header, UINT size) override
    {
        return Locked([&](MidiService& service) { return ::Prepare(service, header, size); });
    }

    // Says the frame is still playing as often as the setup asks.
    MMRESULT Unprepare(MIDIHDR* header, UINT size) override
    {
        return Locked([&](MidiService& service) {
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
    MMRESULT LongMsg(MIDIHDR* header, UINT) override
    {
        bool toController = false;
        std::vector<uint8_t> frame;
        std::vector<MidiMessage> due;
        MMRESULT result = Locked([&](MidiService& service) {
            toController = LeadsToControllerLocked(false, port_.device);
            if (toController) ++service.controllerFrames;
            uint32_t unplugAt = service.setup.unplugAtFrame;
            if (toController && unplugAt != 0 && service.controllerFrames >= unplugAt) {
                service.unplugged = true;
            }
            if (toController && service.unplugged) {
                ++service.counts.failedSends;
                return MMRESULT(MIDIERR_NODEVICE);
            }
            const uint8_t* data = reinterpret_cast<const uint8_t*>(header->lpData);
            service.counts.framesSent.emplace_back(data, data + header->dwBufferLength);
            MarkDone(header);
            if (toController) {
                frame = service.counts.framesSent.back();
                for (const SimSetup::Stall& stall : service.setup.stalls) {
                    if (stall.frame == service.controllerFrames) service.clockMs += stall.ms;
                }
                due = TakeDueLocked();
            }
            return MMRESULT(MMSYSERR_NOERROR);
        });
        if (result != MMSYSERR_NOERROR || !toController) return result;
        SimulatorScope scope;
        Deliver(due);
        MidiService& service = Service();
        Lock lock(service.mutex);
        service.firmware.Receive(frame, service.clockMs);
        return result;
    }

    MMRESULT Reset() override
    {
        return Locked([](MidiService&) { return MMRESULT(MMSYSERR_NOERROR); });
    }

private:
    template <typename Call>
    MMRESULT Locked(Call call)
    {
        return WhileOpen(&MidiService::outputs, port_, call);
    }

    SimPort port_;
};

// Opens `device` of the direction unless a fault or another program holds it.
template <typename Port, typename Base, typename... Args>
MMRESULT Open(Ports MidiService::*open, UINT device, std::unique_ptr<Base>& port, Args... args)
{
    SimulatorScope scope;
    MidiService& service = Service();
    Lock lock(service.mutex);
    bool input = open == &MidiService::inputs;
    const SimSetup& setup = service.setup;
    if (device >= (input ? setup.inputs : setup.outputs).size()) return MMSYSERR_BADDEVICEID;
    Ports& ports = service.*open;
    bool busy = std::any_of(ports.begin(), ports.end(), [&](SimPort* p) { return p->device == device; });
    if (busy || Contains(input ? setup.failingInputOpens : setup.failingOutputOpens, device)) {
        return MMSYSERR_ALLOCATED;
    }
    auto opened = std::make_unique<Port>(device, args...);
    ports.push_back(&opened->Port());
    ++(input ? service.counts.inputsOpened : service.counts.outputsOpened);
    port = std::move(opened);
    return MMSYSERR_NOERROR;
}

}  // namespace

void MarkDone(MIDIHDR* header)
{
    header->dwFlags = (header->dwFlags & ~DWORD(MHDR_INQUEUE)) | MHDR_DONE;
}

void CallBack(const SimPort& input, UINT message, DWORD_PTR param1, DWORD_PTR timestamp)
{
    if (input.callback == nullptr) return;
    Service().thread.Run([&] {
        SimulatorScope host(false);
        input.callback(input.handle, message, input.instance, param1, timestamp);
    });
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
    return Open<SimInput>(&MidiService::inputs, id, port, callback, instance);
}

MMRESULT OpenMidiOutputPort(UINT id, std::unique_ptr<MidiOutputPort>& port)
{
    return Open<SimOutput>(&MidiService::outputs, id, port);
}
