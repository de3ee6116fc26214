#include "midi/sysex_send.h"

#include <string.h>

// A service that never gives a frame back would hang the update mid-way: after this many waits
// of 100 ms (5 s) the send has failed.
static const int STILL_PLAYING_WAITS = 50;
static const DWORD STILL_PLAYING_WAIT_MS = 100;
// An output still busy with earlier data says it is not ready: the same frame goes again after a
// wait that doubles up to 100 ms, for about a second in all; then the send has failed.
static const DWORD NOT_READY_FIRST_WAIT_MS = 1;
static const DWORD NOT_READY_LONGEST_WAIT_MS = 100;
static const DWORD NOT_READY_GIVE_UP_MS = 1000;

// A send refused leaves the header prepared and not queued, as a new send needs it.
static MMRESULT SendWhenReady(HMIDIOUT handle, MIDIHDR* header)
{
    MMRESULT result = midiOutLongMsg(handle, header, sizeof *header);
    DWORD waited = 0;
    for (DWORD wait = NOT_READY_FIRST_WAIT_MS; result == MIDIERR_NOTREADY && waited < NOT_READY_GIVE_UP_MS;
         wait = wait * 2 < NOT_READY_LONGEST_WAIT_MS ? wait * 2 : NOT_READY_LONGEST_WAIT_MS) {
        Sleep(wait);
        waited += wait;
        result = midiOutLongMsg(handle, header, sizeof *header);
    }
    return result;
}

uint16_t SendSysExOn(HMIDIOUT handle, MIDIHDR* header, const uint8_t* data, unsigned length)
{
    if (length > SYSEX_MAX_DATA) return MMSYSERR_INVALPARAM;
    uint8_t frame[SYSEX_MAX_DATA + 2];
    frame[0] = 0xF0;
    memcpy(frame + 1, data, length);
    frame[length + 1] = 0xF7;

    memset(header, 0, sizeof *header);
    header->lpData = (LPSTR)frame;
    header->dwBufferLength = length + 2;
    MMRESULT result = midiOutPrepareHeader(handle, header, sizeof *header);
    if (result != MMSYSERR_NOERROR) return (uint16_t)result;
    result = SendWhenReady(handle, header);
    if (result != MMSYSERR_NOERROR) {
        // The frame lives on this call's stack: leave no prepared header pointing at it.
        midiOutUnprepareHeader(handle, header, sizeof *header);
        return (uint16_t)result;
    }
    for (int waits = 0; waits < STILL_PLAYING_WAITS; ++waits) {
        if (midiOutUnprepareHeader(handle, header, sizeof *header) != MIDIERR_STILLPLAYING) return 0;
        Sleep(STILL_PLAYING_WAIT_MS);
    }
    // The service must let go of the frame before this call's stack does.
    midiOutReset(handle);
    midiOutUnprepareHeader(handle, header, sizeof *header);
    return MIDIERR_STILLPLAYING;
}

void CloseOutput(HMIDIOUT handle)
{
    // Nothing should be pending after a synchronous send; the reset makes sure the close holds.
    midiOutReset(handle);
    midiOutClose(handle);
}
