#pragma once

// Every wait of the transfer is counted in 1 ms sleeps. Windows sleeps in ticks of 15.6 ms unless
// a program asks for a finer timer, which would stretch each of those sleeps sixteen times.
// Asked for before the port stage and given back at the common end of the run.
void RequestMillisecondTimer();
void ReleaseMillisecondTimer();
