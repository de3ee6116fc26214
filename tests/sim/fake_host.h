#pragma once

#include "platform/winmm.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// What one callback saw, copied on the callback thread.
struct CallbackSeen {
    UINT message = 0;
    MIDIHDR* header = nullptr;
    DWORD_PTR param1 = 0;
    DWORD flags = 0;
    std::vector<uint8_t> bytes;
    std::thread::id thread;
    bool insideSimulator = true;
};

// A host driving the seam directly: one input port with a 200-byte buffer that its callback hands
// straight back (as the tool does), and one output port.
class FakeHost {
public:
    ~FakeHost();

    MMRESULT OpenInput(UINT id);  // open, prepare, queue, start
    MMRESULT OpenOutput(UINT id);
    // Input 0 and output 1: the controller's ports in the default device lists.
    bool Connect();
    MMRESULT Send(const std::vector<uint8_t>& frame);
    // Stops and resets input (the buffer comes back), unprepares, closes both.
    void Close();

    std::vector<CallbackSeen> Seen();
    std::vector<std::vector<uint8_t>> Received();  // the bytes of every MIM_LONGDATA

    HMIDIIN in = nullptr;
    HMIDIOUT out = nullptr;
    MIDIHDR header{};
    char buffer[200] = {};
    bool requeue = true;

private:
    static void CALLBACK OnInput(HMIDIIN, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR);

    std::mutex mutex_;
    std::vector<CallbackSeen> seen_;
};

std::vector<uint8_t> IdentifyRequest();
