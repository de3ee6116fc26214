#pragma once

#include "platform/winmm.h"

#include <stdint.h>

enum SearchOutcome {
    SEARCH_FOUND,    // one output drew an answer, on one input
    SEARCH_NONE,     // no answer at all
    SEARCH_SEVERAL,  // answers on more than one input: more than one controller
};

struct SearchResult {
    SearchOutcome outcome;
    UINT input;                // SEARCH_FOUND: the pair that leads to the controller
    UINT output;
    uint16_t answeringInputs;  // SEARCH_SEVERAL: how many inputs answered
};

// With several MIDI devices, finds the one input and output that lead to the controller by asking
// each output who it is, while every input that can be opened listens. Sends nothing but
// `identifyRequest` (the SysEx's `length` data bytes, which the protocol owns), prints nothing,
// and leaves no port open.
SearchResult FindController(const uint8_t* identifyRequest, unsigned length);
