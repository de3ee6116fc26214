// An open MIDI input: the reader thread that fills its queued headers from the device's bytes and
// calls the callback.
#pragma once

#include "platform/alsa/input_source.h"
#include "platform/alsa/sysex_assembler.h"
#include "platform/queued_input.h"

#include <atomic>
#include <memory>
#include <thread>

class InputPort : public QueuedInput {
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
    void Deliver(const uint8_t* bytes, size_t size);

    std::unique_ptr<InputSource> source_;
    int wakeFd_;
    std::thread reader_;
    std::atomic<bool> vanished_{false};
    SysexAssembly assembly_;  // guarded by the queue's lock
};
