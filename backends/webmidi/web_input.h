// An open MIDI input over a page's Web MIDI input: the SysEx messages that arrived while the
// program slept go to its headers.
#pragma once

#include "backends/winmm/midi_input_port.h"

#include <vector>

class WebInput : public MidiInputPort {
public:
    WebInput(unsigned index, MidiInCallback callback, DWORD_PTR instance);
    ~WebInput() override;

    // Every input open now, oldest first.
    static const std::vector<WebInput*>& Open();

    unsigned Index() const { return index_; }

    MMRESULT Start() override;
    // Hands every message that arrived since the last call to the headers.
    void DeliverArrived();

private:
    MMRESULT StopListening() override;

    unsigned index_;
    bool started_ = false;
};
