#include "backends/alsa/rawmidi_stream.h"

#include "backends/alsa/alsa_result.h"
#include "backends/alsa/quiet_alsa.h"

#include <alsa/asoundlib.h>
#include <errno.h>

namespace {

class RawmidiInput : public InputSource {
public:
    explicit RawmidiInput(snd_rawmidi_t* handle) : handle_(handle) {}
    ~RawmidiInput() override { snd_rawmidi_close(handle_); }

    std::vector<pollfd> PollDescriptors() override
    {
        std::vector<pollfd> fds(snd_rawmidi_poll_descriptors_count(handle_));
        snd_rawmidi_poll_descriptors(handle_, fds.data(), fds.size());
        return fds;
    }

    long Read(uint8_t* buffer, size_t size) override
    {
        long got = snd_rawmidi_read(handle_, buffer, size);
        return got == -EAGAIN || got == -EINTR ? 0 : got;
    }

    void Arm() override
    {
        // Draining an input discards what it holds and stops delivery; a device (the virtual
        // MIDI driver among them) delivers again only once its input has been polled or read.
        snd_rawmidi_drain(handle_);
        std::vector<pollfd> fds = PollDescriptors();
        poll(fds.data(), fds.size(), 0);
    }

private:
    snd_rawmidi_t* handle_;
};

class RawmidiOutput : public OutputSink {
public:
    explicit RawmidiOutput(snd_rawmidi_t* handle) : handle_(handle) {}
    ~RawmidiOutput() override { snd_rawmidi_close(handle_); }

    long Write(const uint8_t* bytes, size_t size) override
    {
        return snd_rawmidi_write(handle_, bytes, size);
    }

    int Drain() override { return snd_rawmidi_drain(handle_); }

private:
    snd_rawmidi_t* handle_;
};

}  // namespace

MMRESULT OpenRawmidiInput(const std::string& address, std::unique_ptr<InputSource>& source)
{
    QuietAlsa();
    snd_rawmidi_t* handle = nullptr;
    int error = snd_rawmidi_open(&handle, nullptr, address.c_str(), SND_RAWMIDI_NONBLOCK);
    if (error < 0) return ResultOfAlsaError(error);
    source = std::make_unique<RawmidiInput>(handle);
    return MMSYSERR_NOERROR;
}

MMRESULT OpenRawmidiOutput(const std::string& address, std::unique_ptr<OutputSink>& sink)
{
    QuietAlsa();
    snd_rawmidi_t* handle = nullptr;
    // Opened non-blocking so that a port in use is refused rather than waited for; writes then
    // block, so that a message has been handed over whole when Write returns.
    int error = snd_rawmidi_open(nullptr, &handle, address.c_str(), SND_RAWMIDI_NONBLOCK);
    if (error < 0) return ResultOfAlsaError(error);
    error = snd_rawmidi_nonblock(handle, 0);
    if (error < 0) {
        snd_rawmidi_close(handle);
        return ResultOfAlsaError(error);
    }
    sink = std::make_unique<RawmidiOutput>(handle);
    return MMSYSERR_NOERROR;
}
