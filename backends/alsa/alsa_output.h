// An open MIDI output: each long message is written whole and has left when the call returns.
#pragma once

#include "backends/winmm/midi_ports.h"

#include <stddef.h>
#include <stdint.h>

#include <memory>

// Where an output port's bytes go: a rawmidi device (or, in tests, a stand-in).
class OutputSink {
public:
    virtual ~OutputSink() = default;
    // The bytes written (blocking until some are), or a negative errno value.
    virtual long Write(const uint8_t* bytes, size_t size) = 0;
    // Waits until everything written has left; 0 or a negative errno value.
    virtual int Drain() = 0;
};

class OutputPort : public MidiOutputPort {
public:
    explicit OutputPort(std::unique_ptr<OutputSink> sink);

    MMRESULT Send(const uint8_t* bytes, size_t size) override;
    MMRESULT Reset() override;

private:
    MMRESULT Failed(long error);

    std::unique_ptr<OutputSink> sink_;
    // Once unplugged, the device stays gone for this handle: every later call says so.
    bool vanished_ = false;
};
