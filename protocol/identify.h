#pragma once

#include "protocol/exit_status.h"

#include <stdint.h>

// Asks the device to identify itself until it answers or 19 requests went unanswered. EXIT_OK when
// it answers with `modelCode`; otherwise prints why the run ends and returns its status.
// `answerMayFollow` tells whether the answer taken may not be the one to the last request (it was
// there before that request went out, or an earlier request went unanswered in time), so that
// the device's own answer may still come.
ExitStatus Identify(uint8_t modelCode, bool* answerMayFollow);
