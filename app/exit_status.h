#pragma once

// How a run ended, as its exit status tells a script.
enum ExitStatus {
    EXIT_OK = 0,             // updated
    EXIT_IMAGE_FAILED = 1,   // no image, a name that does not fit, unreadable or damaged
    EXIT_PORTS_FAILED = 2,   // not exactly one device, a port missing, or a send that failed
    EXIT_DEVICE_FAILED = 3,  // the device did not answer, did not match, or refused the image
    EXIT_USAGE = 64,         // the command line
};
