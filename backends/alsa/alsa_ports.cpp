// The devices are the rawmidi ports of all cards, numbered from 0 per direction.
#include "backends/alsa/alsa_input.h"
#include "backends/alsa/alsa_output.h"
#include "backends/alsa/rawmidi_ports.h"
#include "backends/alsa/rawmidi_stream.h"
#include "backends/winmm/midi_ports.h"

static snd_rawmidi_stream_t Stream(bool input)
{
    return input ? SND_RAWMIDI_STREAM_INPUT : SND_RAWMIDI_STREAM_OUTPUT;
}

unsigned MidiPortCount(bool input)
{
    return unsigned(FindMidiPorts(Stream(input)).size());
}

bool MidiPortName(bool input, UINT_PTR id, char (&name)[MAXPNAMELEN])
{
    std::vector<MidiPort> ports = FindMidiPorts(Stream(input));
    if (id >= ports.size()) return false;
    name[ports[id].name.copy(name, MAXPNAMELEN - 1)] = '\0';
    return true;
}

MMRESULT OpenMidiInputPort(UINT id, MidiInCallback callback, DWORD_PTR instance,
                           std::unique_ptr<MidiInputPort>& port)
{
    std::vector<MidiPort> ports = FindMidiPorts(SND_RAWMIDI_STREAM_INPUT);
    if (id >= ports.size()) return MMSYSERR_BADDEVICEID;
    std::unique_ptr<InputSource> source;
    MMRESULT result = OpenRawmidiInput(ports[id].address, source);
    if (result == MMSYSERR_NOERROR) port = std::make_unique<InputPort>(std::move(source), callback, instance);
    return result;
}

MMRESULT OpenMidiOutputPort(UINT id, std::unique_ptr<MidiOutputPort>& port)
{
    std::vector<MidiPort> ports = FindMidiPorts(SND_RAWMIDI_STREAM_OUTPUT);
    if (id >= ports.size()) return MMSYSERR_BADDEVICEID;
    std::unique_ptr<OutputSink> sink;
    MMRESULT result = OpenRawmidiOutput(ports[id].address, sink);
    if (result == MMSYSERR_NOERROR) port = std::make_unique<OutputPort>(std::move(sink));
    return result;
}
