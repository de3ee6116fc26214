// An open MIDI input over a page's Web MIDI input: its queue of headers, filled with the SysEx
// messages that arrived while the program slept, with the header rules of the Windows service.
#pragma once

#include "platform/winmm.h"

#include <deque>
#include <vector>

using MidiInCallback = void(CALLBACK*)(HMIDIIN, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR);

class WebInput {
public:
    WebInput(unsigned index, MidiInCallback callback, DWORD_PTR instance);

    HMIDIIN Handle() { return reinterpret_cast<HMIDIIN>(this); }
    unsigned Index() const { return index_; }

    MMRESULT AddBuffer(MIDIHDR* header, UINT size);
    MMRESULT Start();
    // Hands back a header holding part of a message; empty headers stay queued.
    MMRESULT Stop();
    // Hands back every queued header before it returns.
    MMRESULT Reset();
    bool HasQueuedHeaders() const { return !queue_.empty(); }
    void Notify(UINT message, DWORD_PTR param1);
    // Lays every message that arrived since the last call into the queued headers.
    void DeliverArrived();

private:
    void Deliver(const std::vector<uint8_t>& message);
    void HandBack(MIDIHDR* header, UINT message);

    unsigned index_;
    MidiInCallback callback_;
    DWORD_PTR instance_;
    bool started_ = false;
    std::deque<MIDIHDR*> queue_;
};
