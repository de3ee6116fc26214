// What a backend of the seam provides: its devices and its open ports. The winmm calls over them
// are the same for every backend (midi_calls.cpp here): handles, callback flags, the open and
// close notifications, the header rules; an input's headers are filled by one routine
// (midi_input_port.h), and an output only sends bytes.
#pragma once

#include "backends/winmm/midi_header.h"
#include "backends/winmm/midi_input_port.h"
#include "platform/winmm.h"

#include <stddef.h>
#include <stdint.h>

#include <memory>

class MidiOutputPort {
public:
    virtual ~MidiOutputPort() = default;

    HMIDIOUT Handle() { return reinterpret_cast<HMIDIOUT>(this); }

    virtual MMRESULT Prepare(MIDIHDR* header, UINT size) { return PrepareHeader(header, size); }
    // A backend may say the message is still playing although it was sent.
    virtual MMRESULT Unprepare(MIDIHDR* header, UINT size) { return UnprepareHeader(header, size); }
    // Sends one long message's bytes; they have left when it returns. The header's flags are
    // midiOutLongMsg's.
    virtual MMRESULT Send(const uint8_t* bytes, size_t size) = 0;
    virtual MMRESULT Reset() = 0;
};

// Defined by each backend. Device numbers run from 0 per direction.
unsigned MidiPortCount(bool input);
// The device's name cut to the capability record; false for a bad number.
bool MidiPortName(bool input, UINT_PTR id, char (&name)[MAXPNAMELEN]);
// A bad number gives MMSYSERR_BADDEVICEID.
MMRESULT OpenMidiInputPort(UINT id, MidiInCallback callback, DWORD_PTR instance,
                           std::unique_ptr<MidiInputPort>& port);
MMRESULT OpenMidiOutputPort(UINT id, std::unique_ptr<MidiOutputPort>& port);
