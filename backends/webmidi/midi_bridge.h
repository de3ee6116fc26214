// The page's MIDI ports, reached through the JavaScript side of the backend (web_midi.js). An open
// port is a handle on the page's port object, never its number: the list is read again whenever
// the page's ports change, and a port's number may move.
#pragma once

#include "platform/winmm.h"

#include <stddef.h>
#include <stdint.h>

#include <vector>

unsigned WebMidiPortCount(bool input);
// The port's name cut to the capability record; false for a bad number.
bool WebMidiPortName(bool input, UINT_PTR index, char (&name)[MAXPNAMELEN]);
// Whether port `index` is open already, by a handle whose port has not been unplugged since.
bool WebMidiInUse(bool input, unsigned index);
// A handle on port `index` (a number listed now). A handle whose port is unplugged fails from
// then on, even once the page's port is connected again.
int WebMidiOpen(bool input, unsigned index);
// Starts or stops keeping the SysEx messages that the input receives, returning once the port is
// open; false when it is gone.
bool WebMidiListen(int handle, bool on);
// Takes the oldest message kept for the input; false when none is waiting.
bool WebMidiTake(int handle, std::vector<uint8_t>& message);
// Closes the page's port, once the program has closed its device, and returns when it is closed.
void WebMidiClose(int handle);
// Hands a frame to the output, to leave at the page's clock; false when the output is gone.
bool WebMidiSend(int handle, const uint8_t* bytes, size_t size);
// Takes back what the output holds to send later, where the browser can.
void WebMidiClear(int handle);
// Moves the page's clock on by `ms`; true when the program has to wait for it (WebMidiWait).
bool WebMidiPause(DWORD ms);
// Waits, while the page goes on, until the pause is over or, for an answer, a message has come:
// the whole program is suspended here meanwhile.
void WebMidiWait();
