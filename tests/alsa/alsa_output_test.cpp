#include "backends/alsa/alsa_output.h"

#include <gtest/gtest.h>

#include <errno.h>

#include <deque>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Takes at most `chunk` bytes per write, records what it was asked to do, and fails when the
// next scripted result says so.
struct Device {
    size_t chunk = 1000;
    std::deque<long> writeFailures;  // used up one per write, 0 meaning no failure
    std::deque<int> drainResults;
    Bytes written;
    std::vector<std::string> calls;
};

class FakeSink : public OutputSink {
public:
    explicit FakeSink(Device& device) : device_(device) {}

    long Write(const uint8_t* bytes, size_t size) override
    {
        device_.calls.push_back("write");
        long failure = Next(device_.writeFailures, 0L);
        if (failure != 0) return failure;
        size_t taken = std::min(size, device_.chunk);
        device_.written.insert(device_.written.end(), bytes, bytes + taken);
        return long(taken);
    }

    int Drain() override
    {
        device_.calls.push_back("drain");
        return Next(device_.drainResults, 0);
    }

private:
    template <typename T>
    static T Next(std::deque<T>& script, T otherwise)
    {
        if (script.empty()) return otherwise;
        T next = script.front();
        script.pop_front();
        return next;
    }

    Device& device_;
};

const Bytes FRAME = {0xF0, 0x35, 0x62, 0x0E, 0x71, 0x48, 0x13, 0x59, 0xF7};

TEST(OutputPort, WritesTheWholeFrameAndDrainsItBeforeReturning)
{
    Device device;
    device.chunk = 4;
    device.writeFailures = {0, -EINTR, 0};
    device.drainResults = {-EINTR, 0};
    OutputPort port(std::make_unique<FakeSink>(device));
    ASSERT_EQ(port.Send(FRAME.data(), FRAME.size()), MMSYSERR_NOERROR);
    EXPECT_EQ(device.written, FRAME);
    EXPECT_EQ(device.calls, (std::vector<std::string>{"write", "write", "write", "write", "drain",
                                                      "drain"}));
}

TEST(OutputPort, AnUnpluggedDeviceFailsThisSendAndEveryLaterCall)
{
    for (bool failInDrain : {false, true}) {
        for (int error : {-ENODEV, -EIO}) {
            Device device;
            if (failInDrain) device.drainResults = {error};
            else device.writeFailures = {error};
            OutputPort port(std::make_unique<FakeSink>(device));
            EXPECT_EQ(port.Send(FRAME.data(), FRAME.size()), MIDIERR_NODEVICE);
            device.calls.clear();
            EXPECT_EQ(port.Send(FRAME.data(), FRAME.size()), MIDIERR_NODEVICE);
            EXPECT_EQ(port.Reset(), MIDIERR_NODEVICE);
            EXPECT_TRUE(device.calls.empty());
        }
    }
}

TEST(OutputPort, OtherFailuresAreReportedButDoNotCondemnThePort)
{
    Device device;
    device.writeFailures = {-EINVAL};
    OutputPort port(std::make_unique<FakeSink>(device));
    EXPECT_EQ(port.Send(FRAME.data(), FRAME.size()), MMSYSERR_ERROR);
    EXPECT_EQ(port.Reset(), MMSYSERR_NOERROR);
    EXPECT_EQ(port.Send(FRAME.data(), FRAME.size()), MMSYSERR_NOERROR);
    EXPECT_EQ(device.written, FRAME);
}

}  // namespace
