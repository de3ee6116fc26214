#pragma once

#include "protocol/exit_status.h"

#include <stdint.h>

// Asks the device to identify itself until it answers or 19 requests went unanswered. EXIT_OK when
// it answers with `modelCode`; otherwise prints why the run ends and returns its status.
ExitStatus Identify(uint8_t modelCode);
