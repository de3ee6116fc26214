// tambrell-update-sim: before main runs, the simulated service is set up from the script in
// TAMBRELL_SIM (the defaults without it); when the process ends, the report goes to the file
// named by TAMBRELL_SIM_REPORT. The tool itself knows nothing of either.
#include "sim/device_clock.h"
#include "sim/sim_report.h"
#include "sim/sim_script.h"
#include "sim/simulator.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

std::string reportPath;

void WriteReport()
{
    FollowWallClock(false);
    if (reportPath.empty()) return;
    std::ofstream(reportPath, std::ios::binary) << FormatReport(SimulatorCounts());
}

bool SetUpFromEnvironment()
{
    SimSetup setup;
    if (const char* script = std::getenv("TAMBRELL_SIM")) {
        try {
            setup = ParseSimScript(script);
        } catch (const std::invalid_argument& problem) {
            std::fprintf(stderr, "TAMBRELL_SIM: %s\n", problem.what());
            std::exit(2);
        }
    }
    ConfigureSimulator(setup);
    // The tool paces itself with Sleep alone: where that is the kernel's, only the wall clock can
    // move the controller's, whatever the script says.
    FollowWallClock(true);
    if (const char* path = std::getenv("TAMBRELL_SIM_REPORT")) reportPath = path;
    std::atexit(WriteReport);
    return true;
}

const bool setUp = SetUpFromEnvironment();

}  // namespace
