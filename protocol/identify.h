#pragma once

#include "protocol/stage_outcome.h"

#include <stdint.h>

// Asks the device to identify itself until it answers or 19 requests went unanswered; one that
// answers "restarting" is waited for (AwaitController). STAGE_PASSED when it answers with
// `modelCode`; otherwise prints why the run ends and says how.
// `answersMayLag` tells whether the answer taken may not be the one to the last request (it was
// there before that request went out, or an earlier request went unanswered in time), so that
// the device's own answer may still come.
StageOutcome Identify(uint8_t modelCode, bool* answersMayLag);
