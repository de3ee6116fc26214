#pragma once

// How identification or the transfer ended; the run turns it into its exit status.
enum StageOutcome {
    STAGE_PASSED,         // the run goes on, or the device has the firmware
    STAGE_RESTARTS,       // the device has the firmware and restarts with it
    STAGE_PORTS_FAILED,   // a send that failed
    STAGE_DEVICE_FAILED,  // the device did not answer, did not match, or refused the image
};
