#include "midi/input_buffer.h"

#include <string.h>

// How long a close waits for the buffer to come back from the service.
static const int HEADER_RETURN_MS = 1000;

MMRESULT QueueInputBuffer(HMIDIIN handle, MIDIHDR* header, uint8_t* buffer, DWORD size)
{
    memset(header, 0, sizeof *header);
    header->lpData = (LPSTR)buffer;
    header->dwBufferLength = size;
    MMRESULT result = midiInPrepareHeader(handle, header, sizeof *header);
    if (result != MMSYSERR_NOERROR) return result;
    result = midiInAddBuffer(handle, header, sizeof *header);
    if (result != MMSYSERR_NOERROR) midiInUnprepareHeader(handle, header, sizeof *header);
    return result;
}

void RequeueInputBuffer(HMIDIIN handle, MIDIHDR* header)
{
    midiInUnprepareHeader(handle, header, sizeof *header);
    midiInPrepareHeader(handle, header, sizeof *header);
    midiInAddBuffer(handle, header, sizeof *header);
}

void CloseInputWithBuffer(HMIDIIN handle, MIDIHDR* header)
{
    // Stop recording, then make the service hand the queued buffer back.
    midiInStop(handle);
    midiInReset(handle);
    // The callback may have been queueing the buffer again just as its port stopped listening:
    // reset until the service has really given it back, or the close below is refused.
    for (int waited = 0; (header->dwFlags & MHDR_INQUEUE) && waited < HEADER_RETURN_MS; ++waited) {
        Sleep(1);
        midiInReset(handle);
    }
    // The service must be done with the buffer before the port goes.
    midiInUnprepareHeader(handle, header, sizeof *header);
    midiInClose(handle);
}
