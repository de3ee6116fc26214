#include "backends/alsa/alsa_input.h"

#include <gtest/gtest.h>

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <string>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// The reading end of a pipe stands in for a rawmidi input; closing the writing end unplugs it.
class PipeSource : public InputSource {
public:
    explicit PipeSource(int fd) : fd_(fd) {}
    ~PipeSource() override { close(fd_); }

    std::vector<pollfd> PollDescriptors() override { return {{fd_, POLLIN, 0}}; }

    long Read(uint8_t* buffer, size_t size) override
    {
        ssize_t got = read(fd_, buffer, size);
        if (got == 0) return -ENODEV;
        if (got < 0) return errno == EAGAIN ? 0 : -errno;
        return got;
    }

    void Arm() override
    {
        uint8_t stale[64];
        while (read(fd_, stale, sizeof stale) > 0) {
        }
    }

private:
    int fd_;
};

struct Delivery {
    UINT message;
    MIDIHDR* header;
    Bytes bytes;
    DWORD flags;
    std::thread::id thread;
};

// An open port with a callback that records what it is given and, like the tool, queues a
// returned header again at once when `requeue` is set.
class InputPortTest : public testing::Test {
protected:
    InputPortTest()
    {
        int fds[2];
        if (pipe(fds) != 0) throw std::runtime_error("pipe");
        fcntl(fds[0], F_SETFL, O_NONBLOCK);
        writeFd_ = fds[1];
        port_ = std::make_unique<InputPort>(std::make_unique<PipeSource>(fds[0]), &Callback,
                                            (DWORD_PTR)this);
        for (int i = 0; i < 2; ++i) {
            headers_[i].lpData = buffers_[i];
            headers_[i].dwBufferLength = sizeof buffers_[i];
        }
    }

    ~InputPortTest() override
    {
        port_.reset();
        Unplug();
    }

    static void CALLBACK Callback(HMIDIIN handle, UINT message, DWORD_PTR instance,
                                  DWORD_PTR param1, DWORD_PTR param2)
    {
        auto* test = (InputPortTest*)instance;
        EXPECT_EQ(handle, test->port_->Handle());
        EXPECT_EQ(param2, 0u);
        // Short messages and real-time bytes are the shared routine's to test.
        if (message == MIM_DATA) return;
        auto* header = (MIDIHDR*)param1;
        Delivery delivery{message, header, {}, 0, std::this_thread::get_id()};
        if (header != nullptr) {
            delivery.bytes.assign(header->lpData, header->lpData + header->dwBytesRecorded);
            delivery.flags = header->dwFlags;
        }
        if (header != nullptr && test->requeue) {
            test->port_->Unprepare(header, sizeof *header);
            test->port_->Prepare(header, sizeof *header);
            test->port_->AddBuffer(header, sizeof *header);
        }
        std::lock_guard<std::mutex> lock(test->mutex_);
        test->deliveries_.push_back(delivery);
        test->delivered_.notify_all();
    }

    void Queue(MIDIHDR& header)
    {
        ASSERT_EQ(port_->Prepare(&header, sizeof header), MMSYSERR_NOERROR);
        ASSERT_EQ(port_->AddBuffer(&header, sizeof header), MMSYSERR_NOERROR);
    }

    void Send(const Bytes& bytes)
    {
        ASSERT_EQ(write(writeFd_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }

    void Unplug()
    {
        if (writeFd_ >= 0) close(writeFd_);
        writeFd_ = -1;
    }

    // Waits (without a deadline that matters) until `count` deliveries have come.
    std::vector<Delivery> WaitFor(size_t count)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        delivered_.wait_for(lock, std::chrono::seconds(20),
                            [&] { return deliveries_.size() >= count; });
        return deliveries_;
    }

    std::vector<Delivery> Deliveries()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return deliveries_;
    }

    std::unique_ptr<InputPort> port_;
    MIDIHDR headers_[2] = {};
    char buffers_[2][200] = {};
    std::atomic<bool> requeue{false};

private:
    int writeFd_ = -1;
    std::mutex mutex_;
    std::condition_variable delivered_;
    std::vector<Delivery> deliveries_;
};

TEST_F(InputPortTest, HandsEachMessageBackOnTheReaderThreadAndTakesTheHeaderAgain)
{
    requeue = true;
    Queue(headers_[0]);
    ASSERT_EQ(port_->Start(), MMSYSERR_NOERROR);
    Send({0xF0, 0x1A});
    Send({0xF7, 0xF0, 0x20, 0xF7});
    std::vector<Delivery> got = WaitFor(2);
    ASSERT_EQ(got.size(), 2u);
    for (const Delivery& delivery : got) {
        EXPECT_EQ(delivery.message, UINT(MIM_LONGDATA));
        EXPECT_EQ(delivery.header, &headers_[0]);
        EXPECT_EQ(delivery.flags & (MHDR_DONE | MHDR_INQUEUE), DWORD(MHDR_DONE));
        EXPECT_NE(delivery.thread, std::this_thread::get_id());
    }
    EXPECT_EQ(got[0].bytes, (Bytes{0xF0, 0x1A, 0xF7}));
    EXPECT_EQ(got[1].bytes, (Bytes{0xF0, 0x20, 0xF7}));
    EXPECT_GT(port_->QueuedHeaders(), 0u);

    // Reset gives the queued header back before it returns; with no new queueing it stays out.
    requeue = false;
    ASSERT_EQ(port_->Reset(), MMSYSERR_NOERROR);
    got = Deliveries();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[2].message, UINT(MIM_LONGDATA));
    EXPECT_EQ(got[2].header, &headers_[0]);
    EXPECT_TRUE(got[2].bytes.empty());
    EXPECT_EQ(got[2].flags & (MHDR_DONE | MHDR_INQUEUE), DWORD(MHDR_DONE));
    EXPECT_EQ(port_->QueuedHeaders(), 0u);
    EXPECT_EQ(port_->Unprepare(&headers_[0], sizeof(MIDIHDR)), MMSYSERR_NOERROR);
}

TEST_F(InputPortTest, LosesNoMessageOfAStreamWhileTheCallerUsesThePortMeanwhile)
{
    requeue = true;
    Queue(headers_[0]);
    ASSERT_EQ(port_->Start(), MMSYSERR_NOERROR);
    const int count = 500;
    Bytes stream;
    for (int i = 0; i < count; ++i) {
        stream.insert(stream.end(), {0xF0, uint8_t(i >> 7), uint8_t(i & 0x7F), 0xF8, 0xF7});
    }
    std::thread device([&] {
        for (size_t at = 0; at < stream.size(); at += 3) {
            Send(Bytes(stream.begin() + at, stream.begin() + std::min(at + 3, stream.size())));
        }
    });
    while (Deliveries().size() < count && port_->QueuedHeaders() > 0) {
    }
    device.join();
    std::vector<Delivery> got = WaitFor(count);
    ASSERT_EQ(got.size(), size_t(count));
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(got[i].bytes, (Bytes{0xF0, uint8_t(i >> 7), uint8_t(i & 0x7F), 0xF7})) << i;
    }
}

TEST_F(InputPortTest, StopHandsBackAPartlyFilledHeaderAndIgnoresWhatCameBeforeStart)
{
    Queue(headers_[0]);
    Queue(headers_[1]);
    Send({0xF0, 0x66, 0xF7});  // before Start: must not be delivered
    ASSERT_EQ(port_->Start(), MMSYSERR_NOERROR);
    // One write, so one read: when the first message is handed back, the reader is still at
    // the unfinished one, and the stop waits for it.
    Send({0xF0, 0x1A, 0xF7, 0xF0, 0x01, 0x02});
    WaitFor(1);
    ASSERT_EQ(port_->Stop(), MMSYSERR_NOERROR);
    std::vector<Delivery> got = Deliveries();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].bytes, (Bytes{0xF0, 0x1A, 0xF7}));
    EXPECT_EQ(got[1].header, &headers_[1]);
    EXPECT_EQ(got[1].bytes, (Bytes{0xF0, 0x01, 0x02}));
    EXPECT_EQ(port_->QueuedHeaders(), 0u);
    // An empty header stays queued.
    Queue(headers_[0]);
    ASSERT_EQ(port_->Stop(), MMSYSERR_NOERROR);
    EXPECT_EQ(Deliveries().size(), 2u);
    EXPECT_EQ(port_->QueuedHeaders(), 1u);
    EXPECT_EQ(port_->Reset(), MMSYSERR_NOERROR);
}

TEST_F(InputPortTest, AnUnpluggedDeviceCannotBeStartedAgain)
{
    Queue(headers_[0]);
    ASSERT_EQ(port_->Start(), MMSYSERR_NOERROR);
    Unplug();
    MMRESULT result = MMSYSERR_NOERROR;
    for (int i = 0; i < 20000 && result == MMSYSERR_NOERROR; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        result = port_->Start();
    }
    EXPECT_EQ(result, MIDIERR_NODEVICE);
    // Taking the header back still works, so the port can be closed.
    EXPECT_EQ(port_->Reset(), MMSYSERR_NOERROR);
    EXPECT_EQ(port_->QueuedHeaders(), 0u);
}

}  // namespace
