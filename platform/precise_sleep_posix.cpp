#include "platform/precise_sleep.h"

#include <errno.h>
#include <sys/prctl.h>
#include <time.h>

void SleepPrecisely(DWORD ms)
{
    // The default 50 us of timer slack would stretch every 1 ms sleep by 5%; it is per thread.
    static thread_local bool slackReduced = false;
    if (!slackReduced) {
        prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
        slackReduced = true;
    }
    // An absolute deadline: a sleep cut short by a signal resumes without drifting.
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
