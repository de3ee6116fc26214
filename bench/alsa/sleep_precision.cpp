// How long Sleep(1) really lasts: the update polls for replies in 1 ms sleeps, so its pace
// depends on it. Prints the mean, the spread and the worst of many sleeps.
#include "platform/winmm.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
    int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    if (count <= 0) count = 1000;
    std::vector<double> lasted;
    lasted.reserve(count);
    Sleep(1);  // the first call also sets the timer slack
    for (int i = 0; i < count; ++i) {
        auto start = std::chrono::steady_clock::now();
        Sleep(1);
        std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
        lasted.push_back(took.count());
    }
    double sum = 0;
    for (double us : lasted) sum += us;
    std::sort(lasted.begin(), lasted.end());
    std::printf("Sleep(1) x %d: mean %.1f us, median %.1f us, 99th percentile %.1f us, "
                "max %.1f us\n",
                count, sum / count, lasted[count / 2], lasted[size_t(count * 0.99)],
                lasted.back());
    return 0;
}
