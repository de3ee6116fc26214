#pragma once

#include "protocol/exit_status.h"

// The common end of every run: closes the ports and gives the fine timer back once the port
// stage has been reached, pauses, and returns `status`, the one the run ended with.
int FinishRun(bool portsTouched, ExitStatus status);
