#pragma once

#include "tests/soak/soak_image.h"

#include <random>
#include <string>
#include <vector>

// The faults of one soak run, as a simulation script, and the names of their kinds for the
// counts the soak prints.
struct SoakFaults {
    std::string script;
    std::vector<std::string> kinds;
};

// One to three late answers, in half the runs a stall between frames, and up to two other faults,
// drawn at random and placed within the records and frames of `image`.
SoakFaults RandomFaults(const SoakImage& image, std::mt19937_64& random);

// The frames the host sends for one copy of each record, identification excluded.
size_t RecordFrames(const SoakImage& image);
