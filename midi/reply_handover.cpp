#include "midi/reply_handover.h"

#include "platform/winmm.h"

ReplyWord RxReply{0};
std::atomic<uint32_t> UntakenReplies{0};

static int16_t CountOf(uint32_t reply)
{
    return (int16_t)(uint16_t)reply;
}

void ResetReplyHandover()
{
    RxReply = 0;
    UntakenReplies = 0;
}

void PublishReply(uint16_t count, uint8_t code)
{
    // Counted first: a take of this reply must never find the count below it.
    if ((int16_t)count >= 2) ++UntakenReplies;
    RxReply = (uint32_t)code << 16 | count;
}

uint16_t WaitForReply(uint16_t polls, int16_t endingCount)
{
    uint16_t polled = 0;
    for (; polled < polls && CountOf(RxReply) < endingCount; ++polled) Sleep(1);
    return polled;
}

bool ReplyWaiting()
{
    return CountOf(RxReply) >= 2;
}

// Clears a reply (a count of 2 or more) and hands back what it was.
static bool ClearReply(uint32_t* reply)
{
    *reply = RxReply;
    // Cleared only if it is still the reply we looked at: a newer one replaces it, a lone byte
    // that came meanwhile is never cleared.
    do {
        if (CountOf(*reply) < 2) return false;
    } while (!RxReply.compare_exchange_weak(*reply, 0));
    return true;
}

bool TakeReply(uint8_t* code)
{
    uint32_t reply;
    if (!ClearReply(&reply)) return false;
    --UntakenReplies;
    *code = (uint8_t)(reply >> 16);
    return true;
}

void DiscardReply()
{
    uint32_t reply;
    ClearReply(&reply);
}
