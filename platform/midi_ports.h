// What a backend of the seam provides: its devices and its open ports. The winmm calls over them
// are the same for every backend (platform/midi_calls.cpp): handles, callback flags, the open and
// close notifications, the header rules; what a port does with its headers is the backend's.
#pragma once

#include "platform/midi_header.h"
#include "platform/winmm.h"

#include <stddef.h>

#include <memory>

using MidiInCallback = void(CALLBACK*)(HMIDIIN, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR);

class MidiInputPort {
public:
    virtual ~MidiInputPort() = default;

    HMIDIIN Handle() { return reinterpret_cast<HMIDIIN>(this); }

    virtual MMRESULT Prepare(MIDIHDR* header, UINT size) = 0;
    virtual MMRESULT Unprepare(MIDIHDR* header, UINT size) = 0;
    virtual MMRESULT AddBuffer(MIDIHDR* header, UINT size) = 0;
    virtual MMRESULT Start() = 0;
    // Hands back a header holding part of a message; empty headers stay queued.
    virtual MMRESULT Stop() = 0;
    // Hands back every queued header before it returns.
    virtual MMRESULT Reset() = 0;
    virtual size_t QueuedHeaders() = 0;
    virtual void Notify(UINT message, DWORD_PTR param1) = 0;
};

class MidiOutputPort {
public:
    virtual ~MidiOutputPort() = default;

    HMIDIOUT Handle() { return reinterpret_cast<HMIDIOUT>(this); }

    virtual MMRESULT Prepare(MIDIHDR* header, UINT size) { return PrepareHeader(header, size); }
    // A backend may say the message is still playing although it was sent.
    virtual MMRESULT Unprepare(MIDIHDR* header, UINT size) { return UnprepareHeader(header, size); }
    // Sends the message of a header that passed CheckSendHeader; done when it returns.
    virtual MMRESULT LongMsg(MIDIHDR* header, UINT size) = 0;
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
