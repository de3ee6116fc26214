#pragma once

// The reply word of this test's own build of the hand-over: every read of it calls
// AfterReplyRead once the value is read, so that a test can publish between a take's read and
// its clear, the moment where a publish must neither be lost nor let a lone byte be taken.
#include <atomic>
#include <stdint.h>

extern void (*AfterReplyRead)();

struct ReplyWord {
    std::atomic<uint32_t> word;

    operator uint32_t() const
    {
        uint32_t value = word;
        if (AfterReplyRead) AfterReplyRead();
        return value;
    }
    ReplyWord& operator=(uint32_t value)
    {
        word = value;
        return *this;
    }
    bool compare_exchange_weak(uint32_t& expected, uint32_t desired)
    {
        return word.compare_exchange_weak(expected, desired);
    }
};
