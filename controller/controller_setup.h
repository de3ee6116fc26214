#pragma once

#include "controller/firmware_setup.h"

#include <cstdint>

// One controller as a script sets it up: its firmware, and when it is unplugged.
struct ControllerSetup {
    FirmwareSetup firmware;
    // The controller is unplugged as the host sends its n-th frame (counted from 1): that send and
    // all later ones fail, and the controller sends nothing more. 0: never.
    uint32_t unplugAtFrame = 0;
};
