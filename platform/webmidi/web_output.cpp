#include "platform/webmidi/web_output.h"

#include "platform/midi_header.h"
#include "platform/webmidi/midi_bridge.h"

MMRESULT WebOutput::LongMsg(MIDIHDR* header, UINT size)
{
    if (!IsHeaderUsable(header, size)) return MMSYSERR_INVALPARAM;
    if (!(header->dwFlags & MHDR_PREPARED)) return MIDIERR_UNPREPARED;
    if (header->dwFlags & MHDR_INQUEUE) return MIDIERR_STILLPLAYING;
    if (vanished_ || !WebMidiSend(index_, (const uint8_t*)header->lpData, header->dwBufferLength)) {
        vanished_ = true;
        return MIDIERR_NODEVICE;
    }
    header->dwFlags |= MHDR_DONE;
    return MMSYSERR_NOERROR;
}
