#include "backends/winmm/midi_input_port.h"

#include "backends/winmm/midi_header.h"

namespace {

const uint8_t SYSEX_END = 0xF7;

}  // namespace

MMRESULT MidiInputPort::Prepare(MIDIHDR* header, UINT size)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return PrepareHeader(header, size);
}

MMRESULT MidiInputPort::Unprepare(MIDIHDR* header, UINT size)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return UnprepareHeader(header, size);
}

MMRESULT MidiInputPort::AddBuffer(MIDIHDR* header, UINT size)
{
    std::lock_guard<std::mutex> lock(mutex_);
    MMRESULT result = QueueHeader(header, size);
    if (result == MMSYSERR_NOERROR) queue_.push_back(header);
    return result;
}

size_t MidiInputPort::QueuedHeaders()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return queue_.size();
}

void MidiInputPort::Notify(UINT message, DWORD_PTR param1)
{
    if (callback_ != nullptr) callback_(Handle(), message, instance_, param1, 0);
}

bool MidiInputPort::Record(uint8_t byte, size_t& dropped)
{
    if (!dropping_ && queue_.empty()) dropping_ = true;
    if (dropping_) {
        ++dropped;
        return false;
    }
    MIDIHDR* header = queue_.front();
    header->lpData[header->dwBytesRecorded++] = (char)byte;
    return byte == SYSEX_END || header->dwBytesRecorded >= header->dwBufferLength;
}

size_t MidiInputPort::Receive(const uint8_t* bytes, size_t size)
{
    std::unique_lock<std::mutex> lock(mutex_);
    size_t dropped = 0;
    for (size_t i = 0; i < size;) {
        MidiByte decoded = DecodeMidiByte(stream_, bytes[i]);
        if (decoded.kind == MidiByteKind::SysexCut) {
            // The byte that cut it is read again, as the start of the next message.
            bool holdsPart = !dropping_ && !queue_.empty() && queue_.front()->dwBytesRecorded > 0;
            dropping_ = false;
            if (holdsPart) HandBackFirst(MIM_LONGERROR, lock);
            continue;
        }
        uint8_t byte = bytes[i++];
        if (decoded.kind == MidiByteKind::Short) {
            lock.unlock();
            Notify(MIM_DATA, decoded.packed);
            lock.lock();
        }
        if (decoded.kind != MidiByteKind::Sysex) continue;
        bool done = Record(byte, dropped);
        if (byte == SYSEX_END) dropping_ = false;
        if (done) HandBackFirst(MIM_LONGDATA, lock);
    }
    return dropped;
}

void MidiInputPort::EndMessage(UINT message)
{
    std::unique_lock<std::mutex> lock(mutex_);
    stream_ = MidiStreamState();
    dropping_ = false;
    if (!queue_.empty() && queue_.front()->dwBytesRecorded > 0) HandBackFirst(message, lock);
}

MMRESULT MidiInputPort::Stop()
{
    MMRESULT result = StopListening();
    if (result == MMSYSERR_NOERROR) EndMessage(MIM_LONGDATA);
    return result;
}

MMRESULT MidiInputPort::Reset()
{
    MMRESULT result = StopListening();
    if (result != MMSYSERR_NOERROR) return result;
    std::unique_lock<std::mutex> lock(mutex_);
    stream_ = MidiStreamState();
    dropping_ = false;
    // Only the headers queued now: the callback may queue them again.
    std::deque<MIDIHDR*> queued;
    queued.swap(queue_);
    for (MIDIHDR* header : queued) HandBack(header, MIM_LONGDATA, lock);
    return result;
}

void MidiInputPort::HandBackFirst(UINT message, std::unique_lock<std::mutex>& lock)
{
    MIDIHDR* header = queue_.front();
    queue_.pop_front();
    HandBack(header, message, lock);
}

void MidiInputPort::HandBack(MIDIHDR* header, UINT message, std::unique_lock<std::mutex>& lock)
{
    header->dwFlags = (header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
    lock.unlock();
    Notify(message, (DWORD_PTR)header);
    lock.lock();
}
