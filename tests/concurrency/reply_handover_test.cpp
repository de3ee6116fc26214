// The hand-over of a reply from the MIDI service's callback thread to the polling main thread,
// with both really running at once. The simulated service delivers inside the host's Sleep, which
// orders the two threads for it; here nothing does, so under ThreadSanitizer any access the
// hand-over leaves unsynchronised is reported. Its worth is there, in the sanitizer step's
// ThreadSanitizer run: in a plain build a racy hand-over may still pass, so keep it in that run.
// The one interleaving that a take must survive, a publish between its read and its clear, is
// also driven deterministically, so that a plain build catches a take that mishandles it: this
// test builds the hand-over once more, over a reply word that calls AfterReplyRead whenever it
// is read (seam/midi/reply_word.h).
#include "midi/midi_link.h"
#include "midi/reply_handover.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <utility>
#include <vector>

void (*AfterReplyRead)() = nullptr;

namespace {

// The buffer the service fills; the callback reads it through the header.
uint8_t buffer[RX_BUFFER_SIZE];

// As the service does it: the bytes into the queued buffer, then the callback.
void Receive(MIDIHDR& header, const std::vector<uint8_t>& bytes)
{
    std::copy(bytes.begin(), bytes.end(), buffer);
    header.dwBytesRecorded = DWORD(bytes.size());
    OnMidiInput(nullptr, MIM_LONGDATA, 0, (DWORD_PTR)&header, 0);
}

MIDIHDR InputHeader()
{
    MIDIHDR header{};
    header.lpData = (LPSTR)buffer;
    header.dwBufferLength = RX_BUFFER_SIZE;
    return header;
}

TEST(ReplyHandOver, EachReplyReachesThePollingThreadWhole)
{
    const int replies = 20000;
    std::atomic<int> requests{0};
    std::thread service([&] {
        MIDIHDR header = InputHeader();
        for (int i = 1; i <= replies; ++i) {
            while (requests.load() < i) std::this_thread::yield();
            Receive(header, {0xF0, uint8_t(i % 0x80), 0xF7});
        }
    });

    int mismatches = 0;
    for (int i = 1; i <= replies; ++i) {
        requests.store(i);  // the request goes out
        uint8_t code;
        while (!TakeReply(&code)) std::this_thread::yield();
        mismatches += code != uint8_t(i % 0x80);
    }
    service.join();
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(RxReply, 0u);
}

// A second message lands while the main thread takes the first: the first is taken and the
// second stays for the next wait, or the second has replaced the first and is taken alone. A
// lone byte is never taken and never cleared.
TEST(ReplyHandOver, ASecondMessageDuringTheTakeReplacesTheFirstOrWaits)
{
    const int rounds = 20000;
    std::atomic<int> requests{0}, done{0};
    std::thread service([&] {
        MIDIHDR header = InputHeader();
        for (int i = 1; i <= rounds; ++i) {
            while (requests.load() < i) std::this_thread::yield();
            Receive(header, {0xF0, 0x1A, 0xF7});
            // Every other pair, the second comes just as the main thread has cleared the first.
            if (i / 2 % 2) {
                while (RxReply != 0) std::this_thread::yield();
            }
            i % 2 ? Receive(header, {0xF0, 0x20, 0xF7}) : Receive(header, {0xF0});
            done.store(i);
        }
    });

    int wrong = 0;
    for (int i = 1; i <= rounds; ++i) {
        RxReply = 0;
        requests.store(i);
        while (RxReply == 0) std::this_thread::yield();
        uint8_t first = 0, second = 0;
        bool tookFirst = TakeReply(&first);
        while (done.load() < i) std::this_thread::yield();
        bool tookSecond = TakeReply(&second);
        wrong += i % 2 ? !((tookFirst && first == 0x1A && tookSecond && second == 0x20) ||
                           (tookFirst && first == 0x20 && !tookSecond))
                       : (tookFirst && first != 0x1A) || tookSecond || RxReply != 1u;
    }
    service.join();
    EXPECT_EQ(wrong, 0);
}

// What the callback thread delivers between a take's read and its clear.
MIDIHDR betweenHeader;
std::vector<uint8_t> betweenBytes;

void ReceiveBetween()
{
    if (!betweenBytes.empty()) Receive(betweenHeader, std::exchange(betweenBytes, {}));
}

TEST(ReplyHandOver, APublishBetweenTheTakesReadAndItsClearIsNeitherLostNorTaken)
{
    betweenHeader = InputHeader();
    AfterReplyRead = ReceiveBetween;
    MIDIHDR header = InputHeader();
    uint8_t code = 0;

    // A newer reply replaces the one read: the newer is taken, and nothing is left.
    ResetReplyHandover();
    Receive(header, {0xF0, 0x1A, 0xF7});
    betweenBytes = {0xF0, 0x20, 0xF7};
    EXPECT_TRUE(TakeReply(&code));
    EXPECT_EQ(code, 0x20);
    EXPECT_EQ(RxReply, 0u);

    // A lone byte replaces it: no reply to take, and the lone byte stays until the next message.
    Receive(header, {0xF0, 0x1A, 0xF7});
    betweenBytes = {0xF0};
    EXPECT_FALSE(TakeReply(&code));
    EXPECT_EQ(RxReply, 1u);

    // The same for a reply thrown away.
    Receive(header, {0xF0, 0x1A, 0xF7});
    betweenBytes = {0xF0};
    DiscardReply();
    EXPECT_EQ(RxReply, 1u);
    AfterReplyRead = nullptr;
    ResetReplyHandover();
}

}  // namespace
