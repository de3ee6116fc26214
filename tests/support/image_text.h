#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One record as the image format lays it out: big-endian length, payload, little-endian checksum.
inline std::vector<uint8_t> MakeRecord(const std::vector<uint8_t>& payload)
{
    uint16_t length = uint16_t(payload.size() + 2);
    uint16_t sum = 0;
    for (uint8_t b : payload) sum = uint16_t(sum + b);
    uint16_t checksum = uint16_t(0 - sum);
    std::vector<uint8_t> record;
    record.reserve(payload.size() + 4);
    record.push_back(uint8_t(length >> 8));
    record.push_back(uint8_t(length & 0xFF));
    for (uint8_t b : payload) record.push_back(b);
    record.push_back(uint8_t(checksum & 0xFF));
    record.push_back(uint8_t(checksum >> 8));
    return record;
}

// The bytes as image text: upper-case pairs, `perLine` to a line, CR LF line ends.
inline std::string ToImageText(const std::vector<uint8_t>& bytes, size_t perLine = 16)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
        text += (i + 1) % perLine == 0 || i + 1 == bytes.size() ? "\r\n" : " ";
    }
    return text;
}
