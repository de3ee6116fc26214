#include "tools/common/sysex_assembler.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<uint8_t>;

std::vector<Bytes> Feed(SysExAssembler& assembler, const Bytes& piece)
{
    return assembler.Feed(piece.data(), piece.size());
}

TEST(SysExAssembler, JoinsPiecesIntoWholeMessages)
{
    SysExAssembler assembler;
    EXPECT_EQ(Feed(assembler, {0xF0, 0x31}), std::vector<Bytes>{});
    EXPECT_EQ(Feed(assembler, {0x32}), std::vector<Bytes>{});
    EXPECT_EQ(Feed(assembler, {0x33, 0xF7}), (std::vector<Bytes>{{0xF0, 0x31, 0x32, 0x33, 0xF7}}));
    // Two messages in one piece, and the next one begun in it.
    EXPECT_EQ(Feed(assembler, {0xF0, 0x1A, 0xF7, 0xF0, 0x20, 0xF7, 0xF0, 0x41}),
              (std::vector<Bytes>{{0xF0, 0x1A, 0xF7}, {0xF0, 0x20, 0xF7}}));
    EXPECT_EQ(Feed(assembler, {0xF7}), (std::vector<Bytes>{{0xF0, 0x41, 0xF7}}));
}

TEST(SysExAssembler, DropsBytesOutsideAMessageAndAnUnfinishedOne)
{
    SysExAssembler assembler;
    EXPECT_EQ(Feed(assembler, {0x41, 0xF7, 0x42}), std::vector<Bytes>{});
    // A new start abandons the message that had not ended.
    EXPECT_EQ(Feed(assembler, {0xF0, 0x41, 0x42, 0xF0, 0x43, 0xF7, 0x44}),
              (std::vector<Bytes>{{0xF0, 0x43, 0xF7}}));
    EXPECT_EQ(Feed(assembler, {0xF7}), std::vector<Bytes>{});
}

}  // namespace
