#pragma once
// Timing tests compare the costs of inputs of different sizes. They time the processor time of the
// calling thread, not the clock on the wall: other work on a loaded machine stretches the one and
// not the other.

#include <time.h>

inline double ThreadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}
