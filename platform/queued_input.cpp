#include "platform/queued_input.h"

#include "platform/midi_header.h"

#include <string.h>

#include <algorithm>

MMRESULT QueuedInput::Prepare(MIDIHDR* header, UINT size)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return PrepareHeader(header, size);
}

MMRESULT QueuedInput::Unprepare(MIDIHDR* header, UINT size)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return UnprepareHeader(header, size);
}

MMRESULT QueuedInput::AddBuffer(MIDIHDR* header, UINT size)
{
    std::lock_guard<std::mutex> lock(mutex_);
    MMRESULT result = QueueHeader(header, size);
    if (result == MMSYSERR_NOERROR) queue_.push_back(header);
    return result;
}

size_t QueuedInput::QueuedHeaders()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return queue_.size();
}

void QueuedInput::Notify(UINT message, DWORD_PTR param1)
{
    if (callback_ != nullptr) callback_(Handle(), message, instance_, param1, 0);
}

size_t QueuedInput::DeliverMessage(const uint8_t* bytes, size_t size, bool cut)
{
    std::unique_lock<std::mutex> lock(mutex_);
    size_t offset = 0;
    while (offset < size && !queue_.empty()) {
        MIDIHDR* header = queue_.front();
        queue_.pop_front();
        DWORD filled = std::min(header->dwBytesRecorded, header->dwBufferLength);
        size_t length = std::min<size_t>(size - offset, header->dwBufferLength - filled);
        memcpy(header->lpData + filled, bytes + offset, length);
        header->dwBytesRecorded = DWORD(filled + length);
        offset += length;
        HandBack(header, offset == size && cut ? MIM_LONGERROR : MIM_LONGDATA, lock);
    }
    return offset;
}

MMRESULT QueuedInput::Stop()
{
    MMRESULT result = StopListening();
    if (result != MMSYSERR_NOERROR) return result;
    std::unique_lock<std::mutex> lock(mutex_);
    if (queue_.empty() || queue_.front()->dwBytesRecorded == 0) return result;
    MIDIHDR* header = queue_.front();
    queue_.pop_front();
    HandBack(header, MIM_LONGDATA, lock);
    return result;
}

MMRESULT QueuedInput::Reset()
{
    MMRESULT result = StopListening();
    if (result != MMSYSERR_NOERROR) return result;
    std::unique_lock<std::mutex> lock(mutex_);
    std::deque<MIDIHDR*> queued;
    queued.swap(queue_);
    for (MIDIHDR* header : queued) HandBack(header, MIM_LONGDATA, lock);
    return result;
}

void QueuedInput::HandBack(MIDIHDR* header, UINT message, std::unique_lock<std::mutex>& lock)
{
    header->dwFlags = (header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
    lock.unlock();
    Notify(message, (DWORD_PTR)header);
    lock.lock();
}
