#pragma once

#include <cstdint>
#include <vector>

// The host's framing of a record: 23 bytes to a frame, each byte as two upper-case hex characters
// between 0xF0 and 0xF7.
inline std::vector<std::vector<uint8_t>> Frames(const std::vector<uint8_t>& record)
{
    static const char digits[] = "0123456789ABCDEF";
    std::vector<std::vector<uint8_t>> frames;
    for (size_t at = 0; at < record.size(); at += 23) {
        std::vector<uint8_t> frame = {0xF0};
        for (size_t i = at; i < record.size() && i < at + 23; ++i) {
            frame.push_back(uint8_t(digits[record[i] >> 4]));
            frame.push_back(uint8_t(digits[record[i] & 15]));
        }
        frame.push_back(0xF7);
        frames.push_back(frame);
    }
    return frames;
}
