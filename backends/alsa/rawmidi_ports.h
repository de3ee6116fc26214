// The MIDI ports of the machine in one direction, read from every sound card.
#pragma once

#include "backends/alsa/port_list.h"

#include <alsa/asoundlib.h>

std::vector<MidiPort> FindMidiPorts(snd_rawmidi_stream_t stream);
