#pragma once

#include "midi/sysex_send.h"
#include "platform/winmm.h"

#include <stdint.h>

// The input buffer the service fills for each reply; only the callback reads it
// (midi/reply_handover.h).
const unsigned RX_BUFFER_SIZE = 200;

// Open the first usable port from `firstId` upward, passing over the system's own ports; 0 or
// the MIDI service's error. An input that opened and then cannot queue its buffer or start is
// left open for the close.
uint16_t OpenMidiIn(UINT firstId);
uint16_t OpenMidiOut(UINT firstId);
// Open exactly device `id`, whatever its name.
uint16_t OpenMidiInDevice(UINT id);
uint16_t OpenMidiOutDevice(UINT id);
// Whether opening a port prints its name (as each run's first opening does); the names of the
// ports open are kept either way.
void AnnouncePorts(bool announce);
const char* OpenPortName(bool input);
// 1 when a port was closed, 0 when none was open.
int CloseMidiIn();
int CloseMidiOut();
// Sends `length` bytes (at most SYSEX_MAX_DATA) as one SysEx; returns when the frame has left.
uint16_t SendSysEx(const uint8_t* data, unsigned length);
void CALLBACK OnMidiInput(HMIDIIN handle, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                          DWORD_PTR param2);
