#pragma once

#include <cstdint>

// Sleeps `ms` of wall time, as close to that as the system allows, without moving the
// controller's clock.
void SleepPrecisely(uint32_t ms);
