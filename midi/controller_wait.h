#pragma once

#include <stdint.h>

// How long the tool waits for the controller, in seconds (--wait): to be connected, to finish
// restarting, to come back after its update. 0: no wait, each of those ends the run at once.
extern uint16_t WaitSeconds;
const uint16_t DEFAULT_WAIT_SECONDS = 30;
const unsigned MAX_WAIT_SECONDS = 3600;

// Every wait is counted in the ms the tool sleeps, so that a slow or a simulated clock stretches
// or shrinks it alike. BeginWait starts one of WaitSeconds; WaitOn sleeps `ms` of it, false (and
// no sleep) once it is used up; SpendWait counts sleeps taken elsewhere.
void BeginWait();
bool WaitOn(uint32_t ms);
void SpendWait(uint32_t ms);
