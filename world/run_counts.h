#pragma once

#include <cstdint>
#include <vector>

// What a run did, as its report tells it: the frames the host sent and the controller's side.
// The counts of ports, headers and sleeps are the simulated service's; the page's stand-in and a
// device program on a real link leave them 0.
struct RunCounts {
    // Frames that reached a port, in the order the host sent them.
    std::vector<std::vector<uint8_t>> framesSent;
    uint64_t failedSends = 0;
    // Frames other than the identification request that reached any port but the controller's.
    uint64_t foreignFrames = 0;
    // The simulated service's ports opened and closed since its setup, those still open, and the
    // headers left prepared or queued.
    uint64_t inputsOpened = 0, inputsClosed = 0, inputsOpen = 0;
    uint64_t outputsOpened = 0, outputsClosed = 0, outputsOpen = 0;
    uint64_t headersPrepared = 0, headersQueued = 0;
    // The whole SysEx messages handed to the host (the ones it may take a reply from), and the
    // controller's messages (or their rest) that found no started port or no queued buffer.
    std::vector<std::vector<uint8_t>> messagesDelivered;
    uint64_t messagesDropped = 0;
    // The controller's side.
    uint64_t identifyRequests = 0, acceptedRecords = 0, droppedRecords = 0;
    std::vector<uint8_t> flash;
    // Time as the host slept it.
    uint64_t sleeps = 0, sleptMs = 0, clockMs = 0;
};
