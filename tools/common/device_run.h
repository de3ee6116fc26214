#pragma once

#include "controller/controller_session.h"

#include <chrono>
#include <cstdint>
#include <string>

// The frame of a device program's run over a real link: its controller is set up by the
// controller's statements of the script in TAMBRELL_SIM (the devices and the service are the
// system's, so their statements are refused), it runs until SIGTERM or SIGINT, says it is
// ready by writing its pid to a file, and writes its report to the file named by
// TAMBRELL_SIM_REPORT when it ends (and its round trips, one ms figure a line, to the file named
// by TAMBRELL_ROUND_TRIPS).

// Throws std::invalid_argument naming a statement it does not take.
ControllerSetup SetupFromEnvironment();
void StopOnSignals();
bool StopRequested();
// The file appears whole: a waiting script never reads half of it.
void WriteReadyFile(const std::string& path);
void WriteReport(const ControllerSession& device);

// The controller's clock: ms since the program started.
class MsClock {
public:
    uint64_t Now() const
    {
        return uint64_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start_)
                            .count());
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};
