// Sleep is the kernel's here, so the controller's clock follows the wall clock: a thread moves
// it on every millisecond and delivers whatever is due.
#include "sim/device_clock.h"
#include "sim/inside_simulator.h"
#include "sim/midi_service.h"

#include <atomic>
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

void StartDeviceClock()
{
    StopDeviceClock();
    running.store(true);
    ticker = std::thread(Tick);
}

void StopDeviceClock()
{
    running.store(false);
    if (ticker.joinable()) ticker.join();
}
