#pragma once

// The common end of every run: closes the ports and gives the fine timer back once the port
// stage has been reached, pauses, and returns the exit status 0.
int FinishRun(bool portsTouched);
