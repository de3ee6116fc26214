// An open MIDI input: the reader thread that hands the device's bytes to the input's headers, and
// so calls the callback.
#pragma once

#include "backends/alsa/input_source.h"
#include "backends/winmm/midi_input_port.h"

#include <atomic>
#include <memory>
#include <thread>

class InputPort : public MidiInputPort {
public:
    InputPort(std::unique_ptr<InputSource> source, MidiInCallback callback, DWORD_PTR instance);
    ~InputPort() override;
    InputPort(const InputPort&) = delete;
    InputPort& operator=(const InputPort&) = delete;

    MMRESULT Start() override;

private:
    MMRESULT StopListening() override;
    void StopReader();
    void ReadLoop();

    std::unique_ptr<InputSource> source_;
    int wakeFd_;
    std::thread reader_;
    std::atomic<bool> vanished_{false};
};
