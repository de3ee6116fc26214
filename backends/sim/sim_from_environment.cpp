// tambrell-update-sim: before main runs, the simulated service is set up from the script in
// TAMBRELL_SIM (the defaults without it); when the process ends, the report goes to the file
// named by TAMBRELL_SIM_REPORT. The tool itself knows nothing of either.
#include "backends/sim/sim_script.h"
#include "backends/sim/simulator.h"
#include "world/run_report.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

std::string reportPath;

void WriteReport()
{
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
    if (const char* path = std::getenv("TAMBRELL_SIM_REPORT")) reportPath = path;
    std::atexit(WriteReport);
    return true;
}

const bool setUp = SetUpFromEnvironment();

}  // namespace
