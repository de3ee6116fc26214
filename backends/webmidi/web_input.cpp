#include "backends/webmidi/web_input.h"

#include "backends/webmidi/midi_bridge.h"

#include <algorithm>

namespace {

const uint8_t SYSEX_END = 0xF7;

std::vector<WebInput*> openInputs;

}  // namespace

const std::vector<WebInput*>& WebInput::Open()
{
    return openInputs;
}

WebInput::WebInput(int handle, MidiInCallback callback, DWORD_PTR instance)
    : MidiInputPort(callback, instance), handle_(handle)
{
    openInputs.push_back(this);
}

WebInput::~WebInput()
{
    openInputs.erase(std::find(openInputs.begin(), openInputs.end(), this));
    WebMidiClose(handle_);
}

MMRESULT WebInput::Start()
{
    if (started_) return MMSYSERR_NOERROR;
    if (!WebMidiListen(handle_, true)) return MIDIERR_NODEVICE;
    started_ = true;
    return MMSYSERR_NOERROR;
}

MMRESULT WebInput::StopListening()
{
    if (started_) WebMidiListen(handle_, false);
    started_ = false;
    return MMSYSERR_NOERROR;
}

// Web MIDI hands over whole messages, but a device may stop in the middle of a SysEx: one that did
// not end with F7 comes back as Windows hands back a message cut short.
void WebInput::DeliverArrived()
{
    std::vector<uint8_t> message;
    while (started_ && WebMidiTake(handle_, message)) {
        Receive(message.data(), message.size());
        if (message.back() != SYSEX_END) EndMessage(MIM_LONGERROR);
    }
}
