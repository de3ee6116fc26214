// Sleep as close to the asked time as Linux allows: the 1 ms polls of an update add up.
#include "platform/winmm.h"

#include <errno.h>
#include <sched.h>
#include <sys/prctl.h>
#include <time.h>

void WINAPI Sleep(DWORD dwMilliseconds)
{
    // The default slack of 50 us stretches every 1 ms sleep by that much; it is per thread.
    thread_local bool slackReduced = false;
    if (!slackReduced) {
        prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
        slackReduced = true;
    }
    if (dwMilliseconds == 0) {
        sched_yield();
        return;
    }
    timespec deadline;
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += dwMilliseconds / 1000;
    deadline.tv_nsec += long(dwMilliseconds % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000L;
    }
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}
