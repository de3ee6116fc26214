// An open MIDI input's queue of headers, with the header rules of the Windows service: what the
// inputs of every backend share. The backend fills the headers from its source; a header handed
// back is done and goes to the callback.
#pragma once

#include "platform/midi_ports.h"

#include <stddef.h>
#include <stdint.h>

#include <deque>
#include <mutex>

class QueuedInput : public MidiInputPort {
public:
    QueuedInput(MidiInCallback callback, DWORD_PTR instance) : callback_(callback), instance_(instance) {}

    MMRESULT Prepare(MIDIHDR* header, UINT size) override;
    MMRESULT Unprepare(MIDIHDR* header, UINT size) override;
    MMRESULT AddBuffer(MIDIHDR* header, UINT size) override;
    // midiInStop: the first header comes back if it holds part of a message; empty ones stay.
    MMRESULT Stop() override;
    // midiInReset: every queued header comes back.
    MMRESULT Reset() override;
    size_t QueuedHeaders() override;
    void Notify(UINT message, DWORD_PTR param1) override;

    // Lays one SysEx into the queued headers, from the first one's dwBytesRecorded on, and hands
    // each back as it is done: a message longer than a header goes on in the next one, and only
    // the last part of a message cut short comes back with MIM_LONGERROR. What finds no header is
    // lost. Returns how many bytes found one.
    size_t DeliverMessage(const uint8_t* bytes, size_t size, bool cut);

protected:
    // Stop and Reset first stop the backend's source from filling headers.
    virtual MMRESULT StopListening() = 0;
    // Marks a header taken off the queue done and gives it to the callback without the lock: the
    // callback queues headers again through this port.
    void HandBack(MIDIHDR* header, UINT message, std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;  // guards the queue and the headers in it
    std::deque<MIDIHDR*> queue_;

private:
    MidiInCallback callback_;
    DWORD_PTR instance_;
};
