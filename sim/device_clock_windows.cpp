// Sleep is the kernel's here, so with the real clock the controller's clock follows the wall
// clock: a thread moves it on every millisecond and delivers whatever is due.
#include "sim/device_clock.h"
#include "sim/inside_simulator.h"
#include "sim/midi_service.h"

#include <atomic>
#include <cstdlib>
#include <chrono>
#include <thread>

namespace {

std::atomic<bool> running{false};
std::thread ticker;

void Tick()
{
    SimulatorScope scope;
    auto start = std::chrono::steady_clock::now();
    while (running.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        auto elapsed = std::chrono::steady_clock::now() - start;
        SimulatedMidiService().AdvanceTo(
            uint64_t(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()));
    }
}

}  // namespace

void FollowWallClock(bool follow)
{
    running.store(false);
    if (ticker.joinable()) ticker.join();
    if (!follow) return;
    running.store(true);
    ticker = std::thread(Tick);
    // Registered once the service exists, so that the thread stops before the service goes.
    static const bool stopsAtExit = std::atexit([] { FollowWallClock(false); }) == 0;
    (void)stopsAtExit;
}
