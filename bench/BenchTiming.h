#pragma once

// Timing shared by the benchmarks: median wall time and median CPU time of the calling
// thread (the latter holds when other work shares the machine).

#include <QElapsedTimer>

#include <algorithm>
#include <ctime>
#include <utility>
#include <vector>

namespace kestrava::bench {

inline double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

inline double medianMs(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// {median wall ms, median thread-CPU ms} of one call of f over rounds calls, after one
// call to warm up.
template <class F>
std::pair<double, double> Measure(int rounds, F f) {
    f();
    std::vector<double> wall, cpu;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer t;
        t.start();
        const double c0 = threadCpuMs();
        f();
        cpu.push_back(threadCpuMs() - c0);
        wall.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    return {medianMs(wall), medianMs(cpu)};
}

} // namespace kestrava::bench
