#include "platform/alsa/sysex_assembler.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Feeds chunks as the reader thread does: a header of `capacity` bytes is queued again as soon
// as it is handed back, unless `headerQueued` is false.
class Assembler {
public:
    explicit Assembler(DWORD capacity) : buffer_(capacity)
    {
        header_.lpData = (char*)buffer_.data();
        header_.dwBufferLength = capacity;
    }

    // The headers handed back while feeding `chunk`, each as the bytes it recorded; how each
    // went back is added to `handBacks`.
    std::vector<Bytes> Feed(const Bytes& chunk)
    {
        std::vector<Bytes> handedBack;
        size_t at = 0;
        while (at < chunk.size()) {
            MIDIHDR* header = headerQueued ? &header_ : nullptr;
            SysexFeed feed = FeedSysex(assembly_, chunk.data() + at, chunk.size() - at, header);
            at += feed.consumed;
            if (feed.handBack != 0) {
                handBacks.push_back(feed.handBack);
                handedBack.emplace_back(buffer_.begin(), buffer_.begin() + header_.dwBytesRecorded);
                header_.dwBytesRecorded = 0;
            }
        }
        return handedBack;
    }

    bool headerQueued = true;
    std::vector<UINT> handBacks;

private:
    Bytes buffer_;
    MIDIHDR header_{};
    SysexAssembly assembly_;
};

using Messages = std::vector<Bytes>;

TEST(FeedSysex, AssemblesMessagesHoweverTheReadsCutThem)
{
    Assembler assembler(200);
    EXPECT_EQ(assembler.Feed({0xF0, 0x1A}), Messages{});
    EXPECT_EQ(assembler.Feed({0x01}), Messages{});
    EXPECT_EQ(assembler.Feed({0x02, 0xF7, 0xF0}), (Messages{{0xF0, 0x1A, 0x01, 0x02, 0xF7}}));
    EXPECT_EQ(assembler.Feed({0x20, 0xF7, 0xF0, 0x77, 0xF7}),
              (Messages{{0xF0, 0x20, 0xF7}, {0xF0, 0x77, 0xF7}}));

    Messages oneByOne;
    for (uint8_t byte : Bytes{0xF0, 0x34, 0x00, 0xF7}) {
        for (const Bytes& message : assembler.Feed({byte})) oneByOne.push_back(message);
    }
    EXPECT_EQ(oneByOne, (Messages{{0xF0, 0x34, 0x00, 0xF7}}));
}

TEST(FeedSysex, SkipsRealTimeBytesAndIgnoresEverythingOutsideAMessage)
{
    Assembler assembler(200);
    // Clock, start, active sensing inside a message; a note, a stray end and data bytes outside.
    EXPECT_EQ(assembler.Feed({0x90, 0x40, 0x7F, 0xF7, 0x05, 0xF8, 0xF0, 0xF8, 0x1A, 0xFA, 0xFE,
                              0xF7, 0xF8, 0x80, 0x40, 0x00}),
              (Messages{{0xF0, 0x1A, 0xF7}}));
    // A single-byte reply is still a message of its own; an empty one too.
    EXPECT_EQ(assembler.Feed({0xF0, 0xF7, 0xF0, 0x1A, 0xF7}),
              (Messages{{0xF0, 0xF7}, {0xF0, 0x1A, 0xF7}}));
}

TEST(FeedSysex, ContinuesAnOverlongMessageInTheNextHeader)
{
    Assembler assembler(4);
    EXPECT_EQ(assembler.Feed({0xF0, 1, 2, 3, 4, 5, 6, 7, 0xF8, 8, 0xF7}),
              (Messages{{0xF0, 1, 2, 3}, {4, 5, 6, 7}, {8, 0xF7}}));
    // A message that fills the header exactly ends there: the next one starts afresh.
    EXPECT_EQ(assembler.Feed({0xF0, 1, 2, 0xF7, 0xF0, 0x1A, 0xF7}),
              (Messages{{0xF0, 1, 2, 0xF7}, {0xF0, 0x1A, 0xF7}}));
}

TEST(FeedSysex, HandsBackAMessageCutShortByAnotherStatusByteAsALongError)
{
    const UINT data = MIM_LONGDATA, error = MIM_LONGERROR;
    Assembler assembler(200);
    EXPECT_EQ(assembler.Feed({0xF0, 0x01, 0x02, 0xF0, 0x1A, 0xF7}),
              (Messages{{0xF0, 0x01, 0x02}, {0xF0, 0x1A, 0xF7}}));
    // A channel message ends the SysEx: its data bytes and the late end byte are not a message.
    EXPECT_EQ(assembler.Feed({0xF0, 0x01, 0x90, 0x40, 0x7F, 0xF7}), (Messages{{0xF0, 0x01}}));
    EXPECT_EQ(assembler.Feed({0xF0, 0x20, 0xF7}), (Messages{{0xF0, 0x20, 0xF7}}));
    EXPECT_EQ(assembler.handBacks, (std::vector<UINT>{error, data, error, data}));

    // Cut short in its second header: the first went back full, the second with what it holds.
    Assembler small(3);
    EXPECT_EQ(small.Feed({0xF0, 1, 2, 3, 0xF0, 0x1A, 0xF7}),
              (Messages{{0xF0, 1, 2}, {3}, {0xF0, 0x1A, 0xF7}}));
    EXPECT_EQ(small.handBacks, (std::vector<UINT>{data, error, data}));
}

TEST(FeedSysex, DropsAWholeMessageWhenNoHeaderWasQueuedForPartOfIt)
{
    Assembler assembler(200);
    assembler.headerQueued = false;
    EXPECT_EQ(assembler.Feed({0xF0, 0x1A}), Messages{});
    assembler.headerQueued = true;
    // The rest of that message must not pass for a message of its own.
    EXPECT_EQ(assembler.Feed({0x05, 0x06, 0xF7}), Messages{});
    EXPECT_EQ(assembler.Feed({0xF0, 0x20, 0xF7}), (Messages{{0xF0, 0x20, 0xF7}}));

    // A message being dropped and then cut short: the message that cuts it is whole and kept.
    assembler.headerQueued = false;
    EXPECT_EQ(assembler.Feed({0xF0, 0x1A}), Messages{});
    assembler.headerQueued = true;
    EXPECT_EQ(assembler.Feed({0xF0, 0x77, 0xF7}), (Messages{{0xF0, 0x77, 0xF7}}));
}

}  // namespace
