// An open MIDI input over a page's Web MIDI input: its queued headers are filled with the SysEx
// messages that arrived while the program slept.
#pragma once

#include "platform/queued_input.h"

#include <vector>

class WebInput : public QueuedInput {
public:
    WebInput(unsigned index, MidiInCallback callback, DWORD_PTR instance);
    ~WebInput() override;

    // Every input open now, oldest first.
    static const std::vector<WebInput*>& Open();

    unsigned Index() const { return index_; }

    MMRESULT Start() override;
    // Lays every message that arrived since the last call into the queued headers.
    void DeliverArrived();

private:
    MMRESULT StopListening() override;

    unsigned index_;
    bool started_ = false;
};
