// An open MIDI input of any backend: its queue of headers with the header rules of the Windows
// service, and the one road by which received bytes reach those headers. A backend only says
// where its bytes come from: it starts and stops its source and hands every byte it reads, in
// pieces of any size, to Receive.
#pragma once

#include "backends/winmm/midi_byte_decoder.h"
#include "platform/winmm.h"

#include <stddef.h>
#include <stdint.h>

#include <deque>
#include <mutex>

using MidiInCallback = void(CALLBACK*)(HMIDIIN, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR);

class MidiInputPort {
public:
    MidiInputPort(MidiInCallback callback, DWORD_PTR instance) : callback_(callback), instance_(instance) {}
    virtual ~MidiInputPort() = default;
    MidiInputPort(const MidiInputPort&) = delete;
    MidiInputPort& operator=(const MidiInputPort&) = delete;

    HMIDIIN Handle() { return reinterpret_cast<HMIDIIN>(this); }

    virtual MMRESULT Prepare(MIDIHDR* header, UINT size);
    virtual MMRESULT Unprepare(MIDIHDR* header, UINT size);
    virtual MMRESULT AddBuffer(MIDIHDR* header, UINT size);
    virtual MMRESULT Start() = 0;
    // midiInStop: the first header comes back if it holds part of a message; empty ones stay.
    MMRESULT Stop();
    // midiInReset: every queued header comes back.
    MMRESULT Reset();
    size_t QueuedHeaders();
    // Calls the program back, as Windows does, on the backend's own thread.
    virtual void Notify(UINT message, DWORD_PTR param1);

protected:
    // Reads `bytes` as a MIDI byte stream: each SysEx is laid into the queued headers from the
    // first one's dwBytesRecorded on, each header handed back as it is done (the message ended,
    // or the header full: the message goes on in the next one), MIM_LONGERROR for a message that
    // a status byte cut short; short messages come as MIM_DATA. As the Windows service does, a
    // message that finds no header queued, at its start or part-way, is dropped from there to its
    // end. Returns how many SysEx bytes were dropped so.
    size_t Receive(const uint8_t* bytes, size_t size);
    // Ends the SysEx being received where it is: the header holding part of it comes back with
    // `message`, and what follows starts afresh.
    void EndMessage(UINT message);
    // Stop and Reset first stop the backend's source from receiving.
    virtual MMRESULT StopListening() = 0;

private:
    // Marks a header taken off the queue done and gives it to the callback as `message`, without
    // the lock: the callback queues headers again through this port.
    void HandBack(MIDIHDR* header, UINT message, std::unique_lock<std::mutex>& lock);
    void HandBackFirst(UINT message, std::unique_lock<std::mutex>& lock);
    // Appends one byte of a SysEx; true when that completes the first header.
    bool Record(uint8_t byte, size_t& dropped);

    MidiInCallback callback_;
    DWORD_PTR instance_;
    std::mutex mutex_;  // guards everything below and the headers in the queue
    std::deque<MIDIHDR*> queue_;
    MidiStreamState stream_;
    bool dropping_ = false;  // part of the current SysEx found no header: the rest goes too
};
