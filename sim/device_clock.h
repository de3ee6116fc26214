#pragma once

// Where Sleep is the kernel's, the host's sleeps cannot move the controller's clock, so it can
// follow the wall clock on a thread of its own instead; where the simulator supplies Sleep, the
// clock moves inside it and this does nothing.
void FollowWallClock(bool follow);
