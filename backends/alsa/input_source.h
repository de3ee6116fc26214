// Where an input port's bytes come from: a rawmidi device (or, in tests, a pipe).
#pragma once

#include <poll.h>
#include <stddef.h>
#include <stdint.h>

#include <vector>

class InputSource {
public:
    virtual ~InputSource() = default;
    // What to poll for incoming bytes.
    virtual std::vector<pollfd> PollDescriptors() = 0;
    // The bytes read; 0 when none are waiting; a negative errno value once the device is gone.
    virtual long Read(uint8_t* buffer, size_t size) = 0;
    // Throws away what came while input was stopped and makes the device deliver from now on.
    virtual void Arm() = 0;
};
