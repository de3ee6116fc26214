#pragma once

#include "controller/firmware_setup.h"

#include <cstdint>

// How the controller restarts, after it answered 0x77 or at a set time: its ports leave for
// `awayMs`, then it comes back as a new device that answers identification 0x15 for `busyMs` more
// before it answers with its model. Not enabled: it stays and answers 0x15 from then on.
struct RestartSetup {
    bool enabled = true;
    uint32_t awayMs = 1000;
    uint32_t busyMs = 1000;
};

// One controller as a script sets it up: its firmware, its restarts, when it is plugged in and
// when it is unplugged.
struct ControllerSetup {
    FirmwareSetup firmware;
    // The controller is unplugged as the host sends its n-th frame (counted from 1): that send and
    // all later ones fail, and the controller sends nothing more. 0: never.
    uint32_t unplugAtFrame = 0;
    RestartSetup restart;
    // It restarts at this ms of its clock as well; 0: only after its update.
    uint32_t restartAtMs = 0;
    // Its ports appear only at this ms of its clock, as a device plugged in after the host started;
    // 0: it is there from the start.
    uint32_t plugInAtMs = 0;
};
