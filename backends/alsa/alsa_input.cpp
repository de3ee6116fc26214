#include "backends/alsa/alsa_input.h"

#include <errno.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <system_error>

InputPort::InputPort(std::unique_ptr<InputSource> source, MidiInCallback callback,
                     DWORD_PTR instance)
    : MidiInputPort(callback, instance),
      source_(std::move(source)),
      wakeFd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
}

InputPort::~InputPort()
{
    StopReader();
    if (wakeFd_ >= 0) close(wakeFd_);
}

MMRESULT InputPort::Start()
{
    if (vanished_) return MIDIERR_NODEVICE;
    if (reader_.joinable()) return MMSYSERR_NOERROR;
    if (wakeFd_ < 0) return MMSYSERR_NOMEM;
    // Armed here rather than by the reader's first poll: a request sent right after this call
    // must find the input listening.
    source_->Arm();
    try {
        reader_ = std::thread(&InputPort::ReadLoop, this);
    } catch (const std::system_error&) {
        return MMSYSERR_NOMEM;
    }
    return MMSYSERR_NOERROR;
}

MMRESULT InputPort::StopListening()
{
    StopReader();
    return MMSYSERR_NOERROR;
}

void InputPort::StopReader()
{
    if (!reader_.joinable()) return;
    eventfd_write(wakeFd_, 1);
    reader_.join();
    eventfd_t ignored;
    eventfd_read(wakeFd_, &ignored);
}

void InputPort::ReadLoop()
{
    std::vector<pollfd> fds = source_->PollDescriptors();
    size_t wake = fds.size();
    fds.push_back({wakeFd_, POLLIN, 0});
    uint8_t buffer[256];
    for (;;) {
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[wake].revents != 0) return;
        bool broken = false;
        for (size_t i = 0; i < wake; ++i) {
            if (fds[i].revents & (POLLERR | POLLHUP | POLLNVAL)) broken = true;
        }
        long got;
        // Streamed as read: an endless SysEx never grows anything here.
        while ((got = source_->Read(buffer, sizeof buffer)) > 0) Receive(buffer, size_t(got));
        if (got < 0 || broken) break;
    }
    vanished_ = true;
}
