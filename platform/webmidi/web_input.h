// An open MIDI input over a page's Web MIDI input: its queue of headers, filled with the SysEx
// messages that arrived while the program slept, with the header rules of the Windows service.
#pragma once

#include "platform/midi_ports.h"

#include <deque>
#include <vector>

class WebInput : public MidiInputPort {
public:
    WebInput(unsigned index, MidiInCallback callback, DWORD_PTR instance);
    ~WebInput() override;

    // Every input open now, oldest first.
    static const std::vector<WebInput*>& Open();

    unsigned Index() const { return index_; }

    MMRESULT Prepare(MIDIHDR* header, UINT size) override;
    MMRESULT Unprepare(MIDIHDR* header, UINT size) override;
    MMRESULT AddBuffer(MIDIHDR* header, UINT size) override;
    MMRESULT Start() override;
    MMRESULT Stop() override;
    MMRESULT Reset() override;
    bool HasQueuedHeaders() override { return !queue_.empty(); }
    void Notify(UINT message, DWORD_PTR param1) override;
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
