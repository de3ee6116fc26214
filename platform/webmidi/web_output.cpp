#include "platform/webmidi/web_output.h"

#include "platform/webmidi/midi_bridge.h"

MMRESULT WebOutput::LongMsg(MIDIHDR* header, UINT)
{
    if (vanished_ || !WebMidiSend(index_, (const uint8_t*)header->lpData, header->dwBufferLength)) {
        vanished_ = true;
        return MIDIERR_NODEVICE;
    }
    header->dwFlags |= MHDR_DONE;
    return MMSYSERR_NOERROR;
}

WebOutput::~WebOutput()
{
    WebMidiClose(false, index_);
}
