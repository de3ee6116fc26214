#pragma once

#include "tests/soak/soak_image.h"
#include "tests/support/sim_run.h"

#include <string>
#include <vector>

struct SoakVerdict {
    std::string outcome;                  // how the run ended, in a few words
    std::vector<std::string> violations;  // empty when every invariant holds
};

// What must hold after every update, whatever the device did:
// - the tool ended normally, with the exit status its last message stands for, having slept no
//   more than its retry limits allow;
// - "Target update successfully!" means the device holds the image, byte for byte (on a restart
//   announced by the device itself: the records sent so far);
// - otherwise the last thing printed names the failure, and a failed send is reported as one;
// - every port opened was closed, with no input buffer left queued.
SoakVerdict CheckSoakRun(const SoakImage& image, const SimRun& run);

// The same, for a device that may send anything at any moment: its flash proves nothing, so a
// match, a success or a restart must instead be backed by the device's own messages (34, a 1A
// for every record, 77).
SoakVerdict CheckFuzzedRun(const SoakImage& image, const SimRun& run);

// The most Sleep calls a whole run can make within the retry limits.
uint64_t SleepLimit(const SoakImage& image);
