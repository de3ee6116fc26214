// A sleep as close to the asked time as the system allows: an update's 1 ms polls add up.
#pragma once

#include "platform/winmm.h"

void SleepPrecisely(DWORD ms);
