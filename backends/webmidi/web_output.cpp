#include "backends/webmidi/web_output.h"

#include "backends/webmidi/midi_bridge.h"

MMRESULT WebOutput::Send(const uint8_t* bytes, size_t size)
{
    if (vanished_ || !WebMidiSend(handle_, bytes, size)) {
        vanished_ = true;
        return MIDIERR_NODEVICE;
    }
    return MMSYSERR_NOERROR;
}

MMRESULT WebOutput::Reset()
{
    WebMidiClear(handle_);
    return vanished_ ? MIDIERR_NODEVICE : MMSYSERR_NOERROR;
}

WebOutput::~WebOutput()
{
    WebMidiClose(handle_);
}
