#include "tools/common/device_run.h"

#include "controller/controller_script.h"
#include "controller/script_words.h"
#include "world/run_report.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

volatile sig_atomic_t stopRequested = 0;

void RequestStop(int) { stopRequested = 1; }

}  // namespace

ControllerSetup SetupFromEnvironment()
{
    ControllerSetup setup;
    if (const char* script = std::getenv("TAMBRELL_SIM")) {
        ReadScript(script, {[&](const std::string& key, const std::string& value) {
                       return ReadControllerStatement(setup, key, value);
                   }});
    }
    return setup;
}

void StopOnSignals()
{
    signal(SIGTERM, RequestStop);
    signal(SIGINT, RequestStop);
}

bool StopRequested() { return stopRequested != 0; }

void WriteReadyFile(const std::string& path)
{
    const std::string partial = path + ".part";
    std::ofstream(partial) << getpid() << "\n";
    std::rename(partial.c_str(), path.c_str());
}

void WriteReport(const ControllerSession& device)
{
    if (const char* report = std::getenv("TAMBRELL_SIM_REPORT")) {
        std::ofstream(report, std::ios::binary) << FormatReport(LinkReport(device));
    }
    if (const char* roundTrips = std::getenv("TAMBRELL_ROUND_TRIPS")) {
        std::ofstream out(roundTrips);
        for (uint64_t ms : device.RoundTripsMs()) out << ms << "\n";
    }
}
