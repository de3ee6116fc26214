#include "backends/sim/sim_input.h"

#include "backends/sim/port_calls.h"

#include <algorithm>
#include <vector>

namespace {

bool Contains(const std::vector<uint32_t>& numbers, UINT n)
{
    return std::find(numbers.begin(), numbers.end(), n) != numbers.end();
}

}  // namespace

SimInput::SimInput(UINT device, uint64_t key, MidiInCallback callback, DWORD_PTR instance)
    : MidiInputPort(callback, instance), device(device), key(key)
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

// What the devices sent before the port listened and is due by now reaches it as it starts, as a
// service's own thread hands a message over as soon as it comes, not at the host's next Sleep.
MMRESULT SimInput::Start()
{
    std::vector<Delivery> due;
    MMRESULT result = WhileOpen(this, [&](MidiService& service) {
        if (Contains(service.setup.failingStarts, device)) return MMRESULT(MMSYSERR_ERROR);
        std::optional<size_t> listed = service.world.PortListed(true, key);
        if (!listed) return MMRESULT(MIDIERR_NODEVICE);
        if (!started && service.world.ControllerBehind(true, *listed) == 0) service.firstReader = MidiMessageReader();
        started = true;
        due = TakeDueLocked();
        return MMRESULT(MMSYSERR_NOERROR);
    });
    Deliver(due);
    return result;
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
