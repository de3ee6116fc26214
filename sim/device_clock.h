#pragma once

// Where Sleep is the kernel's, the controller's clock follows the wall clock on a thread of its
// own; where the simulator supplies Sleep, the clock moves inside it and these do nothing.
void StartDeviceClock();
void StopDeviceClock();
