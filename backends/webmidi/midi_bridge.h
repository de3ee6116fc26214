// The page's MIDI ports, reached through the JavaScript side of the backend (web_midi.js).
#pragma once

#include "platform/winmm.h"

#include <stddef.h>
#include <stdint.h>

#include <vector>

unsigned WebMidiPortCount(bool input);
// The port's name cut to the capability record; false for a bad number.
bool WebMidiPortName(bool input, UINT_PTR index, char (&name)[MAXPNAMELEN]);
// Starts or stops keeping the SysEx messages that input `index` receives, returning once the port
// is open; false when it is gone.
bool WebMidiListen(unsigned index, bool on);
// Takes the oldest message kept for input `index`; false when none is waiting.
bool WebMidiTake(unsigned index, std::vector<uint8_t>& message);
// Closes the page's port, once the program has closed its device, and returns when it is closed.
void WebMidiClose(bool input, unsigned index);
// Hands a frame to output `index`, to leave at the page's clock; false when the output is gone.
bool WebMidiSend(unsigned index, const uint8_t* bytes, size_t size);
// Takes back what output `index` holds to send later, where the browser can.
void WebMidiClear(unsigned index);
// Moves the page's clock on by `ms`; true when the program has to wait for it (WebMidiWait).
bool WebMidiPause(DWORD ms);
// Waits, while the page goes on, until the pause is over or, for an answer, a message has come:
// the whole program is suspended here meanwhile.
void WebMidiWait();
