#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

// A random valid image: its records, and the text of its .kit file.
struct SoakImage {
    std::vector<std::vector<uint8_t>> records;  // each with its length and checksum fields
    std::string text;

    size_t Bytes() const;
    std::vector<uint8_t> Concatenated() const;
};

// Records of varied sizes (full 23-byte frames, short final frames, a few large ones), no two
// neighbours alike, written as hex text in a random but valid layout.
SoakImage RandomImage(std::mt19937_64& random);
