// The simulated devices' port list and their opening.
#include "backends/winmm/midi_ports.h"

#include "backends/sim/port_calls.h"

#include <type_traits>

namespace {

using Lock = std::lock_guard<std::mutex>;

// Opens `device` unless a fault or another program holds it.
template <typename Port, typename Base, typename... Args>
MMRESULT Open(UINT device, std::unique_ptr<Base>& port, Args... args)
{
    SimulatorScope scope;
    MidiService& service = Service();
    Lock lock(service.mutex);
    const bool input = std::is_same<Port, SimInput>::value;
    if (device >= service.world.Ports(input).size()) return MMSYSERR_BADDEVICEID;
    OpenPortSet<Port>& open = OpenSetOf(service, static_cast<const Port*>(nullptr));
    const uint64_t key = service.world.PortKey(input, device);
    bool busy = std::any_of(open.ports.begin(), open.ports.end(), [&](Port* p) { return p->key == key; });
    if (busy || service.world.OpenFails(input, device)) {
        return MMSYSERR_ALLOCATED;
    }
    auto opened = std::make_unique<Port>(device, key, args...);
    open.ports.push_back(opened.get());
    ++open.opened;
    port = std::move(opened);
    return MMSYSERR_NOERROR;
}

}  // namespace

unsigned MidiPortCount(bool input)
{
    Lock lock(Service().mutex);
    return unsigned(Service().world.Ports(input).size());
}

bool MidiPortName(bool input, UINT_PTR id, char (&name)[MAXPNAMELEN])
{
    SimulatorScope scope;
    Lock lock(Service().mutex);
    const std::vector<std::string>& names = Service().world.Ports(input);
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
