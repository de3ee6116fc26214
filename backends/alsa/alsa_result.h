// What alsa-lib's negative errno values mean to a caller of the Windows MIDI calls.
#pragma once

#include "platform/winmm.h"

// A device that was unplugged answers with these.
bool MeansDeviceGone(long error);
MMRESULT ResultOfAlsaError(long error);
