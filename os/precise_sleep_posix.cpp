#include "os/precise_sleep.h"

#include <errno.h>
#include <stdint.h>
#include <sys/prctl.h>
#include <time.h>

static int64_t NowNs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

void SleepPrecisely(DWORD ms)
{
    // The default 50 us of timer slack would stretch every 1 ms sleep by 5%; it is per thread.
    static thread_local bool slackReduced = false;
    // How late the kernel wakes us past a deadline, learnt as we go: the deadline is set that much
    // earlier, so the 1 ms sleeps of an update add up to their count in ms, not 4% more.
    static thread_local int64_t wakeLatencyNs = 0;
    if (!slackReduced) {
        prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
        slackReduced = true;
    }
    int64_t asked = int64_t(ms) * 1000000;
    int64_t early = wakeLatencyNs < asked / 4 ? wakeLatencyNs : asked / 4;
    int64_t deadlineNs = NowNs() + asked - early;
    // An absolute deadline: a sleep cut short by a signal resumes without drifting.
    timespec deadline;
    deadline.tv_sec = time_t(deadlineNs / 1000000000);
    deadline.tv_nsec = long(deadlineNs % 1000000000);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
    int64_t latency = NowNs() - deadlineNs;
    const int64_t maxLatencyNs = 250000;
    if (latency > maxLatencyNs) latency = maxLatencyNs;
    wakeLatencyNs += (latency - wakeLatencyNs) / 8;
}
