#pragma once

#include "tests/support/temp_folder.h"
#include "world/run_counts.h"

#include <filesystem>
#include <string>
#include <vector>

struct SimRun {
    std::string console;   // everything the tool wrote to standard output
    int exitStatus = -1;
    bool reported = false;  // the report was written, i.e. the process ended normally
    RunCounts report;
};

// Runs tambrell-update-sim in `folder` with `arguments` against the simulated device set up by
// `script` (the TAMBRELL_SIM syntax), as a user would run the tool there, and reads its report.
SimRun RunSimulated(const std::filesystem::path& folder, const std::string& script,
                    const std::vector<std::string>& arguments = {});
SimRun RunSimulated(const TempFolder& folder, const std::string& script);
