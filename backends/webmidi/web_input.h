// An open MIDI input over a page's Web MIDI input: the SysEx messages that arrived while the
// program slept go to its headers.
#pragma once

#include "backends/winmm/midi_input_port.h"

#include <vector>

class WebInput : public MidiInputPort {
public:
    // `handle`: the page's port (WebMidiOpen).
    WebInput(int handle, MidiInCallback callback, DWORD_PTR instance);
    ~WebInput() override;

    // Every input open now, oldest first.
    static const std::vector<WebInput*>& Open();

    MMRESULT Start() override;
    // Hands every message that arrived since the last call to the headers.
    void DeliverArrived();

private:
    MMRESULT StopListening() override;

    int handle_;
    bool started_ = false;
};
