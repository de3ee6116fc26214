// An open MIDI input: its queue of headers and the reader thread that fills them and calls the
// callback, with the header rules of the Windows service.
#pragma once

#include "platform/alsa/input_source.h"
#include "platform/alsa/sysex_assembler.h"
#include "platform/midi_ports.h"

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

class InputPort : public MidiInputPort {
public:
    InputPort(std::unique_ptr<InputSource> source, MidiInCallback callback, DWORD_PTR instance);
    ~InputPort() override;
    InputPort(const InputPort&) = delete;
    InputPort& operator=(const InputPort&) = delete;

    MMRESULT Prepare(MIDIHDR* header, UINT size) override;
    MMRESULT Unprepare(MIDIHDR* header, UINT size) override;
    MMRESULT AddBuffer(MIDIHDR* header, UINT size) override;
    MMRESULT Start() override;
    MMRESULT Stop() override;
    MMRESULT Reset() override;
    bool HasQueuedHeaders() override;
    void Notify(UINT message, DWORD_PTR param1) override;

private:
    void StopReader();
    void ReadLoop();
    void Deliver(const uint8_t* bytes, size_t size);
    // Marks a header taken off the queue as done and gives it to the callback with `message`,
    // without the lock.
    void HandBack(MIDIHDR* header, UINT message, std::unique_lock<std::mutex>& lock);

    std::unique_ptr<InputSource> source_;
    MidiInCallback callback_;
    DWORD_PTR instance_;
    int wakeFd_;
    std::thread reader_;
    std::atomic<bool> vanished_{false};
    std::mutex mutex_;  // guards the queue, the headers in it and the assembly
    std::deque<MIDIHDR*> queue_;
    SysexAssembly assembly_;
};
