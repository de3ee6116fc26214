// An open MIDI output over a page's Web MIDI output. Web MIDI queues what it is given, so a long
// message has left, as far as the program can tell, when the call returns.
#pragma once

#include "platform/midi_ports.h"

class WebOutput : public MidiOutputPort {
public:
    explicit WebOutput(unsigned index) : index_(index) {}
    ~WebOutput() override;

    MMRESULT Send(const uint8_t* bytes, size_t size) override;
    MMRESULT Reset() override { return vanished_ ? MIDIERR_NODEVICE : MMSYSERR_NOERROR; }

private:
    unsigned index_;
    // Once unplugged, the device stays gone for this handle: every later call says so.
    bool vanished_ = false;
};
