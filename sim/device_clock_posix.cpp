// The host's Sleep moves the controller's clock: the ms slept are the ms that pass for the
// controller, and whatever it sends by then reaches the host before Sleep returns. With the real
// clock Sleep also sleeps, as precisely as the system allows, so a person sees the true pace.
#include "platform/winmm.h"
#include "sim/device_clock.h"
#include "sim/inside_simulator.h"
#include "sim/midi_service.h"

#include <errno.h>
#include <sys/prctl.h>
#include <time.h>

void StartDeviceClock() {}

void StopDeviceClock() {}

// The default 50 us of timer slack would stretch every 1 ms sleep by 5%.
static void SleepPrecisely(DWORD ms)
{
    static thread_local bool slackReduced = false;
    if (!slackReduced) {
        prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
        slackReduced = true;
    }
    timespec deadline;
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += ms / 1000;
    deadline.tv_nsec += long(ms % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000L;
    }
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

extern "C" void WINAPI Sleep(DWORD dwMilliseconds)
{
    SimulatorScope scope;
    MidiService& service = SimulatedMidiService();
    CallbackThread::Ticket delivery = service.Advance(dwMilliseconds);
    if (service.RealTime()) SleepPrecisely(dwMilliseconds);
    service.AwaitDelivery(delivery);
}
