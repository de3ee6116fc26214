// An open MIDI output over a page's Web MIDI output. Web MIDI queues what it is given, each frame
// with the time it is to leave, so a long message has left, as far as the program can tell, when
// the call returns; a reset takes back what is still to leave, as Windows' does.
#pragma once

#include "backends/winmm/midi_ports.h"

class WebOutput : public MidiOutputPort {
public:
    // `handle`: the page's port (WebMidiOpen).
    explicit WebOutput(int handle) : handle_(handle) {}
    ~WebOutput() override;

    MMRESULT Send(const uint8_t* bytes, size_t size) override;
    MMRESULT Reset() override;

private:
    int handle_;
    // Once unplugged, the device stays gone for this handle: every later call says so.
    bool vanished_ = false;
};
