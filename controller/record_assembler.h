#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// The record bytes carried by one data frame: F0, two upper-case hex characters per byte, F7.
// Anything else is not a data frame.
std::optional<std::vector<uint8_t>> DecodeDataFrame(const std::vector<uint8_t>& sysex);

// Puts records back together from the bytes of consecutive data frames. A record is its own
// big-endian length field L, L - 2 payload bytes and a 2-byte checksum: L + 2 bytes in all.
class RecordAssembler {
public:
    explicit RecordAssembler(uint32_t resyncGapMs) : resyncGapMs_(resyncGapMs) {}

    // Adds one frame's bytes received at `nowMs`; returns the records completed, in order.
    // A record left unfinished for longer than the resync gap is dropped first: the host has given
    // up on it and will send it again from its start.
    std::vector<std::vector<uint8_t>> Add(const std::vector<uint8_t>& bytes, uint64_t nowMs);

    // Loses the record under way, as a device that restarts does.
    void Forget() { partial_.clear(); }

    size_t PendingBytes() const { return partial_.size(); }
    unsigned DroppedRecords() const { return dropped_; }

private:
    uint32_t resyncGapMs_;
    std::vector<uint8_t> partial_;
    uint64_t lastFrameMs_ = 0;
    unsigned dropped_ = 0;
};
