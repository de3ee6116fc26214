// The host's Sleep moves the controller's clock: the ms slept are the ms that pass for the
// controller, and whatever it sends by then reaches the host before Sleep returns. With the real
// clock Sleep also sleeps, as precisely as the system allows, so a person sees the true pace.
#include "backends/sim/inside_simulator.h"
#include "backends/sim/midi_service.h"
#include "os/precise_sleep.h"
#include "platform/winmm.h"

extern "C" void WINAPI Sleep(DWORD dwMilliseconds)
{
    SimulatorScope scope;
    MidiService& service = Service();
    CallbackThread::Ticket delivery = AdvanceClock(dwMilliseconds);
    bool realTime;
    {
        std::lock_guard<std::mutex> lock(service.mutex);
        realTime = service.setup.clock == SimClock::Real;
    }
    if (realTime) SleepPrecisely(dwMilliseconds);
    service.thread.Await(delivery);
}
