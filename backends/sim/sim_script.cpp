#include "backends/sim/sim_script.h"

#include "controller/controller_script.h"
#include "controller/script_words.h"
#include "world/devices_script.h"

#include <stdexcept>

namespace {

bool ReadServiceStatement(SimSetup& setup, const std::string& key, const std::string& value)
{
    if (key == "clock") {
        if (value != "virtual" && value != "real") throw std::invalid_argument("clock is virtual or real");
        setup.clock = value == "virtual" ? SimClock::Virtual : SimClock::Real;
    } else if (key == "fail-start") {
        setup.failingStarts.push_back(Number(value));
    } else if (key == "fail-add-buffer") {
        setup.failingAddBuffers.push_back(Number(value));
    } else if (key == "stall") {
        size_t colon = value.find(':');
        if (colon == std::string::npos) throw std::invalid_argument("stall is F:N");
        setup.stalls.push_back({Number(Trim(value.substr(0, colon))), Number(Trim(value.substr(colon + 1)))});
    } else if (key == "not-ready") {
        size_t colon = value.find(':');
        if (colon == std::string::npos) throw std::invalid_argument("not-ready is F:N or F:always");
        setup.notReady.push_back({Number(Trim(value.substr(0, colon))), NumberOrAlways(Trim(value.substr(colon + 1)))});
    } else if (key == "still-playing") {
        setup.stillPlayingUnprepares = NumberOrAlways(value);
    } else if (key == "stray") {
        setup.strayAtMs.push_back(Number(value));
    } else {
        return false;
    }
    return true;
}

}  // namespace

SimSetup ParseSimScript(const std::string& script)
{
    SimSetup setup;
    ReadScript(script, {
        [&](const std::string& key, const std::string& value) { return ReadServiceStatement(setup, key, value); },
        [&](const std::string& key, const std::string& value) { return ReadDevicesStatement(setup.devices, key, value); },
        [&](const std::string& key, const std::string& value) {
            return ReadControllerStatement(setup.controller, key, value);
        },
    });
    return setup;
}
