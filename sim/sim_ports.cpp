// The simulated service as a backend of the seam: its devices and ports under
// platform/midi_ports.h, with the winmm calls of platform/midi_calls.cpp over them.
#include "platform/midi_ports.h"
#include "sim/inside_simulator.h"
#include "sim/midi_service.h"

namespace {

// A port of the service, known to it by its number; the service keeps the port's state.
template <typename Base>
class SimPort : public Base {
public:
    ~SimPort() override
    {
        SimulatorScope scope;
        SimulatedMidiService().Close(id);
    }

    MidiService::PortId id = 0;
};

class SimInputPort : public SimPort<MidiInputPort> {
public:
    MMRESULT Prepare(MIDIHDR* header, UINT size) override
    {
        SimulatorScope scope;
        return SimulatedMidiService().Prepare(id, header, size);
    }
    MMRESULT Unprepare(MIDIHDR* header, UINT size) override
    {
        SimulatorScope scope;
        return SimulatedMidiService().Unprepare(id, header, size);
    }
    MMRESULT AddBuffer(MIDIHDR* header, UINT size) override
    {
        SimulatorScope scope;
        return SimulatedMidiService().AddBuffer(id, header, size);
    }
    MMRESULT Start() override
    {
        SimulatorScope scope;
        return SimulatedMidiService().Start(id);
    }
    MMRESULT Stop() override
    {
        SimulatorScope scope;
        return SimulatedMidiService().Stop(id);
    }
    MMRESULT Reset() override
    {
        SimulatorScope scope;
        return SimulatedMidiService().Reset(id);
    }
    bool HasQueuedHeaders() override
    {
        SimulatorScope scope;
        return SimulatedMidiService().HasQueuedHeaders(id);
    }
    void Notify(UINT message, DWORD_PTR) override
    {
        SimulatorScope scope;
        SimulatedMidiService().Notify(id, message);
    }
};

class SimOutputPort : public SimPort<MidiOutputPort> {
public:
    MMRESULT Prepare(MIDIHDR* header, UINT size) override
    {
        SimulatorScope scope;
        return SimulatedMidiService().Prepare(id, header, size);
    }
    // Says the frame is still playing as often as the setup asks.
    MMRESULT Unprepare(MIDIHDR* header, UINT size) override
    {
        SimulatorScope scope;
        return SimulatedMidiService().Unprepare(id, header, size);
    }
    MMRESULT LongMsg(MIDIHDR* header, UINT) override
    {
        SimulatorScope scope;
        return SimulatedMidiService().LongMsg(id, header);
    }
    MMRESULT Reset() override
    {
        SimulatorScope scope;
        return SimulatedMidiService().OutReset(id);
    }
};

template <typename Port, typename Base>
MMRESULT OpenPort(bool input, UINT device, MidiInCallback callback, DWORD_PTR instance,
                  std::unique_ptr<Base>& port)
{
    SimulatorScope scope;
    auto opened = std::make_unique<Port>();
    HMIDIIN handle = reinterpret_cast<HMIDIIN>(opened->Handle());
    MMRESULT result =
        SimulatedMidiService().Open(input, device, callback, instance, handle, &opened->id);
    if (result == MMSYSERR_NOERROR) port = std::move(opened);
    return result;
}

}  // namespace

unsigned MidiPortCount(bool input)
{
    SimulatorScope scope;
    return SimulatedMidiService().DeviceCount(input);
}

bool MidiPortName(bool input, UINT_PTR id, char (&name)[MAXPNAMELEN])
{
    SimulatorScope scope;
    return SimulatedMidiService().DeviceName(input, id, name);
}

MMRESULT OpenMidiInputPort(UINT id, MidiInCallback callback, DWORD_PTR instance,
                           std::unique_ptr<MidiInputPort>& port)
{
    return OpenPort<SimInputPort>(true, id, callback, instance, port);
}

MMRESULT OpenMidiOutputPort(UINT id, std::unique_ptr<MidiOutputPort>& port)
{
    return OpenPort<SimOutputPort>(false, id, nullptr, 0, port);
}
