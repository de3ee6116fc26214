#pragma once

#include <stdint.h>

// After its update the controller restarts with its new firmware and comes back as a new device:
// waits up to WaitSeconds for it to answer as `modelCode` and says whether it did, with its ports'
// names. Nothing at all when WaitSeconds is 0.
void AwaitComeback(uint8_t modelCode);
