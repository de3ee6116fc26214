// An open MIDI output over a page's Web MIDI output. Web MIDI queues what it is given, so a long
// message has left, as far as the program can tell, when the call returns.
#pragma once

#include "platform/winmm.h"

class WebOutput {
public:
    explicit WebOutput(unsigned index) : index_(index) {}

    HMIDIOUT Handle() { return reinterpret_cast<HMIDIOUT>(this); }
    unsigned Index() const { return index_; }

    MMRESULT LongMsg(MIDIHDR* header, UINT size);
    MMRESULT Reset() const { return vanished_ ? MIDIERR_NODEVICE : MMSYSERR_NOERROR; }

private:
    unsigned index_;
    // Once unplugged, the device stays gone for this handle: every later call says so.
    bool vanished_ = false;
};
