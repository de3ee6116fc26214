#include "backends/alsa/alsa_output.h"

#include "backends/alsa/alsa_result.h"

#include <errno.h>

OutputPort::OutputPort(std::unique_ptr<OutputSink> sink) : sink_(std::move(sink))
{
}

MMRESULT OutputPort::Reset()
{
    // Nothing is ever pending: every message has left before LongMsg returns.
    return vanished_ ? MIDIERR_NODEVICE : MMSYSERR_NOERROR;
}

MMRESULT OutputPort::Send(const uint8_t* bytes, size_t size)
{
    if (vanished_) return MIDIERR_NODEVICE;
    size_t sent = 0;
    while (sent < size) {
        long written = sink_->Write(bytes + sent, size - sent);
        if (written == -EINTR) continue;
        if (written <= 0) return Failed(written);
        sent += size_t(written);
    }
    int drained;
    while ((drained = sink_->Drain()) == -EINTR) {
    }
    return drained < 0 ? Failed(drained) : MMSYSERR_NOERROR;
}

MMRESULT OutputPort::Failed(long error)
{
    if (MeansDeviceGone(error)) vanished_ = true;
    return ResultOfAlsaError(error);
}
