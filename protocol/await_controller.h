#pragma once

#include <stdint.h>

enum AwaitOutcome {
    AWAIT_ANSWERED,     // it answered as `modelCode`; its ports are open
    AWAIT_OTHER_MODEL,  // a device answered with another model code
    AWAIT_TIMED_OUT,    // WaitSeconds went by without that answer
};

// Asks the controller who it is about every half second, for up to WaitSeconds, until it answers
// with `modelCode`; "restarting" (0x15) and silence are asked again. The ports are open at the
// start. When they go (a send fails, or the input list changes) they are closed and the controller
// is looked for as at the start, at once and then each time an input arrives: a device that
// restarts comes back as a new one. `announce`: whether ports opened again print their names.
// `answersMayLag` as Identify's: on entry, whether an answer may still be on its way to the ports
// open; on return, whether the answer taken may not be the last request's.
AwaitOutcome AwaitController(uint8_t modelCode, bool announce, bool* answersMayLag);
