#include "platform/webmidi/web_input.h"

#include "platform/midi_header.h"
#include "platform/webmidi/midi_bridge.h"

#include <string.h>

#include <algorithm>

namespace {

const uint8_t SYSEX_END = 0xF7;

std::vector<WebInput*> openInputs;

}  // namespace

const std::vector<WebInput*>& WebInput::Open()
{
    return openInputs;
}

WebInput::WebInput(unsigned index, MidiInCallback callback, DWORD_PTR instance)
    : index_(index), callback_(callback), instance_(instance)
{
    openInputs.push_back(this);
}

WebInput::~WebInput()
{
    openInputs.erase(std::find(openInputs.begin(), openInputs.end(), this));
    WebMidiClose(true, index_);
}

MMRESULT WebInput::Prepare(MIDIHDR* header, UINT size)
{
    return PrepareHeader(header, size);
}

MMRESULT WebInput::Unprepare(MIDIHDR* header, UINT size)
{
    return UnprepareHeader(header, size);
}

MMRESULT WebInput::AddBuffer(MIDIHDR* header, UINT size)
{
    MMRESULT result = QueueHeader(header, size);
    if (result == MMSYSERR_NOERROR) queue_.push_back(header);
    return result;
}

MMRESULT WebInput::Start()
{
    if (started_) return MMSYSERR_NOERROR;
    if (!WebMidiListen(index_, true)) return MIDIERR_NODEVICE;
    started_ = true;
    return MMSYSERR_NOERROR;
}

MMRESULT WebInput::Stop()
{
    if (started_) WebMidiListen(index_, false);
    started_ = false;
    if (!queue_.empty() && queue_.front()->dwBytesRecorded > 0) {
        MIDIHDR* header = queue_.front();
        queue_.pop_front();
        HandBack(header, MIM_LONGDATA);
    }
    return MMSYSERR_NOERROR;
}

MMRESULT WebInput::Reset()
{
    if (started_) WebMidiListen(index_, false);
    started_ = false;
    std::deque<MIDIHDR*> queued;
    queued.swap(queue_);
    for (MIDIHDR* header : queued) HandBack(header, MIM_LONGDATA);
    return MMSYSERR_NOERROR;
}

void WebInput::Notify(UINT message, DWORD_PTR param1)
{
    if (callback_ != nullptr) callback_(Handle(), message, instance_, param1, 0);
}

void WebInput::DeliverArrived()
{
    std::vector<uint8_t> message;
    while (started_ && WebMidiTake(index_, message)) Deliver(message);
}

// A message longer than the header goes on in the next queued one, as Windows does; what finds no
// header is lost. A SysEx that did not end with F7 (Web MIDI hands over whole messages, but a
// device may stop in the middle of one) comes back as Windows hands back a message cut short.
void WebInput::Deliver(const std::vector<uint8_t>& message)
{
    const bool whole = message.back() == SYSEX_END;
    size_t offset = 0;
    while (offset < message.size() && !queue_.empty()) {
        MIDIHDR* header = queue_.front();
        queue_.pop_front();
        size_t length = std::min<size_t>(message.size() - offset, header->dwBufferLength);
        memcpy(header->lpData, message.data() + offset, length);
        header->dwBytesRecorded = DWORD(length);
        offset += length;
        HandBack(header, offset == message.size() && !whole ? MIM_LONGERROR : MIM_LONGDATA);
    }
}

void WebInput::HandBack(MIDIHDR* header, UINT message)
{
    header->dwFlags = (header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
    Notify(message, (DWORD_PTR)header);
}
