#include "backends/sim/sim_output.h"

#include "backends/sim/port_calls.h"

namespace {

using Lock = std::lock_guard<std::mutex>;

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

}  // namespace

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
// the frame reaches the controller; a loopback or an answering device sends back at once.
MMRESULT SimOutput::Send(const uint8_t* bytes, size_t size)
{
    // Every copy of the frame is the simulator's, not an allocation of the tool's.
    SimulatorScope scope;
    const std::vector<uint8_t> frame(bytes, bytes + size);
    bool toController = false;
    std::vector<Delivery> due;
    MMRESULT result = WhileOpen(this, [&](MidiService& service) {
        SimulatedWorld& world = service.world;
        std::optional<size_t> listed = world.PortListed(false, key);
        if (!listed) return MMRESULT(MIDIERR_NODEVICE);
        const size_t port = *listed;
        const int controller = world.ControllerBehind(false, port);
        toController = controller >= 0;
        if (controller == 0 && NotReadyLocked(service, world.Controller(0).FramesArrived() + 1)) {
            return MMRESULT(MIDIERR_NOTREADY);
        }
        if (!world.Reaches(port)) return MMRESULT(MIDIERR_NODEVICE);
        std::vector<WorldMessage> back = world.Carry(port, frame);
        if (controller == 0) {
            for (const SimSetup::Stall& stall : service.setup.stalls) {
                if (stall.frame == world.Controller(0).FramesArrived()) service.clockMs += stall.ms;
                world.MoveTo(service.clockMs);
            }
        }
        if (toController) due = TakeDueLocked();
        for (WorldMessage& message : back) due.push_back({message.input, std::move(message.bytes)});
        return MMRESULT(MMSYSERR_NOERROR);
    });
    if (result != MMSYSERR_NOERROR) return result;
    Deliver(due);
    if (!toController) return result;
    MidiService& service = Service();
    Lock lock(service.mutex);
    if (std::optional<size_t> listed = service.world.PortListed(false, key)) {
        service.world.Take(*listed, frame, service.clockMs);
    }
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
