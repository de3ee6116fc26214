#pragma once

#include <stdint.h>

// Asks the device to identify itself until it answers or 19 requests went unanswered. True when
// it answers with `modelCode`; otherwise prints why the run ends and returns false.
bool Identify(uint8_t modelCode);
