#pragma once

#include "app/exit_status.h"

// The common end of every run: once the port stage has been reached (the fine timer asked for,
// ports perhaps open) closes the ports and gives the timer back; then pauses and returns
// `status`, the one the run ended with.
int FinishRun(bool portStageReached, ExitStatus status);
